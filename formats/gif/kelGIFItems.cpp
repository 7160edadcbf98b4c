// The items of a GIF file: per-image placement, timing and transparency,
// and the logical screen, looping and global table of the whole file.
#include "kelGIFFile.h"

#include <kel/kelColormap.h>

#include <math.h>

#include "kelGIFColormap.h"
#include "kelGIFLimits.h"

static kelStatus putInt(va_list args, int value)
{
    int* p = va_arg(args, int*);
    if (!p)
        return kelBADPARAMS;
    *p = value;
    return kelOKAY;
}

// An int item that the file may lack.
static kelStatus putIntIf(va_list args, int present, int value)
{
    int* p = va_arg(args, int*);
    if (!p)
        return kelBADPARAMS;
    if (!present)
        return kelUNSUPPORTEDBYFILE;
    *p = value;
    return kelOKAY;
}

kelStatus kelGIFFile::getColorItem(const kelColormap* map, int index, va_list args) const
{
    int* r = va_arg(args, int*);
    int* g = va_arg(args, int*);
    int* b = va_arg(args, int*);
    if (!r || !g || !b)
        return kelBADPARAMS;
    if (!map)
        return kelUNSUPPORTEDBYFILE;
    *r = int(map->getVal(index, 0));
    *g = int(map->getVal(index, 1));
    *b = int(map->getVal(index, 2));
    return kelOKAY;
}

kelStatus kelGIFFile::getItem(int tag, va_list args)
{
    switch (tag) {
    case kelGIFtransparentIndex:
        return putIntIf(args, transIndex != -1, transIndex);
    case kelGIFtransparentColor:
        return getColorItem(transIndex != -1 ? currentMap() : nullptr, transIndex, args);
    case kelGIFinterlace:
        return putInt(args, interlaced != 0);
    case kelGIFdelayTime:
        return putInt(args, delayTime);
    case kelGIFdisposalMethod:
        return putInt(args, disposalMethod);
    case kelGIFuserInput:
        return putInt(args, userInput);
    case kelGIFleftPosition:
        return putInt(args, position.x);
    case kelGIFtopPosition:
        return putInt(args, position.y);
    case kelGIFscreenWidth:
        return putInt(args, screen.x);
    case kelGIFscreenHeight:
        return putInt(args, screen.y);
    case kelGIFaspectRatio: {
        float* p = va_arg(args, float*);
        if (!p)
            return kelBADPARAMS;
        if (!aspectRatio)
            return kelUNSUPPORTEDBYFILE;
        *p = float(aspectRatio + 15) / 64.0f;
        return kelOKAY;
    }
    case kelGIFglobalMap: {
        const kelColormap** p = va_arg(args, const kelColormap**);
        if (!p)
            return kelBADPARAMS;
        if (!globalMap)
            return kelUNSUPPORTEDBYFILE;
        *p = globalMap;
        return kelOKAY;
    }
    case kelGIFbackgroundIndex:
        return putIntIf(args, globalMap != nullptr, backgroundIndex);
    case kelGIFbackgroundColor:
        return getColorItem(globalMap, backgroundIndex, args);
    case kelGIFloopCount:
        return putIntIf(args, loopCount >= 0, loopCount);
    default:
        return kelBADPARAMS;
    }
}

// Settings of the next image written.
kelStatus kelGIFFile::setImageItem(int tag, va_list args)
{
    if (tag < kelGIFtransparentIndex || tag > kelGIFtopPosition || tag == kelGIFtransparentColor)
        return kelBADPARAMS;
    const int v = va_arg(args, int);
    switch (tag) {
    case kelGIFtransparentIndex:
        if (v < -1 || v > 255)
            return kelBADPARAMS;
        transIndex = v;
        return kelOKAY;
    case kelGIFinterlace:
        doInterlace = v != 0;
        return kelOKAY;
    case kelGIFdelayTime:
        if (!kelGIFWordFits(v))
            return kelBADPARAMS;
        delayTime = v;
        return kelOKAY;
    case kelGIFdisposalMethod:
        if (v < 0 || v > 7)
            return kelBADPARAMS;
        disposalMethod = v;
        return kelOKAY;
    case kelGIFleftPosition:
    case kelGIFtopPosition:
        if (!kelGIFWordFits(v))
            return kelBADPARAMS;
        (tag == kelGIFleftPosition ? position.x : position.y) = v;
        return kelOKAY;
    default: // kelGIFuserInput
        userInput = v != 0;
        return kelOKAY;
    }
}

static int aspectByte(double ratio)
{
    double b = trunc(ratio * 64.0) - 15.0;
    if (!(b > 0.0)) // also not a number
        return 0;
    return b > 255.0 ? 255 : int(b);
}

// Settings that only the header carries: refused once it is written.
kelStatus kelGIFFile::setFileItem(int tag, va_list args)
{
    if (wroteHeader)
        return kelREADONLY;
    if (tag == kelGIFaspectRatio) {
        aspectRatio = aspectByte(va_arg(args, double));
        return kelOKAY;
    }
    const int v = va_arg(args, int);
    switch (tag) {
    case kelGIFscreenWidth:
    case kelGIFscreenHeight:
        if (!kelGIFWordFits(v))
            return kelBADPARAMS;
        (tag == kelGIFscreenWidth ? screen.x : screen.y) = v;
        return kelOKAY;
    case kelGIFbackgroundIndex:
        if (v < 0 || v > 255)
            return kelBADPARAMS;
        backgroundIndex = v;
        return kelOKAY;
    default: // kelGIFloopCount
        loopCount = v > kelGIFMaxWord ? int(kelGIFMaxWord) : v;
        return kelOKAY;
    }
}

kelStatus kelGIFFile::setItem(int tag, va_list args)
{
    switch (tag) {
    case kelGIFglobalMap: {
        const kelColormap* map = va_arg(args, const kelColormap*);
        return map ? CopyColormap(map, globalMap, nullptr) : kelBADPARAMS;
    }
    case kelGIFscreenWidth:
    case kelGIFscreenHeight:
    case kelGIFaspectRatio:
    case kelGIFbackgroundIndex:
    case kelGIFloopCount:
        return setFileItem(tag, args);
    default:
        return setImageItem(tag, args);
    }
}
