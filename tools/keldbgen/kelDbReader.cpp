// Reading, include handling and error reports of the generator. Each file
// of the include table counts its own lines.
#include "kelDbReader.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "kelDbGenSettings.h"
#include "kelFormatDB.h"
#include "kelFormatInput.h"
#include "kelFormatLex.h"

namespace {

// The top-level file and seven nested levels of include; the count of
// includes per top-level file is bounded too, so that files including each
// other many times cannot multiply the text read.
enum { maxLevels = 8, maxIncludes = 256, maxPiece = 255 };

struct DbFile {
    char* name;
    FILE* fp;
    int lineNo;
    bool lineEnded; // the last line read ended with a line feed
};

DbFile dbFile[maxLevels];
int incLevel = -1; // no file open
char line[maxPiece + 1];
int lineLen = 0;
int lineIndex = 0;
int includeCount = 0;

bool isBeingRead(FILE* fp)
{
    for (int level = 0; level <= incLevel; level++)
        if (kelSameFile(dbFile[level].fp, fp))
            return true;
    return false;
}

void openLevel(int level, const char* name, FILE* fp)
{
    dbFile[level] = DbFile{strdup(name), fp, 1, false};
    incLevel = level;
    // Whatever is left of the current line is not read any more.
    lineIndex = lineLen;
}

void closeLevel(int level)
{
    fclose(dbFile[level].fp);
    free(dbFile[level].name);
    dbFile[level] = DbFile{nullptr, nullptr, 0, false};
}

// The next line of `f`, at most maxPiece characters of it; false at its end.
bool readLine(DbFile& f)
{
    int n = kelReadLinePiece(f.fp, line, maxPiece);
    if (n == 0)
        return false;
    if (f.lineEnded)
        f.lineNo++;
    f.lineEnded = line[n - 1] == '\n';
    lineLen = n;
    lineIndex = 0;
    return true;
}

} // namespace

const char* kelDbReaderFileName()
{
    return incLevel >= 0 ? dbFile[0].name : "";
}

bool kelFormatDB::openInput(const char* name, const char* path)
{
    closeInput();
    FILE* fp = kelOpenDatabaseText(path);
    if (!fp)
        return false;
    lineLen = lineIndex = 0;
    includeCount = 0;
    openLevel(0, name, fp);
    kellexRestart();
    return true;
}

void kelFormatDB::closeInput()
{
    for (; incLevel >= 0; incLevel--)
        closeLevel(incLevel);
    lineLen = lineIndex = 0;
}

int kelFormatDB::getInput(char* buf, int)
{
    if (lineIndex >= lineLen) {
        if (incLevel < 0)
            return 0;
        while (!readLine(dbFile[incLevel])) {
            if (incLevel == 0)
                return 0;
            closeLevel(incLevel--);
        }
    }
    buf[0] = line[lineIndex++];
    return 1;
}

void kelFormatDB::error(const char* msg)
{
    const DbFile& f = dbFile[incLevel >= 0 ? incLevel : 0];
    fprintf(stderr, "%s: %s in KEL database file %s, line %d:\n%s\n%s^\n", progName.c_str(), msg,
            f.name ? f.name : "", f.lineNo, line, kelErrorMarker(line, lineLen, lineIndex).c_str());
}

void kelFormatDB::processInclude(char* text)
{
    std::string name = kelIncludeFileName(text);
    if (name.empty()) {
        error("Malformed include statement");
        return;
    }
    if (incLevel + 1 >= maxLevels) {
        error("Include file nested too deeply");
        return;
    }
    if (includeCount >= maxIncludes) {
        error("Too many include files");
        return;
    }
    FILE* fp = kelOpenDatabaseText(kelDbRootJoin(name).c_str());
    if (!fp) {
        error("Could not open include file");
        return;
    }
    if (isBeingRead(fp)) {
        fclose(fp);
        error("Include file already being read");
        return;
    }
    includeCount++;
    openLevel(incLevel + 1, name.c_str(), fp);
}

void kelFormatDB::scannerFatal(const char* msg)
{
    fprintf(stderr, "%s\n", msg);
    exit(2);
}
