#include "kelGIFColormap.h"

#include <kel/kelColormap.h>

#include <math.h>

#include <new>

#include "kelGIFFile.h"

int BitsFromCount(int count)
{
    int b = 1;
    while (b < 31 && (1 << b) < count)
        ++b;
    return b;
}

static kelColormap* newTable(int nchans, int entries)
{
    kelColormap* map = new (std::nothrow) kelColormap(nchans, kelUChar, 0, entries - 1);
    if (map && (!map->getData() || map->getLength() != entries)) {
        delete map;
        map = nullptr;
    }
    return map;
}

kelColormap* kelGIFNewColormap(const unsigned char* rgb, int bits, int transIndex)
{
    const int entries = 1 << bits;
    kelColormap* map = newTable(transIndex != -1 ? 4 : 3, entries);
    if (!map)
        return nullptr;
    unsigned char* data = static_cast<unsigned char*>(map->getData());
    for (int i = 0; i < entries; ++i)
        for (int c = 0; c < 3; ++c)
            data[c * entries + i] = rgb[3 * i + c];
    if (transIndex != -1)
        for (int i = 0; i < entries; ++i)
            data[3 * entries + i] = i == transIndex ? 0 : 255;
    return map;
}

// The color of pixel value i in channel c, as a table byte.
static unsigned char tableByte(const kelColormap& src, int i, int c)
{
    int v = int(src.getVal(i, c));
    if (src.getDataType() == kelUShort)
        v >>= 8;
    return (unsigned char)v;
}

static void findTransparent(const unsigned char* alpha, int first, int last, int* trans)
{
    int lowest = 255;
    for (int i = first; i <= last; ++i)
        if (alpha[i] < lowest) {
            lowest = alpha[i];
            *trans = i;
        }
}

kelStatus CopyColormap(const kelColormap* src, kelColormap*& dst, int* trans)
{
    if (!src || src->getLength() < 1 || src->getLength() > 256 || !(src->getDomainMax() <= 255))
        return kelBADPARAMS;
    const double lo = src->getDomainMin(), hi = src->getDomainMax();
    const int first = lo > 0 ? int(ceil(lo)) : 0;
    const int last = hi >= 0 ? int(floor(hi)) : -1;
    const int entries = 1 << BitsFromCount(last + 1);
    const int nchans = src->getNumChans() < 4 ? 3 : 4;
    kelColormap* map = newTable(nchans, entries);
    if (!map)
        return kelMALLOCFAILED;
    unsigned char* data = static_cast<unsigned char*>(map->getData());
    for (int c = 0; c < nchans; ++c)
        for (int i = 0; i < entries; ++i)
            data[c * entries + i] = i >= first && i <= last ? tableByte(*src, i, c) : 0;
    if (trans && *trans == -1 && nchans == 4)
        findTransparent(data + 3 * entries, first, last, trans);
    delete dst;
    dst = map;
    return kelOKAY;
}

const kelColormap* kelGIFFile::currentMap() const
{
    return localMap ? localMap : globalMap;
}

kelStatus kelGIFFile::readColormap(kelColormap*& map, int bits)
{
    delete map;
    map = nullptr;
    unsigned char rgb[3 * 256];
    const size_t bytes = size_t(3) << bits;
    if (input.read(rgb, bytes) != bytes)
        return kelPREMATUREEOF;
    map = kelGIFNewColormap(rgb, bits, transIndex);
    if (!map)
        return kelMALLOCFAILED;
    return kelOKAY;
}

// The image's own table, or the global one: as it is, or as a copy that
// marks the transparent index.
kelStatus kelGIFFile::readLocalMap()
{
    if (isThereLocalMap)
        return readColormap(localMap, localBits);
    delete localMap;
    localMap = nullptr;
    if (!globalMap)
        return kelBADIMGFMT;
    if (transIndex == -1)
        return kelOKAY;
    return transparentCopy(*globalMap);
}

kelStatus kelGIFFile::transparentCopy(const kelColormap& map)
{
    const int entries = map.getLength();
    unsigned char rgb[3 * 256];
    const unsigned char* data = static_cast<const unsigned char*>(map.getData());
    for (int i = 0; i < entries; ++i)
        for (int c = 0; c < 3; ++c)
            rgb[3 * i + c] = data[c * entries + i];
    localMap = kelGIFNewColormap(rgb, BitsFromCount(entries), transIndex);
    if (!localMap)
        return kelMALLOCFAILED;
    return kelOKAY;
}
