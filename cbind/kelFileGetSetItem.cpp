// Items and tags: the caller's arguments go straight to the file's own
// getItem/setItem, which read them as the format's item table says. Tags
// and items share that one operation, so the tag functions are the item
// functions under a second name.
#include <kel/ckel.h>
#include <kel/kelFile.h>

kelStatus kelFileGetItemV(kelFile* _x, int tag, va_list ap)
{
    return _x->getItem(tag, ap);
}

kelStatus kelFileSetItemV(kelFile* _x, int tag, va_list ap)
{
    return _x->setItem(tag, ap);
}

kelStatus kelFileGetItem(kelFile* file, int tag, ...)
{
    va_list ap;
    va_start(ap, tag);
    kelStatus sts = file->getItem(tag, ap);
    va_end(ap);
    return sts;
}

kelStatus kelFileSetItem(kelFile* file, int tag, ...)
{
    va_list ap;
    va_start(ap, tag);
    kelStatus sts = file->setItem(tag, ap);
    va_end(ap);
    return sts;
}

kelStatus kelFileGetTagV(kelFile* _x, int tag, va_list ap) __attribute__((alias("kelFileGetItemV")));
kelStatus kelFileSetTagV(kelFile* _x, int tag, va_list ap) __attribute__((alias("kelFileSetItemV")));
kelStatus kelFileGetTag(kelFile* file, int tag, ...) __attribute__((alias("kelFileGetItem")));
kelStatus kelFileSetTag(kelFile* file, int tag, ...) __attribute__((alias("kelFileSetItem")));
