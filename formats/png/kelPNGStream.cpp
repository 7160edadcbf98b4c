#include "kelPNGStream.h"

#include <string.h>

#include <spng.h>

#include "kelByteReader.h"

namespace {

const uint32_t maxChunkLength = 0x7fffffffu;

uint32_t bigEndian32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool isType(const unsigned char* type, const char* name)
{
    return memcmp(type, name, 4) == 0;
}

bool isCritical(const unsigned char* type)
{
    return (type[0] & 0x20) == 0;
}

} // namespace

void kelPNGStream::start(kelByteReader* reader, Mode m)
{
    in = reader;
    mode = m;
    pos = 0;
    chunkLeft = 8; // the signature passes as it is
    afterImage = sawImage = animation = ended = finished = false;
    syntheticLeft = 0;
}

int kelPNGStream::read(spng_ctx*, void* user, void* dst, size_t n)
{
    return static_cast<kelPNGStream*>(user)->fill(static_cast<unsigned char*>(dst), n);
}

int kelPNGStream::fill(unsigned char* dst, size_t n)
{
    while (n > 0) {
        if (syntheticLeft > 0) {
            const size_t take = n < syntheticLeft ? n : syntheticLeft;
            memcpy(dst, synthetic + sizeof synthetic - syntheticLeft, take);
            syntheticLeft -= take;
            dst += take;
            n -= take;
            continue;
        }
        if (chunkLeft == 0 && !nextChunk())
            break;
        if (syntheticLeft > 0)
            continue;
        const size_t take = n < chunkLeft ? n : size_t(chunkLeft);
        const size_t got = in->readAt(pos, dst, take);
        pos += (long long)got;
        chunkLeft -= got;
        dst += got;
        n -= got;
        if (got < take)
            break;
    }
    if (n == 0)
        return 0;
    if (in->error())
        return SPNG_IO_ERROR;
    ended = true;
    return SPNG_IO_EOF;
}

// The first chunk always passes: it must be IHDR, and libspng says so when
// it is not.
bool kelPNGStream::wanted(const unsigned char* type)
{
    if (mode == Everything || pos == 8)
        return true;
    if (mode == Pixels)
        return isCritical(type) || isType(type, "tRNS");
    if (!afterImage)
        return isType(type, "IHDR") || isType(type, "PLTE");
    return isType(type, "tEXt") || isType(type, "zTXt") || isType(type, "iTXt") || isType(type, "tIME") ||
           isType(type, "eXIf");
}

void kelPNGStream::passSynthetic(const unsigned char* bytes, size_t n)
{
    memcpy(synthetic, bytes, n);
    syntheticLeft = n;
}

bool kelPNGStream::nextChunk()
{
    static const unsigned char emptyImage[8] = {0, 0, 0, 0, 'I', 'D', 'A', 'T'};
    while (!finished) {
        unsigned char header[8];
        const bool whole = in->readAt(pos, header, 8) == 8;
        const bool end = !whole || isType(header + 4, "IEND");
        if (mode == Trailer && end && !in->error()) {
            finished = true;
            passSynthetic(emptyImage, sizeof emptyImage);
            return true;
        }
        if (!whole)
            return false;
        const uint32_t length = bigEndian32(header);
        const unsigned char* type = header + 4;
        animation = animation || isType(type, "acTL");
        if (isType(type, "IDAT"))
            sawImage = true;
        else if (sawImage)
            afterImage = true;
        if (length > maxChunkLength || wanted(type)) {
            chunkLeft = 12 + uint64_t(length);
            return true;
        }
        pos += 12 + (long long)length;
    }
    return false;
}
