#include "kelGIFFormat.h"

#include <new>

#include "kelGIFFile.h"
#include "kelGIFLimits.h"

kelGIFFormat theGIFformat;

kelGIFFormat::kelGIFFormat() : kelFormat("GIF") {}

int kelGIFFormat::typeIsSupported(kelDataType type)
{
    return type == kelUChar;
}

int kelGIFFormat::orderIsSupported(kelOrder order)
{
    return order == kelInterleaved;
}

int kelGIFFormat::orientationIsSupported(kelOrientation orientation)
{
    return orientation == kelUpperLeftOrigin;
}

int kelGIFFormat::colorModelIsSupported(kelColorModel cm)
{
    return cm == kelRGBPalette;
}

int kelGIFFormat::compressionIsSupported(kelCompression compression)
{
    return compression == kelLZW;
}

int kelGIFFormat::sizeIsSupported(int x, int y, int z, int c, kelOrientation)
{
    return kelGIFSizeFits(x) && kelGIFSizeFits(y) && z == 1 && c == 1;
}

int kelGIFFormat::pagingIsSupported()
{
    return 0;
}

int kelGIFFormat::pageSizeIsSupported(int x, int y, int, int, int px, int py, int pz, int pc, kelOrientation)
{
    return px == x && py == y && pz == 1 && pc == 1;
}

int kelGIFFormat::randomAccessReadIsSupported()
{
    return 0;
}

int kelGIFFormat::randomAccessWriteIsSupported()
{
    return 0;
}

kelDataType kelGIFFormat::getPreferredType()
{
    return kelUChar;
}

kelOrder kelGIFFormat::getPreferredOrder()
{
    return kelInterleaved;
}

kelOrientation kelGIFFormat::getPreferredOrientation()
{
    return kelUpperLeftOrigin;
}

kelColorModel kelGIFFormat::getPreferredColorModel(int)
{
    return kelRGBPalette;
}

kelCompression kelGIFFormat::getPreferredCompression()
{
    return kelLZW;
}

void kelGIFFormat::getPreferredPageSize(int x, int y, int, int, int& px, int& py, int& pz, int& pc, kelOrientation)
{
    px = x;
    py = y;
    pz = 1;
    pc = 1;
}

kelFile* kelGIFFormat::newfileobj()
{
    return new (std::nothrow) kelGIFFile;
}
