#include "kelXBMFormat.h"

#include <kel/kelTag.h>
#include <kel/kelXBMFile.h>

#include <limits.h>

#include <new>

#include "kelXBMFile.h"
#include "kelXBMGeometry.h"

static kelTagDescription xbmTags[] = {
    {kelXBMhotSpot, 0x6312, "Location of hot spot in image", "Hot spot", nullptr, nullptr},
};

// Bits, set where the picture is dark, top row first.
static const kelFormatCaps xbmCaps = {
    kelBit,
    kelInterleaved,
    kelBitOf(kelUpperLeftOrigin),
    kelBitOf(kelNegative),
    kelBitOf(kelNoCompression),
    kelBit,
    kelInterleaved,
    kelUpperLeftOrigin,
    kelNoCompression,
    {kelNegative, kelNegative, kelNegative, kelNegative, kelNegative, kelNegative},
    1,
    INT_MAX,
    INT_MAX,
    1,
    kelBitOf(1),
    kelPageRule::WholeImage,
    {0, 0, 1, 1},
    0,
    0,
    0,
    2,
    1,
    xbmTags,
    int(sizeof xbmTags / sizeof xbmTags[0]),
};

kelXBMFormat theXBMformat;

kelXBMFormat::kelXBMFormat() : kelTableFormat("XBM", xbmCaps) {}

int kelXBMFormat::sizeIsSupported(int x, int y, int z, int c, kelOrientation)
{
    return z == 1 && c == 1 && kelXBMPageFits(x, y, 8);
}

int kelXBMFormat::pageSizeIsSupported(int x, int y, int, int, int px, int py, int pz, int pc, kelOrientation)
{
    return px == kelXBMPageWidth(x, 8) && py == y && pz == 1 && pc == 1;
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
