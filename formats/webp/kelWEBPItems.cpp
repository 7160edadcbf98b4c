// The items of a WebP file: the current frame's place, timing, disposal and
// blend; the canvas, looping, background and metadata of the whole file;
// the encoder's settings of a new file.
#include "kelWEBPFile.h"

#include <new>

#include "kelWEBPLimits.h"

namespace {

kelStatus putIntIf(va_list args, bool present, int value)
{
    int* p = va_arg(args, int*);
    if (!p)
        return kelBADPARAMS;
    if (!present)
        return kelUNSUPPORTEDBYFILE;
    *p = value;
    return kelOKAY;
}

kelStatus putBytesIf(va_list args, bool present, const std::vector<unsigned char>& bytes)
{
    const void** p = va_arg(args, const void**);
    int* n = va_arg(args, int*);
    if (!p || !n)
        return kelBADPARAMS;
    if (!present)
        return kelUNSUPPORTEDBYFILE;
    *p = bytes.data();
    *n = int(bytes.size());
    return kelOKAY;
}

kelStatus setInRange(int& field, int v, int lo, int hi)
{
    if (v < lo || v > hi)
        return kelBADPARAMS;
    field = v;
    return kelOKAY;
}

kelStatus setBytes(va_list args, int& has, std::vector<unsigned char>& to)
{
    const unsigned char* p = va_arg(args, const unsigned char*);
    const int n = va_arg(args, int);
    if (n < 0 || (n > 0 && !p))
        return kelBADPARAMS;
    try {
        to.assign(p, p + n);
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    has = n > 0;
    return kelOKAY;
}

} // namespace

kelStatus kelWEBPFile::getItem(int tag, va_list args)
{
    // What only an animation stores.
    const bool timed = creating || info.animated;
    switch (tag) {
    case kelWEBPquality:
        return putIntIf(args, creating, settings.quality);
    case kelWEBPmethod:
        return putIntIf(args, creating, settings.method);
    case kelWEBPexact:
        return putIntIf(args, creating, settings.exact);
    case kelWEBPleft:
        return putIntIf(args, true, frame.left);
    case kelWEBPtop:
        return putIntIf(args, true, frame.top);
    case kelWEBPduration:
        return putIntIf(args, timed, frame.duration);
    case kelWEBPdispose:
        return putIntIf(args, timed, frame.dispose);
    case kelWEBPblend:
        return putIntIf(args, timed, frame.blend);
    default:
        return getFileItem(tag, args);
    }
}

kelStatus kelWEBPFile::getFileItem(int tag, va_list args)
{
    const bool timed = creating || info.animated;
    switch (tag) {
    case kelWEBPcanvasWidth:
        return putIntIf(args, true, info.canvasWidth);
    case kelWEBPcanvasHeight:
        return putIntIf(args, true, info.canvasHeight);
    case kelWEBPloopCount:
        return putIntIf(args, timed, info.loopCount);
    case kelWEBPbackground: {
        int* rgba[4];
        for (int*& p : rgba)
            p = va_arg(args, int*);
        if (!rgba[0] || !rgba[1] || !rgba[2] || !rgba[3])
            return kelBADPARAMS;
        if (!timed)
            return kelUNSUPPORTEDBYFILE;
        for (int c = 0; c < 4; c++)
            *rgba[c] = info.background[c];
        return kelOKAY;
    }
    case kelWEBPexif:
        return putBytesIf(args, info.hasExif, info.exif);
    case kelWEBPxmp:
        return putBytesIf(args, info.hasXmp, info.xmp);
    default:
        return kelBADPARAMS;
    }
}

kelStatus kelWEBPFile::setItem(int tag, va_list args)
{
    if (tag < kelWEBPquality || tag > kelWEBPxmp)
        return kelBADPARAMS;
    if (!creating)
        return kelREADONLY;
    if (tag >= kelWEBPleft && tag <= kelWEBPblend)
        return setFrameItem(tag, args);
    return setFileItem(tag, args);
}

kelStatus kelWEBPFile::setFrameItem(int tag, va_list args)
{
    const int v = va_arg(args, int);
    switch (tag) {
    case kelWEBPleft:
        return setInRange(frame.left, v, 0, kelWEBPMaxExtent);
    case kelWEBPtop:
        return setInRange(frame.top, v, 0, kelWEBPMaxExtent);
    case kelWEBPduration:
        return setInRange(frame.duration, v, 0, kelWEBPMaxDuration);
    case kelWEBPdispose:
        return setInRange(frame.dispose, v, kelDisposeUnspecified, kelDisposePrevious);
    default:
        return setInRange(frame.blend, v, kelBlendOver, kelBlendSource);
    }
}

// The canvas, looping and background go to the encoder with the first
// frame; the settings apply to the frames encoded after them.
kelStatus kelWEBPFile::setFileItem(int tag, va_list args)
{
    if (tag == kelWEBPexif)
        return setBytes(args, info.hasExif, info.exif);
    if (tag == kelWEBPxmp)
        return setBytes(args, info.hasXmp, info.xmp);
    const bool started = encoder.started();
    const int v = va_arg(args, int);
    switch (tag) {
    case kelWEBPquality:
        return setInRange(settings.quality, v, 0, 100);
    case kelWEBPmethod:
        return setInRange(settings.method, v, 0, 6);
    case kelWEBPexact:
        settings.exact = v != 0;
        return kelOKAY;
    case kelWEBPcanvasWidth:
        return started ? kelREADONLY : setInRange(info.canvasWidth, v, 0, kelWEBPMaxExtent);
    case kelWEBPcanvasHeight:
        return started ? kelREADONLY : setInRange(info.canvasHeight, v, 0, kelWEBPMaxExtent);
    case kelWEBPloopCount:
        return started ? kelREADONLY : setInRange(info.loopCount, v, 0, kelWEBPMaxLoopCount);
    default: {
        int rgba[4] = {v, va_arg(args, int), va_arg(args, int), va_arg(args, int)};
        for (int c : rgba)
            if (c < 0 || c > 255)
                return kelBADPARAMS;
        if (started)
            return kelREADONLY;
        std::copy(rgba, rgba + 4, info.background);
        return kelOKAY;
    }
    }
}
