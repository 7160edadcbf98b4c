#include "kelFormatDB.h"

#include <stdlib.h>
#include <string.h>

#include <string>
#include <unordered_map>

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

// The kept entries by name, so that reading stays linear in the entries.
static std::unordered_map<std::string, kelFormatDB*>& keptByName()
{
    static std::unordered_map<std::string, kelFormatDB*> index;
    return index;
}

kelFormatDB* kelFormatDB::findKept(const char* formatName)
{
    auto it = keptByName().find(formatName);
    return it == keptByName().end() ? nullptr : it->second;
}

kelFormatDB* kelFormatDB::newEntry(char* formatName)
{
    kelFormatDB* e = new kelFormatDB(kelDbReaderFileName(), formatName);
    e->succ = findKept(formatName);
    if (e->succ) {
        badEntries.append(e);
    } else {
        entries.append(e);
        keptByName()[formatName] = e;
    }
    return e;
}

void kelFormatDB::dropAll()
{
    keptByName().clear();
    entries.destroyAll();
    badEntries.destroyAll();
}

void kelFormatDB::dropKept(kelFormatDB* e)
{
    keptByName().erase(e->name);
    entries.unlink(e);
    delete e;
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
