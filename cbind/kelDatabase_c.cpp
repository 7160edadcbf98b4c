// Format database entries.
#include <kel/ckel.h>
#include <kel/kelDatabase.h>

kelDatabase* kelDatabaseFindNext(int* index)
{
    return kelDatabase::findNext(*index);
}

kelDatabase* kelDatabaseFindByFormatName(const char* formatName)
{
    return kelDatabase::findByFormatName(formatName);
}

kelDatabase* kelDatabaseFindByFileName(const char* fileName, int noMatchRule)
{
    return kelDatabase::findByFileName(fileName, noMatchRule);
}

kelDatabase* kelDatabaseFindByMagic(int fd)
{
    return kelDatabase::findByMagic(fd);
}

char* kelDatabaseGetName(kelDatabase* _x)
{
    return const_cast<char*>(_x->getName());
}

char* kelDatabaseGetDescription(kelDatabase* _x)
{
    return const_cast<char*>(_x->getDescription());
}

char* kelDatabaseGetDSOName(kelDatabase* _x)
{
    return const_cast<char*>(_x->getDSOName());
}

char* kelDatabaseGetInstSubSystem(kelDatabase* _x)
{
    return const_cast<char*>(_x->getInstSubSystem());
}

char* kelDatabaseGetDefaultSuffix(kelDatabase* _x)
{
    return const_cast<char*>(_x->getDefaultSuffix());
}

int kelDatabaseAccessModeIsSupported(kelDatabase* _x, int mode)
{
    return _x->accessModeIsSupported(mode);
}

kelFormat* kelDatabaseGetFormat(kelDatabase* _x, int openDSOifNecessary)
{
    return _x->getFormat(openDSOifNecessary);
}
