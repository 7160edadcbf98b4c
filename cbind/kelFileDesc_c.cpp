// Parsed file names.
#include <kel/ckel.h>
#include <kel/kelFileDesc.h>

#include "ckelNew.h"

kelFileDesc* kelFileDescCreate(const char* name, kelFormat* format)
{
    return ckelNew<kelFileDesc>(name, format);
}

kelFileDesc* kelFileDescPreParsed(const char* fileName, int index, const char* formatName,
                                  const char* formatSpecific)
{
    return ckelNew<kelFileDesc>(fileName, index, formatName, formatSpecific);
}

kelFileDesc* kelFileDescFullyParsed(const char* fileName, int index, kelFormat* format,
                                    const char* formatSpecific)
{
    return ckelNew<kelFileDesc>(fileName, index, format, formatSpecific);
}

void kelFileDescDelete(kelFileDesc* _x)
{
    delete _x;
}

kelStatus kelFileDescGetStatus(kelFileDesc* _x)
{
    return _x->getStatus();
}

char* kelFileDescGetFileName(kelFileDesc* _x)
{
    return const_cast<char*>(_x->getFileName());
}

int kelFileDescGetFileDesc(kelFileDesc* _x)
{
    return _x->getFileDesc();
}

void kelFileDescSetFileDesc(kelFileDesc* _x, int filedesc)
{
    _x->setFileDesc(filedesc);
}

int kelFileDescGetIndex(kelFileDesc* _x)
{
    return _x->getIndex();
}

kelFormat* kelFileDescGetFormat(kelFileDesc* _x)
{
    return _x->getFormat();
}

char* kelFileDescGetFormatName(kelFileDesc* _x)
{
    return const_cast<char*>(_x->getFormatName());
}

char* kelFileDescGetFormatSpecific(kelFileDesc* _x)
{
    return const_cast<char*>(_x->getFormatSpecific());
}
