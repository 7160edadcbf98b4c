#include "kelRawFormat.h"

#include <kel/kelColor.h>

#include <new>

#include "kelRawFile.h"

kelRawFormat theRawFormat;

kelRawFormat::kelRawFormat() : kelFormat("Raw") {}

int kelRawFormat::typeIsSupported(kelDataType)
{
    return 1;
}

int kelRawFormat::orderIsSupported(kelOrder)
{
    return 1;
}

int kelRawFormat::orientationIsSupported(kelOrientation)
{
    return 1;
}

int kelRawFormat::colorModelIsSupported(kelColorModel)
{
    return 1;
}

int kelRawFormat::compressionIsSupported(kelCompression compression)
{
    return compression == kelNoCompression;
}

int kelRawFormat::sizeIsSupported(int, int, int, int, kelOrientation)
{
    return 1;
}

int kelRawFormat::pagingIsSupported()
{
    return 1;
}

int kelRawFormat::pageSizeIsSupported(int, int, int, int, int, int, int, int, kelOrientation)
{
    return 1;
}

int kelRawFormat::randomAccessReadIsSupported()
{
    return 1;
}

int kelRawFormat::randomAccessWriteIsSupported()
{
    return 1;
}

kelDataType kelRawFormat::getPreferredType()
{
    return kelUChar;
}

kelOrder kelRawFormat::getPreferredOrder()
{
    return kelInterleaved;
}

kelOrientation kelRawFormat::getPreferredOrientation()
{
    return kelLowerLeftOrigin;
}

kelColorModel kelRawFormat::getPreferredColorModel(int nc)
{
    return nc != 0 ? kelColorModelFromChans(nc) : kelRGB;
}

kelCompression kelRawFormat::getPreferredCompression()
{
    return kelNoCompression;
}

void kelRawFormat::getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                                        kelOrientation)
{
    px = x;
    py = y;
    pz = z;
    pc = c;
}

kelFile* kelRawFormat::newfileobj()
{
    return new (std::nothrow) kelRawFile;
}
