// Decoding the current image into the page.
#include "kelGIFFile.h"
#include "kelGIFInterlace.h"

#include <kel/kelLimits.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>

kelStatus kelGIFFile::getPage(void* data, int, int, int, int, int, int, int, int)
{
    unsigned char* page = static_cast<unsigned char*>(data);
    const size_t count = size_t(size.x) * size_t(size.y);
    if (pending) {
        memset(page, 0, count); // nothing of this image is in the file yet
        return kelOKAY;
    }
    beginFileIO();
    kelStatus sts = interlaced ? readInterlaced(page, count) : readRaster(page, count);
    endFileIO();
    return sts;
}

// Rows in pass order go to a buffer of their own, within the page limit,
// and from there to their places.
kelStatus kelGIFFile::readInterlaced(unsigned char* page, size_t count)
{
    kelStatus sts = kelCheckPageBytes(count, "GIF interlaced page");
    if (sts != kelOKAY)
        return sts;
    unsigned char* rows = static_cast<unsigned char*>(malloc(count ? count : 1));
    if (!rows)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    sts = readRaster(rows, count);
    unInterlace(rows, page);
    free(rows);
    return sts;
}

// Decodes sub-block after sub-block until the end code, the end of the
// data, or a full page. A damaged or short stream leaves the pixels it
// decoded; the rest of the page is 0. A failed read is reported.
kelStatus kelGIFFile::readRaster(unsigned char* out, size_t count)
{
    input.seek(beginCurrentImage);
    const int minCodeSize = input.getByte();
    if (minCodeSize < 1 || minCodeSize > 11) {
        memset(out, 0, count);
        return input.failedRead(kelBADIMGFMT);
    }
    dataSize = (unsigned char)minCodeSize;
    decoder.start(dataSize, out, count);
    size_t len = 0;
    int more = 1;
    while (more) {
        const int blockLen = input.getByte();
        if (blockLen <= 0 || input.read(codeChunk + len, size_t(blockLen)) != size_t(blockLen))
            break;
        len += size_t(blockLen);
        if (len >= chunkBytes) {
            more = decoder.decode(codeChunk, len);
            len = 0;
        }
    }
    if (more && len)
        decoder.decode(codeChunk, len);
    memset(out + decoder.written(), 0, count - decoder.written());
    return input.error() ? input.readFailure() : kelOKAY;
}

void kelGIFFile::unInterlace(const unsigned char* inputBuf, unsigned char* outputBuf) const
{
    const size_t width = size_t(size.x);
    for (int pass = 0; pass < kelGIFPasses; ++pass)
        for (int y = kelGIFPassStart[pass]; y < size.y; y += kelGIFPassStep[pass]) {
            memcpy(outputBuf + size_t(y) * width, inputBuf, width);
            inputBuf += width;
        }
}
