#include "kelFormatDB.h"

#include <stdlib.h>
#include <string.h>

#include "kelDbReader.h"
#include "kelFormatLex.h"

FormatList kelFormatDB::entries;
FormatList kelFormatDB::badEntries;

FormatList::~FormatList()
{
    destroyAll();
}

void FormatList::destroyAll()
{
    while (kelFormatDB* e = head()) {
        unlink(e);
        delete e;
    }
}

kelFormatDB::kelFormatDB(const char* file, char* formatName)
    : filename(strdup(file)), name(formatName), description(nullptr), dsoname(nullptr), subsystem(nullptr),
      suffixes(nullptr), access(2), match(nullptr), succ(nullptr)
{
}

kelFormatDB::~kelFormatDB()
{
    free(filename);
    free(name);
    free(description);
    free(dsoname);
    free(subsystem);
    if (suffixes)
        kelDeleteSuffixList(suffixes);
    delete match;
}

kelFormatDB* kelFormatDB::findKept(const char* formatName)
{
    kelListIter<kelFormatDB> it(entries);
    while (kelFormatDB* e = it.next())
        if (strcmp(e->name, formatName) == 0)
            return e;
    return nullptr;
}

kelFormatDB* kelFormatDB::newEntry(char* formatName)
{
    kelFormatDB* e = new kelFormatDB(kelDbReaderFileName(), formatName);
    e->succ = findKept(formatName);
    if (e->succ)
        badEntries.append(e);
    else
        entries.append(e);
    return e;
}

void kelFormatDB::setMatch(kelDbMatch* m)
{
    delete match;
    match = m;
}

void kelFormatDB::setDescription(char* s)
{
    free(description);
    description = s;
}

void kelFormatDB::setDll(char* s)
{
    free(dsoname);
    dsoname = s;
}

void kelFormatDB::setDso(char* s)
{
    free(s);
}

void kelFormatDB::setSubSystem(char* s)
{
    free(subsystem);
    subsystem = s;
}

void kelFormatDB::setSuffixes(kelList<kelSuffixItem>* list)
{
    if (suffixes)
        kelDeleteSuffixList(suffixes);
    suffixes = list;
}

void kelFormatDB::setAccess(int tokenCode)
{
    access = kelAccessModeOf(tokenCode, access);
}
