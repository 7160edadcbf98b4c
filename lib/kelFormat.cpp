#include <kel/kelDatabase.h>
#include <kel/kelError.h>
#include <kel/kelFormat.h>

#include <stdlib.h>
#include <string.h>

#include "kelFormatDB.h"

kelFormat::kelFormat(const char* formatName) : kelFormat(formatName, 1, 3) {}

kelFormat::kelFormat(const char* formatName, int interfaceMajor, int interfaceMinor) : name(nullptr), db(nullptr)
{
    kelDatabase* entry = kelDatabase::findByFormatName(formatName);
    if (!entry) {
        kelError(kelSeverityError, "Format %s not in KEL database", formatName);
        return;
    }
    static_cast<kelFormatDB*>(entry)->setFormat(this, interfaceMajor, interfaceMinor);
    db = entry;
    name = strdup(formatName);
}

kelFormat::~kelFormat()
{
    free(name);
}

kelFile* kelFormat::newfileobj()
{
    return nullptr;
}

kelTagDescription* kelFormat::_getTagDescriptions(int& count)
{
    count = 0;
    return nullptr;
}

static kelFormat* formatOf(kelDatabase* entry, int openDSOifNecessary)
{
    return entry ? entry->getFormat(openDSOifNecessary) : nullptr;
}

kelFormat* kelFormat::findNext(int& index, int openDSOifNecessary)
{
    while (kelDatabase* entry = kelDatabase::findNext(index))
        if (kelFormat* fmt = entry->getFormat(openDSOifNecessary))
            return fmt;
    return nullptr;
}

kelFormat* kelFormat::findByMagic(int fd, int openDSOifNecessary)
{
    return formatOf(kelDatabase::findByMagic(fd), openDSOifNecessary);
}

kelFormat* kelFormat::findByFormatName(const char* formatName, int openDSOifNecessary)
{
    return formatOf(kelDatabase::findByFormatName(formatName), openDSOifNecessary);
}

kelFormat* kelFormat::findByFileName(const char* fileName, int noMatchRule, int openDSOifNecessary)
{
    return formatOf(kelDatabase::findByFileName(fileName, noMatchRule), openDSOifNecessary);
}

const char* kelFormat::getDefaultSuffix() const
{
    return db ? db->getDefaultSuffix() : nullptr;
}

const char* kelFormat::getDescription() const
{
    return db ? db->getDescription() : nullptr;
}

int kelFormat::accessModeIsSupported(int mode) const
{
    return db && db->accessModeIsSupported(mode) ? 1 : 0;
}

int kelFormat::haveDSOVersion(int wantMajor, int wantMinor) const
{
    return db && static_cast<const kelFormatDB*>(db)->haveDSOVersion(wantMajor, wantMinor) ? 1 : 0;
}

kelTagDescription* kelFormat::getTagDescriptions(int& count)
{
    if (!haveDSOVersion(2, 1)) {
        count = 0;
        return nullptr;
    }
    return _getTagDescriptions(count);
}
