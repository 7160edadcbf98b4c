// The items of a PNG file other than its texts: the layout of a new file
// and the encoder's settings, color and transparency information,
// resolution, time and what is only read.
#include "kelPNGFile.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <fcntl.h>

namespace {

template <class T>
kelStatus putValues(va_list args, bool present, const T* values, int n)
{
    T* out[4];
    for (int i = 0; i < n; ++i)
        if (!(out[i] = va_arg(args, T*)))
            return kelBADPARAMS;
    if (!present)
        return kelUNSUPPORTEDBYFILE;
    for (int i = 0; i < n; ++i)
        *out[i] = values[i];
    return kelOKAY;
}

kelStatus putInt(va_list args, bool present, int value)
{
    return putValues(args, present, &value, 1);
}

// "YYYY-MM-DD HH:MM:SS" with the ranges of tIME.
bool isTime(const char* text)
{
    unsigned v[6];
    char end = 0;
    return sscanf(text, "%4u-%2u-%2u %2u:%2u:%2u%c", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &end) == 6 &&
           v[0] <= 65535 && v[1] >= 1 && v[1] <= 12 && v[2] >= 1 && v[2] <= 31 && v[3] <= 23 && v[4] <= 59 &&
           v[5] <= 60;
}

} // namespace

kelStatus kelPNGFile::getItem(int tag, va_list args)
{
    if (tag >= kelPNGtitle && tag <= kelPNGtextKeywords)
        return getTextItem(tag, args);
    if (tag >= kelPNGtransparentGray && tag <= kelPNGbackgroundIndex && tag != kelPNGresolution &&
        tag != kelPNGresolutionUnit && tag != kelPNGmodificationTime)
        return getColorItem(tag, args);
    return getImageItem(tag, args);
}

kelStatus kelPNGFile::setItem(int tag, va_list args)
{
    if (accessmode == O_RDONLY)
        return kelREADONLY;
    if (tag >= kelPNGtitle && tag <= kelPNGtextKeywords)
        return setTextItem(tag, args);
    if (tag >= kelPNGtransparentGray && tag <= kelPNGbackgroundIndex && tag != kelPNGresolution &&
        tag != kelPNGresolutionUnit && tag != kelPNGmodificationTime)
        return setColorItem(tag, args);
    return setImageItem(tag, args);
}

// Settings of the encoder, before its first row.
bool kelPNGFile::canSet() const
{
    return accessmode != O_RDONLY && !encoder.started() && !finished;
}

kelStatus kelPNGFile::getImageItem(int tag, va_list args)
{
    const bool writing = accessmode != O_RDONLY;
    switch (tag) {
    case kelPNGbitDepth:
        return putInt(args, true, depthSetting && !layoutFixed ? depthSetting : layout.depth);
    case kelPNGinterlace:
        return putInt(args, true, layout.interlaced);
    case kelPNGcompressionLevel:
        return putInt(args, writing, level);
    case kelPNGfilter:
        return putInt(args, writing, filter);
    case kelPNGresolution: {
        const int v[2] = {int(info.resolution[0]), int(info.resolution[1])};
        return putValues(args, info.hasResolution, v, 2);
    }
    case kelPNGresolutionUnit:
        return putInt(args, info.hasResolution, info.resolutionUnit);
    case kelPNGmodificationTime: {
        readTrailer();
        const char* text = info.modificationTime.c_str();
        return putValues(args, !info.modificationTime.empty(), &text, 1);
    }
    case kelPNGexif: {
        readTrailer();
        const void** bytes = va_arg(args, const void**);
        int* count = va_arg(args, int*);
        if (!bytes || !count)
            return kelBADPARAMS;
        if (info.exif.empty())
            return kelUNSUPPORTEDBYFILE;
        *bytes = info.exif.data();
        *count = int(info.exif.size());
        return kelOKAY;
    }
    case kelPNGanimated:
        return putInt(args, true, info.animated);
    default:
        return kelBADPARAMS;
    }
}

// The depths each data type and color type allow.
static bool depthFits(kelDataType type, int colorType, int depth)
{
    if (type == kelBit)
        return depth == 1;
    if (type == kelUShort)
        return depth == 16;
    if (colorType == 0 || colorType == 3)
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    return depth == 8;
}

kelStatus kelPNGFile::setImageItem(int tag, va_list args)
{
    if (tag == kelPNGexif || tag == kelPNGanimated)
        return kelREADONLY;
    if (!canSet() || ((tag == kelPNGbitDepth || tag == kelPNGinterlace) && layoutFixed))
        return kelREADONLY;
    if (tag == kelPNGresolution) {
        const int x = va_arg(args, int), y = va_arg(args, int);
        if (x < 0 || y < 0)
            return kelBADPARAMS;
        info.resolution[0] = unsigned(x);
        info.resolution[1] = unsigned(y);
        info.hasResolution = true;
        return kelOKAY;
    }
    if (tag == kelPNGmodificationTime) {
        const char* text = va_arg(args, const char*);
        if (text && *text && !isTime(text))
            return kelBADPARAMS;
        info.modificationTime = text ? text : "";
        return kelOKAY;
    }
    const int v = va_arg(args, int);
    switch (tag) {
    case kelPNGbitDepth:
        if (!depthFits(dtype, layout.colorType, v) || (layout.colorType == 3 && info.paletteEntries > 1 << v))
            return kelBADPARAMS;
        depthSetting = v;
        return kelOKAY;
    case kelPNGinterlace:
        layout.interlaced = v != 0;
        return kelOKAY;
    case kelPNGcompressionLevel:
        if (v < 0 || v > 9)
            return kelBADPARAMS;
        level = v;
        return kelOKAY;
    case kelPNGfilter:
        if (v < kelPNGfilterDefault || v > kelPNGfilterAdaptive)
            return kelBADPARAMS;
        filter = v;
        return kelOKAY;
    case kelPNGresolutionUnit:
        if (v != 0 && v != 1)
            return kelBADPARAMS;
        info.resolutionUnit = v;
        return kelOKAY;
    default:
        return kelBADPARAMS;
    }
}

