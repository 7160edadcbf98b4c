// Tags.
#include <kel/ckel.h>
#include <kel/kelTag.h>

#include "ckelNew.h"

kelTag* kelTagFromDesc(kelTagDescription* desc)
{
    return ckelNew<kelTag>(desc);
}

void kelTagDelete(kelTag* _x)
{
    delete _x;
}

void kelTagInit(kelTag* _x, kelTagDescription* desc)
{
    _x->init(desc);
}

int kelTagGetType(kelTag* _x)
{
    return _x->getType();
}

int kelTagGetCount(kelTag* _x)
{
    return _x->getCount();
}

void* kelTagGetValue(kelTag* _x)
{
    return _x->getValue();
}

kelStatus kelTagRead(kelTag* _x, kelFile* file)
{
    return _x->read(file);
}

kelStatus kelTagWrite(kelTag* _x, kelFile* file)
{
    return _x->write(file);
}

kelStatus kelTagEncode(kelTag* _x, char* str)
{
    return _x->encode(str);
}

kelStatus kelTagDecode(kelTag* _x, const char* str)
{
    return _x->decode(str);
}
