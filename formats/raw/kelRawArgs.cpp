// Geometry and layout of a Raw file, decided from the format arguments.
#include <kel/kelColor.h>
#include <kel/kelDataSize.h>
#include <kel/kelError.h>
#include <kel/kelLimits.h>
#include <kel/kelOrientation.h>

#include <limits.h>
#include <stdint.h>
#include <stdlib.h>

#include <type_traits>

#include "kelRawFile.h"

namespace {

enum Keyword { kwSize, kwPageSize, kwColorModel, kwType, kwOrder, kwOrientation, kwMinimum, kwMaximum, kwOffset };

const kelNameDesc keywords[] = {
    {"size", kwSize},       {"pagesize", kwPageSize},       {"colormodel", kwColorModel},
    {"type", kwType},       {"order", kwOrder},             {"orientation", kwOrientation},
    {"minimum", kwMinimum}, {"maximum", kwMaximum},         {"offset", kwOffset},
    {nullptr, -1}};

const kelNameDesc colorModels[] = {
    {"luminance", kelLuminance}, {"luminancealpha", kelLuminanceAlpha}, {"la", kelLuminanceAlpha},
    {"negative", kelNegative},   {"palette", kelRGBPalette},            {"rgb", kelRGB},
    {"rgba", kelRGBA},           {"hsv", kelHSV},                       {"cmy", kelCMY},
    {"cmyk", kelCMYK},           {"bgr", kelBGR},                       {"abgr", kelABGR},
    {"ycc", kelYCC},             {"multispectral", kelMultiSpectral},   {nullptr, -1}};

const kelNameDesc dataTypes[] = {
    {"bit", kelBit},     {"char", kelChar}, {"uchar", kelUChar},   {"short", kelShort}, {"ushort", kelUShort},
    {"int", kelInt},     {"uint", kelUInt}, {"float", kelFloat},   {"double", kelDouble}, {nullptr, -1}};

const kelNameDesc orders[] = {
    {"interleaved", kelInterleaved}, {"separate", kelSeparate}, {"sequential", kelSequential}, {nullptr, -1}};

const kelNameDesc orientations[] = {
    {"tl", kelUpperLeftOrigin}, {"tr", kelUpperRightOrigin}, {"bl", kelLowerLeftOrigin},
    {"br", kelLowerRightOrigin}, {"lt", kelLeftUpperOrigin}, {"rt", kelRightUpperOrigin},
    {"rb", kelRightLowerOrigin}, {"lb", kelLeftLowerOrigin},  {nullptr, -1}};

enum { maxArguments = 16 };

// strtol clamped to the int range, so that absurd values fail the geometry
// checks instead of wrapping.
int clampedInt(const char* text, char** end)
{
    long v = strtol(text, end, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return int(v);
}

// Up to four comma-separated integers, like sscanf "%d,%d,%d,%d": the
// components not given keep their values.
void readFour(const char* text, kelSize& s)
{
    int* components[4] = {&s.x, &s.y, &s.z, &s.c};
    for (int i = 0; i < 4; i++) {
        char* end;
        int v = clampedInt(text, &end);
        if (end == text)
            return;
        *components[i] = v;
        if (*end != ',')
            return;
        text = end + 1;
    }
}

// Multiplies into `acc`; 0 when the product leaves 64 bits.
int mulChecked(uint64_t& acc, uint64_t factor)
{
    return !__builtin_mul_overflow(acc, factor, &acc);
}

// The arguments give only values of the enumerations, but a configuration
// handed to create may carry anything; a color model of 0 is completed later.
int layoutIsKnown(kelOrientation orientation, kelOrder order, kelColorModel cm)
{
    return orientation >= kelUpperLeftOrigin && orientation <= kelLeftLowerOrigin &&
           (order == kelInterleaved || order == kelSequential || order == kelSeparate) &&
           (cm == 0 || kelColorModelChans(cm) >= 0);
}

} // namespace

struct kelRawFile::ArgsSeen {
    int pageSize = 0;
    int minimum = 0;
    int maximum = 0;
};

void kelRawFile::setOpenDefaults()
{
    size = kelSize(0, 0, 1, 0);
    pageSize = kelSize(0, 0, 0, 0);
    cm = kelColorModel(0);
    dtype = kelUChar;
    order = kelInterleaved;
    orientation = kelUpperLeftOrigin;
    compression = kelNoCompression;
}

void kelRawFile::applyArgument(const kelParameterDesc& arg, int isOpen, ArgsSeen& seen)
{
    const int kw = lookupName(arg.name, keywords);
    if (kw < 0) {
        kelError(kelSeverityWarning, "Unknown parameter name: %s", arg.name);
        return;
    }
    if (!arg.value) {
        kelError(kelSeverityWarning, "Missing value for %s parameter", arg.name);
        return;
    }
    // A keyword value not in its table leaves the attribute, and everything
    // derived from it, as it was; the result tells whether it was set.
    auto keyword = [&arg](auto& attr, const kelNameDesc* table, const char* message) {
        int id = lookupName(arg.value, table);
        if (id < 0) {
            kelError(kelSeverityWarning, message, arg.value);
            return false;
        }
        attr = std::remove_reference_t<decltype(attr)>(id);
        return true;
    };
    switch (kw) {
    case kwSize:
        readFour(arg.value, size);
        if (!isOpen && !seen.pageSize)
            pageSize = kelSize(0, 0, 0, 0); // a new image size gets whole-image pages
        break;
    case kwPageSize:
        readFour(arg.value, pageSize);
        seen.pageSize = 1;
        break;
    case kwColorModel:
        if (keyword(cm, colorModels, "Unknown color model: %s") && !isOpen && cm != kelMultiSpectral) {
            size.c = kelColorModelChans(cm);
            pageSize.c = 0; // completed from the order and the channel count
        }
        break;
    case kwType:
        keyword(dtype, dataTypes, "Unknown data type: %s");
        break;
    case kwOrder:
        // A page size given explicitly stays, as it does when opening.
        if (keyword(order, orders, "Unknown dimension order: %s") && !isOpen && !seen.pageSize)
            pageSize.c = 0;
        break;
    case kwOrientation:
        keyword(orientation, orientations, "Unknown orientation: %s");
        break;
    case kwMinimum:
        scaleMinValue = atof(arg.value);
        seen.minimum = 1;
        break;
    case kwMaximum:
        scaleMaxValue = atof(arg.value);
        seen.maximum = 1;
        break;
    case kwOffset:
        dataOffset = clampedInt(arg.value, nullptr);
        if (dataOffset < 0)
            dataOffset = 0;
        break;
    }
}

kelStatus kelRawFile::completeGeometry()
{
    if (!layoutIsKnown(orientation, order, cm))
        return kelBADPARAMS;
    if (size.x <= 0 || size.y <= 0 || size.c < 0 || size.z < 0)
        return kelBADPARAMS;
    if (size.z == 0)
        size.z = 1;
    if (cm == 0)
        cm = size.c >= 1 ? kelColorModelFromChans(size.c) : kelRGB;
    if (size.c == 0) {
        if (cm == kelMultiSpectral || kelColorModelChans(cm) < 1)
            return kelBADPARAMS;
        size.c = kelColorModelChans(cm);
    }
    if (pageSize.x < 0 || pageSize.y < 0 || pageSize.z < 0 || pageSize.c < 0)
        return kelBADPARAMS;
    if (pageSize.x == 0)
        pageSize.x = size.x;
    if (pageSize.y == 0)
        pageSize.y = size.y;
    if (pageSize.z == 0)
        pageSize.z = 1;
    if (pageSize.c == 0)
        pageSize.c = order == kelSeparate ? 1 : size.c;
    return kelOKAY;
}

void kelRawFile::setScaleDefaults(const ArgsSeen& seen)
{
    const int integral = kelDataIsIntegral(dtype);
    if (!seen.minimum)
        scaleMinValue = integral ? kelDataMin(dtype) : 0.0;
    if (!seen.maximum)
        scaleMaxValue = integral ? kelDataMax(dtype) : 1.0;
}

// Page counts and bytes, refusing every geometry whose page would not fit
// an unsigned int or whose last byte lies beyond a 64-bit file offset.
kelStatus kelRawFile::computeLayout()
{
    uint64_t elements = 1;
    for (int v : {pageSize.x, pageSize.y, pageSize.z, pageSize.c})
        if (!mulChecked(elements, uint64_t(v)))
            return kelBADPARAMS;
    if (elements > uint64_t(INT_MAX))
        return kelBADPARAMS;
    const uint64_t bytes = dtype == kelBit ? (elements + 7) / 8 : elements * kelDataSize(dtype, 1);
    if (bytes == 0 || bytes > uint64_t(UINT_MAX))
        return kelBADPARAMS;
    // The framework holds a page in one buffer.
    kelStatus sts = kelCheckPageBytes(bytes, "Raw page");
    if (sts)
        return sts;

    pageCount.init((size.x - 1) / pageSize.x + 1, (size.y - 1) / pageSize.y + 1, (size.z - 1) / pageSize.z + 1);
    uint64_t end = uint64_t((size.c - 1) / pageSize.c + 1);
    if (!mulChecked(end, uint64_t(pageCount.x)) || !mulChecked(end, uint64_t(pageCount.y)) ||
        !mulChecked(end, uint64_t(pageCount.z)) || !mulChecked(end, bytes) ||
        end > uint64_t(INT64_MAX) - uint64_t(dataOffset))
        return kelBADPARAMS;
    pageSizeBytes = (unsigned int)bytes;
    return kelOKAY;
}

// The framework hands a new file its sizes in the file's orientation;
// arguments are upright, so both are decided upright and turned at the end.
void kelRawFile::turnUpright()
{
    kelMapSize(orientation, size, kelLowerLeftOrigin);
    kelMapSize(orientation, pageSize, kelLowerLeftOrigin);
}

kelStatus kelRawFile::decodeArgs(int isOpen)
{
    if (isOpen)
        setOpenDefaults();
    else
        turnUpright();
    dataOffset = 0;
    kelParameterDesc args[maxArguments];
    const int n = parseArguments(args, maxArguments);
    ArgsSeen seen;
    for (int i = 0; i < n; i++)
        applyArgument(args[i], isOpen, seen);
    kelStatus sts = completeGeometry();
    if (sts != kelOKAY)
        return sts;
    setScaleDefaults(seen);
    // Arguments and the framework's sizes are upright here.
    kelMapSize(kelLowerLeftOrigin, size, orientation);
    kelMapSize(kelLowerLeftOrigin, pageSize, orientation);
    return computeLayout();
}