kelStatus kelPNGFile::getColorItem(int tag, va_list args)
{
    const int type = layout.colorType;
    const int gray = type == 0 || type == 4, rgb = type == 2 || type == 6;
    int values[4];
    for (int i = 0; i < 3; ++i)
        values[i] = info.transparent[i];
    switch (tag) {
    case kelPNGtransparentGray:
        return putValues(args, type == 0 && info.hasTransparency, values, 1);
    case kelPNGtransparentColor:
        return putValues(args, type == 2 && info.hasTransparency, values, 3);
    case kelPNGsignificantBits:
        return putValues(args, info.hasSignificantBits, info.significantBits, 4);
    case kelPNGgamma: {
        const double g = info.gamma / 100000.0;
        return putValues(args, info.hasGamma, &g, 1);
    }
    case kelPNGwhitePoint:
    case kelPNGredPrimary:
    case kelPNGgreenPrimary:
    case kelPNGbluePrimary: {
        const int pair = tag - kelPNGwhitePoint;
        return putValues(args, (info.chromaticitiesSet >> pair & 1) != 0, info.chromaticities + 2 * pair, 2);
    }
    case kelPNGsRGBIntent:
        return putInt(args, info.hasIntent, info.intent);
    default:
        break;
    }
    for (int i = 0; i < 3; ++i)
        values[i] = info.background[i];
    switch (tag) {
    case kelPNGbackgroundGray:
        return putValues(args, gray && info.hasBackground, values, 1);
    case kelPNGbackgroundColor:
        return putValues(args, rgb && info.hasBackground, values, 3);
    case kelPNGbackgroundIndex:
        return putValues(args, type == 3 && info.hasBackground, values, 1);
    default:
        return kelBADPARAMS;
    }
}

namespace {

// Up to three sample values, each within 0 .. max; -1 first: none.
int takeSamples(va_list args, int n, int max, uint16_t* out, bool& present)
{
    int v[3];
    for (int i = 0; i < n; ++i)
        v[i] = va_arg(args, int);
    present = v[0] != -1;
    for (int i = 0; present && i < n; ++i) {
        if (v[i] < 0 || v[i] > max)
            return 0;
        out[i] = uint16_t(v[i]);
    }
    return 1;
}

} // namespace

kelStatus kelPNGFile::setColorItem(int tag, va_list args)
{
    if (!canSet())
        return kelREADONLY;
    const int type = layout.colorType;
    const int max = dtype == kelUShort ? 65535 : dtype == kelBit ? 1 : 255;
    switch (tag) {
    case kelPNGtransparentGray:
    case kelPNGtransparentColor: {
        const bool gray = tag == kelPNGtransparentGray;
        if (type != (gray ? 0 : 2))
            return kelBADPARAMS;
        return takeSamples(args, gray ? 1 : 3, max, info.transparent, info.hasTransparency) ? kelStatus(kelOKAY)
                                                                                           : kelStatus(kelBADPARAMS);
    }
    case kelPNGbackgroundGray:
    case kelPNGbackgroundColor:
    case kelPNGbackgroundIndex: {
        const int wanted = tag == kelPNGbackgroundGray ? (type == 0 || type == 4)
                           : tag == kelPNGbackgroundColor ? (type == 2 || type == 6) : type == 3;
        if (!wanted)
            return kelBADPARAMS;
        return takeSamples(args, tag == kelPNGbackgroundColor ? 3 : 1, type == 3 ? 255 : max, info.background,
                           info.hasBackground) ? kelStatus(kelOKAY) : kelStatus(kelBADPARAMS);
    }
    case kelPNGsignificantBits:
        for (int i = 0; i < 4; ++i)
            info.significantBits[i] = va_arg(args, int);
        info.hasSignificantBits = info.significantBits[0] > 0;
        return kelOKAY;
    case kelPNGgamma: {
        const double g = va_arg(args, double);
        info.hasGamma = g > 0 && g * 100000.0 < 2147483647.0;
        info.gamma = info.hasGamma ? uint32_t(lround(g * 100000.0)) : 0;
        return info.hasGamma || !(g > 0) ? kelStatus(kelOKAY) : kelStatus(kelBADPARAMS);
    }
    case kelPNGwhitePoint:
    case kelPNGredPrimary:
    case kelPNGgreenPrimary:
    case kelPNGbluePrimary: {
        const int pair = tag - kelPNGwhitePoint;
        info.chromaticities[2 * pair] = va_arg(args, double);
        info.chromaticities[2 * pair + 1] = va_arg(args, double);
        info.chromaticitiesSet |= 1u << pair;
        return kelOKAY;
    }
    case kelPNGsRGBIntent: {
        const int v = va_arg(args, int);
        if (v < -1 || v > 3)
            return kelBADPARAMS;
        info.hasIntent = v >= 0;
        info.intent = v;
        return kelOKAY;
    }
    default:
        return kelBADPARAMS;
    }
}
