#include "kelBMPFormat.h"

#include <kel/kelBMPFile.h>
#include <kel/kelTag.h>

#include <limits.h>
#include <stdint.h>

#include <new>

#include "kelBMPFile.h"

kelBMPFormat theBMPFormat;

namespace {

const int maxExtent = 65536;

const kelIntRangeSpec anyCount = {0, INT_MAX};

kelTagDescription tagDescriptions[] = {
    {kelBMPHorizResolution, 0x6371, "Horizontal resolution in pixels per meter", "Horizontal Resolution", "0",
     &anyCount},
    {kelBMPVertResolution, 0x6371, "Vertical resolution in pixels per meter", "Vertical Resolution", "0", &anyCount},
    {kelBMPSignificantColors, 0x6371, "Significant colors in color palette", "Significant colors", "0", &anyCount},
};

// The header's sizes are 32-bit: the largest palette and the padded rows
// must fit them.
int fitsTheHeader(int x, int y, int c)
{
    const uint64_t stride = (uint64_t(x) * (c == 3 ? 24 : 8) + 31) / 32 * 4;
    return stride * uint64_t(y) + 14 + 40 + 4 * 256 <= UINT32_MAX;
}

} // namespace

kelBMPFormat::kelBMPFormat() : kelFormat("BMP") {}

int kelBMPFormat::typeIsSupported(kelDataType type)
{
    return type == kelUChar;
}

int kelBMPFormat::orderIsSupported(kelOrder order)
{
    return order == kelInterleaved;
}

int kelBMPFormat::orientationIsSupported(kelOrientation orientation)
{
    return orientation == kelLowerLeftOrigin;
}

int kelBMPFormat::colorModelIsSupported(kelColorModel cm)
{
    return cm == kelRGB || cm == kelRGBPalette;
}

int kelBMPFormat::compressionIsSupported(kelCompression compression)
{
    return compression == kelNoCompression;
}

// An image needs at least one pixel: readers refuse a width or height of 0.
int kelBMPFormat::sizeIsSupported(int x, int y, int z, int c, kelOrientation)
{
    return x >= 1 && x <= maxExtent && y >= 1 && y <= maxExtent && z == 1 && (c == 1 || c == 3) &&
           fitsTheHeader(x, y, c);
}

int kelBMPFormat::pagingIsSupported()
{
    return 0;
}

int kelBMPFormat::pageSizeIsSupported(int x, int y, int, int c, int px, int py, int pz, int pc, kelOrientation)
{
    return px == x && py == y && pz == 1 && pc == c;
}

int kelBMPFormat::randomAccessReadIsSupported()
{
    return 1;
}

int kelBMPFormat::randomAccessWriteIsSupported()
{
    return 1;
}

kelDataType kelBMPFormat::getPreferredType()
{
    return kelUChar;
}

kelOrder kelBMPFormat::getPreferredOrder()
{
    return kelInterleaved;
}

kelOrientation kelBMPFormat::getPreferredOrientation()
{
    return kelLowerLeftOrigin;
}

kelColorModel kelBMPFormat::getPreferredColorModel(int nc)
{
    return nc == 1 ? kelRGBPalette : kelRGB;
}

kelCompression kelBMPFormat::getPreferredCompression()
{
    return kelNoCompression;
}

void kelBMPFormat::getPreferredPageSize(int x, int y, int, int c, int& px, int& py, int& pz, int& pc,
                                        kelOrientation)
{
    px = x;
    py = y;
    pz = 1;
    pc = c;
}

kelFile* kelBMPFormat::newfileobj()
{
    return new (std::nothrow) kelBMPFile;
}

kelTagDescription* kelBMPFormat::_getTagDescriptions(int& count)
{
    count = int(sizeof tagDescriptions / sizeof tagDescriptions[0]);
    return tagDescriptions;
}
