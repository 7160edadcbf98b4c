#include "kelBMPFormat.h"

#include <kel/kelBMPFile.h>
#include <kel/kelTag.h>

#include <limits.h>
#include <stdint.h>

#include <new>

#include "kelBMPFile.h"

namespace {

const kelIntRangeSpec anyCount = {0, INT_MAX};

kelTagDescription tagDescriptions[] = {
    {kelBMPHorizResolution, 0x6371, "Horizontal resolution in pixels per meter", "Horizontal Resolution", "0",
     &anyCount},
    {kelBMPVertResolution, 0x6371, "Vertical resolution in pixels per meter", "Vertical Resolution", "0", &anyCount},
    {kelBMPSignificantColors, 0x6371, "Significant colors in color palette", "Significant colors", "0", &anyCount},
    {kelBMPHeaderSize, kelTagInt | 1 | kelTagReadOnly | kelTagFileWide,
     "Bytes of the info header: 12, 40, 108, 124, ...", "Header size", nullptr, nullptr},
};

// Palette, RGB or RGBA pixels of one plane, bottom row first, in one page.
// An image needs at least one pixel: readers refuse a width or height of 0.
const kelFormatCaps bmpCaps = {
    kelUChar,
    kelInterleaved,
    kelBitOf(kelLowerLeftOrigin),
    kelBitOf(kelRGB) | kelBitOf(kelRGBPalette) | kelBitOf(kelRGBA),
    kelBitOf(kelNoCompression),
    kelUChar,
    kelInterleaved,
    kelLowerLeftOrigin,
    kelNoCompression,
    {kelRGB, kelRGBPalette, kelRGB, kelRGB, kelRGBA, kelRGB},
    1,
    65536,
    65536,
    1,
    kelBitOf(1) | kelBitOf(3) | kelBitOf(4),
    kelPageRule::WholeImage,
    {0, 0, 1, 0},
    0,
    1,
    1,
    2,
    1,
    tagDescriptions,
    int(sizeof tagDescriptions / sizeof tagDescriptions[0]),
};

// Palette files take 8 bits per pixel at most and a palette of 256
// entries; RGBA files 32 bits and the V5 header.
int fitsTheHeader(int x, int y, int c)
{
    const uint64_t stride = (uint64_t(x) * (c == 1 ? 8 : 8 * c) + 31) / 32 * 4;
    const uint64_t headers = 14 + (c == 4 ? 124 : 40 + 4 * 256);
    return stride * uint64_t(y) + headers <= UINT32_MAX;
}

} // namespace

kelBMPFormat theBMPFormat;

kelBMPFormat::kelBMPFormat() : kelTableFormat("BMP", bmpCaps) {}

int kelBMPFormat::sizeIsSupported(int x, int y, int z, int c, kelOrientation orientation)
{
    return kelTableFormat::sizeIsSupported(x, y, z, c, orientation) && fitsTheHeader(x, y, c);
}

kelFile* kelBMPFormat::newfileobj()
{
    return new (std::nothrow) kelBMPFile;
}
