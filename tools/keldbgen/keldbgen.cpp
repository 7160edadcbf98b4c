// keldbgen: merges the format database sources of the source directory and
// the previously generated database into one generated database.
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <new>
#include <string>

#include "DbFileInfo.h"
#include "kelDbGenSettings.h"
#include "kelDbMerge.h"
#include "kelDbWriter.h"
#include "kelFormatDB.h"

namespace {

bool outputGiven = false;

void usage()
{
    fprintf(stderr, "usage: %s [-o dbfile] [-r root]\n", progName.c_str());
    fprintf(stderr,
            "  -o dbfile  write the database to dbfile (default: %s below the root)\n"
            "  -r root    directory that every other path is below (default: /)\n"
            "  sources:   every regular file in %s below the root\n",
            kel_dbname, kel_dbdir);
}

bool parseOptions(int argc, char** argv)
{
    int c;
    while ((c = getopt(argc, argv, "o:r:")) != -1) {
        switch (c) {
        case 'o':
            dbName = optarg;
            outputGiven = true;
            break;
        case 'r':
            dbRoot = optarg;
            break;
        default:
            usage();
            return false;
        }
    }
    return true;
}

// Reports the dropped entries and destroys them; true when one of them came
// from the old generated database, which must then be backed up.
bool reportDropped()
{
    bool saveOld = false;
    kelListIter<kelFormatDB> it(kelFormatDB::badEntries);
    while (kelFormatDB* e = it.next()) {
        if (strcmp(e->filename, kel_dbname) == 0)
            saveOld = true;
        else
            fprintf(stderr, "%s: format %s in %s has been superceded by version in %s\n", progName.c_str(),
                    e->name, e->filename, e->succ->filename);
    }
    kelFormatDB::badEntries.destroyAll();
    return saveOld;
}

bool backUp(const std::string& outPath, const std::string& backupPath)
{
    unlink(backupPath.c_str());
    if (rename(outPath.c_str(), backupPath.c_str()) == 0)
        return true;
    fprintf(stderr, "%s: couldn't save %s to %s, %s\n", progName.c_str(), outPath.c_str(), backupPath.c_str(),
            strerror(errno));
    return false;
}

// The banner and every kept entry. An output without entries still ends its
// last line, so that the banner's comment reads back as a comment.
bool writeDatabase(FILE* fp)
{
    fputs(kelDbBanner().c_str(), fp);
    kelListIter<kelFormatDB> it(kelFormatDB::entries);
    while (kelFormatDB* e = it.next()) {
        fputc('\n', fp);
        fputs(kelDbEntryText(e).c_str(), fp);
    }
    if (kelFormatDB::entries.isEmpty())
        fputc('\n', fp);
    bool ok = !ferror(fp);
    return fclose(fp) == 0 && ok;
}

int writeOutput(bool saveOld)
{
    std::string outPath = outputGiven ? dbName : kelDbRootJoin(dbName);
    std::string backupPath = kelDbRootJoin(kel_dbnameold);
    bool backedUp = false;
    if (!outputGiven && saveOld) {
        if (!backUp(outPath, backupPath))
            return 1;
        backedUp = true;
    }
    FILE* fp = fopen(outPath.c_str(), "w+");
    const char* failure = fp ? nullptr : "couldn't open";
    if (fp && !writeDatabase(fp))
        failure = "couldn't write";
    if (!failure)
        return 0;
    fprintf(stderr, "%s: %s %s, %s\n", progName.c_str(), failure, outPath.c_str(), strerror(errno));
    if (backedUp)
        rename(backupPath.c_str(), outPath.c_str());
    return 1;
}

int generate()
{
    DbFileList files;
    if (!kelDbListInputs(files)) {
        fprintf(stderr, "%s: no KEL database directory!\n", progName.c_str());
        return 1;
    }
    kelListIter<DbFileInfo> it(files);
    while (DbFileInfo* f = it.next())
        kelDbReadSource(f->name);
    bool saveOld = reportDropped();
    return writeOutput(saveOld);
}

} // namespace

// Running out of memory ends the program as the scanner's own failures do,
// with a message and status 2.
int main(int argc, char** argv)
{
    kelDbSetProgName(argv[0]);
    if (!parseOptions(argc, argv))
        return 1;
    try {
        return generate();
    } catch (const std::bad_alloc&) {
        fprintf(stderr, "%s: out of memory\n", progName.c_str());
        return 2;
    }
}
