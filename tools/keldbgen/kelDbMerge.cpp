#include "kelDbMerge.h"

#include <stdio.h>
#include <string.h>

#include <unordered_set>

#include "kelDbGenSettings.h"
#include "kelFormatDB.h"

namespace {

// Drops the kept entries of `fileName` and, in one pass, the dropped
// entries that lost to one of them.
void dropKeptEntriesOf(const char* fileName)
{
    std::unordered_set<const kelFormatDB*> gone;
    kelListIter<kelFormatDB> kept(kelFormatDB::entries);
    while (kelFormatDB* e = kept.next()) {
        if (strcmp(e->filename, fileName) == 0) {
            gone.insert(e);
            kelFormatDB::dropKept(e);
        }
    }
    kelListIter<kelFormatDB> lost(kelFormatDB::badEntries);
    while (kelFormatDB* e = lost.next()) {
        if (gone.count(e->succ)) {
            kelFormatDB::badEntries.unlink(e);
            delete e;
        }
    }
}

} // namespace

void kelDbReadSource(const char* name)
{
    if (!kelFormatDB::openInput(name, kelDbRootJoin(name).c_str()))
        return;
    int rc = kelFormatDB::parse();
    kelFormatDB::closeInput();
    if (rc != 0) {
        fprintf(stderr, "%s: file %s not a valid KEL database\n", progName.c_str(), name);
        dropKeptEntriesOf(name);
    }
}
