// Reading the page: uncompressed rows in blocks of many rows, converted to
// one byte per pixel and channel (R, G, B and A for the deeper files);
// run-length data is decoded elsewhere.
#include "kelBMPFile.h"
#include "kelBMPPixels.h"

#include <fcntl.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <new>

namespace {

void moveRow(unsigned char* dst, const unsigned char* src, size_t rowBytes, int bgr)
{
    if (bgr)
        kelBMPSwapRedBlue(dst, src, rowBytes / 3);
    else if (dst != src)
        memmove(dst, src, rowBytes);
}

void expandBits(unsigned char* dst, const unsigned char* src, size_t width)
{
    for (size_t x = 0; x < width; x++)
        dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
}

void expandNibbles(unsigned char* dst, const unsigned char* src, size_t width)
{
    for (size_t x = 0; x < width; x++)
        dst[x] = (x & 1) ? src[x >> 1] & 0x0f : src[x >> 1] >> 4;
}

} // namespace

size_t kelBMPFile::rowsPerBlock() const
{
    return std::max<size_t>(1, ioBlockBytes / size_t(infoHdr.rowStride()));
}

kelStatus kelBMPFile::readBytes(void* buf, size_t n)
{
    return reader.read(buf, n) == n ? kelStatus(kelOKAY) : reader.readFailure();
}

// A new file is read too, when a tile covers the page only in part: blank
// until its pixels are written, then as written. The pixels come from the
// file, never from bytes buffered with the headers: those of a new file are
// stale, and a read that fails now must fail the page.
kelStatus kelBMPFile::getPage(void* data, int, int, int, int, int, int, int, int)
{
    if (accessmode != O_RDONLY && !pixelsWritten) {
        memset(data, 0, size_t(size.x) * size_t(size.y) * size_t(size.c));
        return kelOKAY;
    }
    reader.invalidate();
    reader.seek(hdr.ImageDataOffset);
    beginFileIO();
    unsigned char* page = static_cast<unsigned char*>(data);
    kelStatus sts = infoHdr.isRunLength() ? decodePage(page) : readRows(page);
    endFileIO();
    return sts;
}

kelStatus kelBMPFile::readRows(unsigned char* page)
{
    const int bits = infoHdr.BitsPerPixel;
    return bits == 8 || bits == 24 ? readByteRows(page) : readPackedRows(page);
}

// 8- and 24-bit rows are read straight into the page, as many whole rows
// as fit before the page's end, and moved down over their padding in
// place. A row whose padding would reach past the page goes through one
// row of scratch.
kelStatus kelBMPFile::readByteRows(unsigned char* page)
{
    const size_t stride = size_t(infoHdr.rowStride());
    const size_t rowBytes = size_t(size.x) * size_t(size.c);
    const size_t height = size_t(size.y);
    const int bgr = size.c == 3;
    std::unique_ptr<unsigned char[]> scratch;
    kelStatus sts = kelOKAY;
    for (size_t y = 0; y < height && sts == kelOKAY;) {
        unsigned char* at = page + y * rowBytes;
        const size_t rows = std::min(rowsPerBlock(), (height - y) * rowBytes / stride);
        if (rows == 0) {
            if (!scratch)
                scratch.reset(new (std::nothrow) unsigned char[stride]);
            if (!scratch)
                return kelMALLOCFAILED;
            if ((sts = readBytes(scratch.get(), stride)) == kelOKAY)
                moveRow(at, scratch.get(), rowBytes, bgr);
            y++;
            continue;
        }
        if ((sts = readBytes(at, rows * stride)) == kelOKAY)
            for (size_t i = 0; i < rows; i++)
                moveRow(at + i * rowBytes, at + i * stride, rowBytes, bgr);
        y += rows;
    }
    return sts;
}

// Rows of 1 and 4 bits take less room than their pixels, and those of 16
// and 32 bits hold their components in masks: blocks are read into scratch
// and unpacked into the page.
kelStatus kelBMPFile::readPackedRows(unsigned char* page)
{
    const size_t stride = size_t(infoHdr.rowStride());
    const size_t width = size_t(size.x);
    const size_t rowBytes = width * size_t(size.c);
    const int bits = infoHdr.BitsPerPixel;
    return inRowBlocks([&](unsigned char* block, size_t y, size_t rows) {
        kelStatus sts = readBytes(block, rows * stride);
        for (size_t i = 0; i < rows && sts == kelOKAY; i++) {
            unsigned char* dst = page + (y + i) * rowBytes;
            const unsigned char* src = block + i * stride;
            if (bits == 1)
                expandBits(dst, src, width);
            else if (bits == 4)
                expandNibbles(dst, src, width);
            else
                fields.unpackRow(dst, src, width);
        }
        return sts;
    });
}
