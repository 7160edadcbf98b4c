#include "kelXBMFormat.h"

#include <kel/kelTag.h>
#include <kel/kelXBMFile.h>

#include <limits.h>

#include <new>

#include "kelXBMFile.h"
#include "kelXBMGeometry.h"

kelXBMFormat theXBMformat;

static kelTagDescription xbmTags[] = {
    {kelXBMhotSpot, 0x6312, "Location of hot spot in image", "Hot spot", nullptr, nullptr},
};

kelXBMFormat::kelXBMFormat() : kelFormat("XBM") {}

int kelXBMFormat::typeIsSupported(kelDataType type)
{
    return type == kelBit;
}

int kelXBMFormat::orderIsSupported(kelOrder order)
{
    return order == kelInterleaved;
}

int kelXBMFormat::orientationIsSupported(kelOrientation orientation)
{
    return orientation == kelUpperLeftOrigin;
}

int kelXBMFormat::colorModelIsSupported(kelColorModel cm)
{
    return cm == kelNegative;
}

int kelXBMFormat::compressionIsSupported(kelCompression compression)
{
    return compression == kelNoCompression;
}

// An empty bitmap or one too large for a page could not be read back.
int kelXBMFormat::sizeIsSupported(int x, int y, int z, int c, kelOrientation)
{
    return z == 1 && c == 1 && kelXBMPageFits(x, y, 8);
}

int kelXBMFormat::pagingIsSupported()
{
    return 0;
}

int kelXBMFormat::pageSizeIsSupported(int x, int y, int, int, int px, int py, int pz, int pc, kelOrientation)
{
    return px == kelXBMPageWidth(x, 8) && py == y && pz == 1 && pc == 1;
}

int kelXBMFormat::randomAccessReadIsSupported()
{
    return 0;
}

int kelXBMFormat::randomAccessWriteIsSupported()
{
    return 0;
}

kelDataType kelXBMFormat::getPreferredType()
{
    return kelBit;
}

kelOrder kelXBMFormat::getPreferredOrder()
{
    return kelInterleaved;
}

kelOrientation kelXBMFormat::getPreferredOrientation()
{
    return kelUpperLeftOrigin;
}

kelColorModel kelXBMFormat::getPreferredColorModel(int)
{
    return kelNegative;
}

kelCompression kelXBMFormat::getPreferredCompression()
{
    return kelNoCompression;
}

void kelXBMFormat::getPreferredPageSize(int x, int y, int, int, int& px, int& py, int& pz, int& pc, kelOrientation)
{
    long long width = kelXBMPageWidth(x, 8);
    px = width <= INT_MAX ? int(width) : x;
    py = y;
    pz = 1;
    pc = 1;
}

kelFile* kelXBMFormat::newfileobj()
{
    return new (std::nothrow) kelXBMFile;
}

kelTagDescription* kelXBMFormat::_getTagDescriptions(int& count)
{
    count = int(sizeof xbmTags / sizeof xbmTags[0]);
    return xbmTags;
}
