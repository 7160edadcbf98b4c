// Reading pages: each is one tile or strip of the file, decoded by libtiff
// straight into the page where its bytes are the page's.
#include "kelTIFFFile.h"

#include <kel/kelColormap.h>
#include <kel/kelError.h>

#include <string.h>

#include <algorithm>
#include <new>

#include "kelTIFFSamples.h"

// The block whose page has its origin at (x, y) of channel c, and whose
// part inside the image is nx x ny; -1 when that is no page.
int kelTIFFFile::blockOf(int x, int y, int c, int nx, int ny) const
{
    const kelTIFFLayout& l = layout;
    const int planes = l.order == kelSeparate ? l.channels : 1;
    if (x < 0 || y < 0 || x >= l.width || y >= l.height || x % l.blockW || y % l.blockH || c < 0 || c >= planes ||
        nx < 1 || ny < 1 || nx > std::min(l.blockW, l.width - x) || ny > std::min(l.blockH, l.height - y))
        return -1;
    const long long across = (l.width + (long long)l.blockW - 1) / l.blockW;
    const long long down = (l.height + (long long)l.blockH - 1) / l.blockH;
    const long long index = ((long long)c * down + y / l.blockH) * across + x / l.blockW;
    return index > 0x7fffffff ? -1 : int(index);
}

int kelTIFFFile::blockCount() const
{
    const long long across = (layout.width + (long long)layout.blockW - 1) / layout.blockW;
    const long long down = (layout.height + (long long)layout.blockH - 1) / layout.blockH;
    return int(across * down * (layout.order == kelSeparate ? layout.channels : 1));
}

kelStatus kelTIFFFile::getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc)
{
    const int block = blockOf(x, y, c, nx, ny);
    if (block < 0 || z != 0 || nz != 1 || nc != layout.pageChannels())
        return kelBADPARAMS;
    if (fresh && written[size_t(block)])
        return readWritten(block, ny, data);
    if (fresh) {
        memset(data, 0, size_t(layout.pageBytes()));
        return kelOKAY;
    }
    kelStatus sts = turn(Reading);
    if (sts != kelOKAY)
        return sts;
    beginFileIO();
    sts = layout.decode == kelTIFFDecode::RGBA
                        ? readRGBA(x, y, nx, ny, static_cast<unsigned char*>(data))
                        : readBlock(block, ny, data);
    endFileIO();
    return sts;
}

kelStatus kelTIFFFile::readBlock(int block, int rows, void* page)
{
    const bool direct = layout.decode == kelTIFFDecode::Direct;
    void* into = page;
    tmsize_t bytes = tmsize_t(layout.pageBytes());
    if (!direct) {
        try {
            scratch.resize(layout.blockBytes);
        } catch (const std::bad_alloc&) {
            return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
        }
        into = scratch.data();
        bytes = tmsize_t(layout.blockBytes);
    }
    const tmsize_t got = layout.tiled ? TIFFReadEncodedTile(tif, uint32_t(block), into, bytes)
                                      : TIFFReadEncodedStrip(tif, uint32_t(block), into, bytes);
    if (got < 0)
        return failure(kelBADIMGFMT);
    // What a short block (the last strip, a decoder that stopped early)
    // leaves is blank, never the bytes the buffer held before.
    if (got < bytes)
        memset(static_cast<unsigned char*>(into) + got, 0, size_t(bytes - got));
    if (!direct) {
        if (layout.type == kelBit)
            memset(page, 0, size_t(layout.pageBytes()));
        kelTIFFUnpack(scratch.data(), page, layout, rows);
    }
    return kelOKAY;
}

kelStatus kelTIFFFile::readRGBA(int x, int y, int nx, int ny, unsigned char* page)
{
    try {
        raster.resize(size_t(layout.blockW) * size_t(layout.blockH));
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    const int ok = layout.tiled ? TIFFReadRGBATile(tif, uint32_t(x), uint32_t(y), raster.data())
                                : TIFFReadRGBAStrip(tif, uint32_t(y), raster.data());
    if (!ok)
        return failure(kelBADIMGFMT);
    kelTIFFCopyRGBA(raster.data(), layout.blockW, layout.tiled ? layout.blockH : ny, page, layout.blockW, ny, nx,
                    layout.orientation);
    return kelOKAY;
}

// The 16-bit color map, one table per primary.
kelStatus kelTIFFFile::loadColormap()
{
    uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    colormap.reset();
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || layout.bits > 16) {
        kelError(kelSeverityWarning, "TIFF file %s: a palette image without a color map", stream.name.c_str());
        return kelBADIMGFMT;
    }
    const int n = 1 << layout.bits;
    colormap.reset(new (std::nothrow) kelColormap(3, kelUShort, 0, n - 1));
    if (!colormap || !colormap->getData())
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    const uint16_t* tables[3] = {r, g, b};
    for (int ch = 0; ch < 3; ch++)
        memcpy(colormap->getChan(ch), tables[ch], size_t(n) * sizeof(uint16_t));
    return kelOKAY;
}
