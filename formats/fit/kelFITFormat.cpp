#include "kelFITFormat.h"

#include <kel/kelColor.h>

#include <new>

#include "kelFITFile.h"

kelFITFormat theFITFormat;

kelFITFormat::kelFITFormat() : kelFormat("FIT") {}

// Pages are raw samples of any kind: everything but compression is stored.
int kelFITFormat::typeIsSupported(kelDataType)
{
    return 1;
}

int kelFITFormat::orderIsSupported(kelOrder)
{
    return 1;
}

int kelFITFormat::orientationIsSupported(kelOrientation)
{
    return 1;
}

int kelFITFormat::colorModelIsSupported(kelColorModel)
{
    return 1;
}

int kelFITFormat::compressionIsSupported(kelCompression compression)
{
    return compression == kelNoCompression;
}

int kelFITFormat::sizeIsSupported(int, int, int, int, kelOrientation)
{
    return 1;
}

int kelFITFormat::pagingIsSupported()
{
    return 1;
}

int kelFITFormat::pageSizeIsSupported(int, int, int, int, int, int, int, int, kelOrientation)
{
    return 1;
}

int kelFITFormat::randomAccessReadIsSupported()
{
    return 1;
}

int kelFITFormat::randomAccessWriteIsSupported()
{
    return 1;
}

kelDataType kelFITFormat::getPreferredType()
{
    return kelUChar;
}

kelOrder kelFITFormat::getPreferredOrder()
{
    return kelInterleaved;
}

kelOrientation kelFITFormat::getPreferredOrientation()
{
    return kelLowerLeftOrigin;
}

kelColorModel kelFITFormat::getPreferredColorModel(int nc)
{
    return nc != 0 ? kelColorModelFromChans(nc) : kelRGB;
}

kelCompression kelFITFormat::getPreferredCompression()
{
    return kelNoCompression;
}

void kelFITFormat::getPreferredPageSize(int, int, int, int c, int& px, int& py, int& pz, int& pc, kelOrientation)
{
    px = px > 0 ? px : 128;
    py = py > 0 ? py : 128;
    pz = pz > 0 ? pz : 1;
    pc = pc > 0 ? pc : c;
}

kelFile* kelFITFormat::newfileobj()
{
    return new (std::nothrow) kelFITFile;
}
