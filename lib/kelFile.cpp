#include <kel/kelFile.h>
#include <kel/kelFormat.h>
#include <kel/kelOrientation.h>

#include <stdlib.h>

kelClassList kelFile::classList("kelFile", nullptr);

kelFile::kelFile()
    : filename(nullptr), fd(-1), accessmode(0), format(nullptr), formatArgs(nullptr), dtype(kelDataType(0)),
      order(kelOrder(0)), cm(kelColorModel(0)), orientation(kelOrientation(0)), compression(kelCompression(0)),
      channelPermutation(nullptr), attrChanged(0), beginFileIO_CB(nullptr), beginFileIO_arg(nullptr),
      endFileIO_CB(nullptr), endFileIO_arg(nullptr)
{
}

kelFile::~kelFile()
{
    free(filename);
    free(formatArgs);
    free(channelPermutation);
}

kelStatus kelFile::close(int flags)
{
    kelStatus flushStatus = (flags & 1) ? kelOKAY : flush();
    kelStatus closeStatus = closeFile();
    delete this;
    return flushStatus != kelOKAY ? flushStatus : closeStatus;
}

const char* kelFile::getClassName(int parentIdx) const
{
    return getClassId()->find(parentIdx);
}

const kelClassList* kelFile::getClassId() const
{
    return &classList;
}

int kelFile::derivesFrom(const kelClassList* className) const
{
    return getClassId()->find(className);
}

const char* kelFile::getDefaultDescription() const
{
    return "Base File";
}

kelStatus kelFile::flush()
{
    return kelOKAY;
}

kelStatus kelFile::getPage(void*, int, int, int, int, int, int, int, int)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::setPage(const void*, int, int, int, int, int, int, int, int)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::setPageSegments(const iovec*, int, int, int, int, int, int, int, int, int)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::getCompressedPage(...)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::decompressPage(...)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::compressPage(...)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::setCompressedPage(...)
{
    return kelUNSUPPORTEDBYFORMAT;
}

int kelFile::getNumImgs()
{
    return 1;
}

int kelFile::getCurrentImg()
{
    return 0;
}

kelStatus kelFile::setCurrentImg(int i)
{
    if (i == getCurrentImg())
        return kelOKAY;
    return i >= 0 && i < getNumImgs() ? kelUNSUPPORTEDBYLIBRARY : kelFILEINDEXOOB;
}

kelStatus kelFile::appendImg(kelFile*, kelFileConfig*)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::getColormap(const kelColormap*&)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::getStatMinMax(double&, double&)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::getScaleMinMax(double&, double&)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::setColormap(const kelColormap*)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::setStatMinMax(double, double)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::setScaleMinMax(double, double)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::getItem(int, va_list)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::setItem(int, va_list)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::createFile()
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::_getICCProfile(int&, void*&)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::_freeICCProfile(void*)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::_setICCProfile(int, const void*)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::_enableDirectIO(int)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::_getDirectIOMemAlignment(unsigned int&)
{
    return kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::getTag(int tag, ...)
{
    va_list args;
    va_start(args, tag);
    kelStatus sts = getItem(tag, args);
    va_end(args);
    return sts;
}

kelStatus kelFile::getItem(int tag, ...)
{
    va_list args;
    va_start(args, tag);
    kelStatus sts = getItem(tag, args);
    va_end(args);
    return sts;
}

kelStatus kelFile::setTag(int tag, ...)
{
    va_list args;
    va_start(args, tag);
    kelStatus sts = setItem(tag, args);
    va_end(args);
    return sts;
}

kelStatus kelFile::setItem(int tag, ...)
{
    va_list args;
    va_start(args, tag);
    kelStatus sts = setItem(tag, args);
    va_end(args);
    return sts;
}

kelStatus kelFile::getTagV(int tag, va_list args)
{
    return getItem(tag, args);
}

kelStatus kelFile::setTagV(int tag, va_list args)
{
    return setItem(tag, args);
}

int kelFile::haveAttributesChanged()
{
    int changed = attrChanged;
    attrChanged = 0;
    return changed;
}

void kelFile::setBeginFileIO_CB(kelFileIOCallback cb, void* arg)
{
    beginFileIO_CB = cb;
    beginFileIO_arg = arg;
}

void kelFile::setEndFileIO_CB(kelFileIOCallback cb, void* arg)
{
    endFileIO_CB = cb;
    endFileIO_arg = arg;
}

kelStatus kelFile::beginFileIO()
{
    return beginFileIO_CB ? beginFileIO_CB(beginFileIO_arg) : kelOKAY;
}

kelStatus kelFile::endFileIO()
{
    return endFileIO_CB ? endFileIO_CB(endFileIO_arg) : kelOKAY;
}

// The optional services exist only for plug-ins of interface 2.1 or later.
static int servicesAvailable(const kelFormat* format)
{
    return format && format->haveDSOVersion(2, 1);
}

kelStatus kelFile::getICCProfile(int& sz, void*& profile)
{
    return servicesAvailable(format) ? _getICCProfile(sz, profile) : kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::freeICCProfile(void* profile)
{
    return servicesAvailable(format) ? _freeICCProfile(profile) : kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::setICCProfile(int sz, const void* profile)
{
    return servicesAvailable(format) ? _setICCProfile(sz, profile) : kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::enableDirectIO(int enab)
{
    return servicesAvailable(format) ? _enableDirectIO(enab) : kelUNSUPPORTEDBYFORMAT;
}

kelStatus kelFile::getDirectIOMemAlignment(unsigned int& align)
{
    return servicesAvailable(format) ? _getDirectIOMemAlignment(align) : kelUNSUPPORTEDBYFORMAT;
}

void kelFile::getDimensions(kelSize& s) const
{
    getSize(s, kelLowerLeftOrigin);
}

void kelFile::getPageDimensions(kelSize& s) const
{
    getPageSize(s, kelLowerLeftOrigin);
}

void kelFile::getSize(kelSize& s, kelOrientation o) const
{
    s = size;
    kelMapSize(orientation, s, o);
}

void kelFile::getPageSize(kelSize& s, kelOrientation o) const
{
    s = pageSize;
    kelMapSize(orientation, s, o);
}
