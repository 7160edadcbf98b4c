// The items of a JPEG file: the header's coding settings, density, comment,
// Adobe transform and EXIF block when read; the encoder's settings when
// written, taken until the first rows are encoded.
#include "kelJPEGFile.h"

#include <string.h>

#include <new>

namespace {

// A comment is one COM marker.
const size_t maxCommentBytes = 65533;

// An int item that the file may lack (a negative value).
kelStatus putIntIf(va_list args, int value)
{
    int* p = va_arg(args, int*);
    if (!p)
        return kelBADPARAMS;
    if (value < 0)
        return kelUNSUPPORTEDBYFILE;
    *p = value;
    return kelOKAY;
}

bool inRange(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

kelStatus setInRange(int& field, int v, int lo, int hi)
{
    if (!inRange(v, lo, hi))
        return kelBADPARAMS;
    field = v;
    return kelOKAY;
}

} // namespace

kelStatus kelJPEGFile::getItem(int tag, va_list args)
{
    switch (tag) {
    case kelJPEGquality:
        return putIntIf(args, settings.quality);
    case kelJPEGsubsampling:
        return putIntIf(args, settings.subsampling);
    case kelJPEGprogressive:
        return putIntIf(args, settings.progressive);
    case kelJPEGoptimize:
        return putIntIf(args, settings.optimize);
    case kelJPEGrestartInterval:
        return putIntIf(args, settings.restartInterval);
    case kelJPEGdensity: {
        int* x = va_arg(args, int*);
        int* y = va_arg(args, int*);
        if (!x || !y)
            return kelBADPARAMS;
        if (settings.density.unit < 0)
            return kelUNSUPPORTEDBYFILE;
        *x = settings.density.x;
        *y = settings.density.y;
        return kelOKAY;
    }
    case kelJPEGdensityUnit:
        return putIntIf(args, settings.density.unit);
    case kelJPEGcomment: {
        char** p = va_arg(args, char**);
        if (!p)
            return kelBADPARAMS;
        if (!settings.hasComment)
            return kelUNSUPPORTEDBYFILE;
        *p = const_cast<char*>(settings.comment.c_str());
        return kelOKAY;
    }
    case kelJPEGarithmetic:
        return putIntIf(args, settings.arithmetic);
    case kelJPEGadobeTransform:
        return putIntIf(args, settings.adobeTransform);
    case kelJPEGexif: {
        const void** p = va_arg(args, const void**);
        int* n = va_arg(args, int*);
        if (!p || !n)
            return kelBADPARAMS;
        if (!markers || !markers->hasExif)
            return kelUNSUPPORTEDBYFILE;
        *p = markers->exif.data();
        *n = int(markers->exif.size());
        return kelOKAY;
    }
    default:
        return kelBADPARAMS;
    }
}

kelStatus kelJPEGFile::setItem(int tag, va_list args)
{
    if (tag == kelJPEGarithmetic || tag == kelJPEGadobeTransform || tag == kelJPEGexif || !creating || encoder)
        return tag >= kelJPEGquality && tag <= kelJPEGexif ? kelREADONLY : kelBADPARAMS;
    return setSetting(tag, args);
}

kelStatus kelJPEGFile::setSetting(int tag, va_list args)
{
    if (tag == kelJPEGcomment) {
        const char* text = va_arg(args, const char*);
        if (text && strlen(text) > maxCommentBytes)
            return kelBADPARAMS;
        try {
            settings.comment = text ? text : "";
        } catch (const std::bad_alloc&) {
            return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
        }
        settings.hasComment = text != nullptr;
        return kelOKAY;
    }
    const int v = va_arg(args, int);
    switch (tag) {
    case kelJPEGquality:
        return setInRange(settings.quality, v, 1, 100);
    case kelJPEGsubsampling:
        return setInRange(settings.subsampling, v, kelJPEGsub444, kelJPEGsub420);
    case kelJPEGprogressive:
        settings.progressive = v != 0;
        return kelOKAY;
    case kelJPEGoptimize:
        settings.optimize = v != 0;
        return kelOKAY;
    case kelJPEGrestartInterval:
        return setInRange(settings.restartInterval, v, 0, 65535);
    case kelJPEGdensity: {
        const int y = va_arg(args, int);
        if (!inRange(v, 1, 65535) || !inRange(y, 1, 65535))
            return kelBADPARAMS;
        settings.density = {settings.density.unit < 0 ? int(kelJPEGunitNone) : settings.density.unit, v, y};
        return kelOKAY;
    }
    case kelJPEGdensityUnit:
        return setInRange(settings.density.unit, v, kelJPEGunitNone, kelJPEGunitCentimeter);
    default:
        return kelBADPARAMS;
    }
}
