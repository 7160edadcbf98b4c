#include "kelBMPPixels.h"

#include <stdint.h>
#include <string.h>

namespace {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__

// Eight pixels are 24 bytes, three little-endian words. Byte j of the
// result is byte j + 2, j or j - 2 of the source as j mod 3 is 0, 1 or 2,
// so each word is its source word and the neighbours' bytes shifted by
// two, masked. A group needs no bytes outside its own 24.
constexpr uint64_t byteMask(int word, int residue)
{
    uint64_t m = 0;
    for (int k = 0; k < 8; k++)
        if ((8 * word + k) % 3 == residue)
            m |= uint64_t(0xff) << (8 * k);
    return m;
}

template <int i>
uint64_t pick(uint64_t word, uint64_t down, uint64_t up)
{
    constexpr uint64_t kept = byteMask(i, 1), fromNext = byteMask(i, 0), fromPrevious = byteMask(i, 2);
    return (word & kept) | (down & fromNext) | (up & fromPrevious);
}

void swapEight(unsigned char* dst, const unsigned char* src)
{
    uint64_t w0, w1, w2;
    memcpy(&w0, src, 8);
    memcpy(&w1, src + 8, 8);
    memcpy(&w2, src + 16, 8);
    const uint64_t o0 = pick<0>(w0, (w0 >> 16) | (w1 << 48), w0 << 16);
    const uint64_t o1 = pick<1>(w1, (w1 >> 16) | (w2 << 48), (w1 << 16) | (w0 >> 48));
    const uint64_t o2 = pick<2>(w2, w2 >> 16, (w2 << 16) | (w1 >> 48));
    memcpy(dst, &o0, 8);
    memcpy(dst + 8, &o1, 8);
    memcpy(dst + 16, &o2, 8);
}

const size_t groupPixels = 8;

#else

const size_t groupPixels = 0;

void swapEight(unsigned char*, const unsigned char*) {}

#endif

} // namespace

void kelBMPSwapRedBlue(unsigned char* dst, const unsigned char* src, size_t pixels)
{
    size_t i = 0;
    if (groupPixels)
        for (; i + groupPixels <= pixels; i += groupPixels)
            swapEight(dst + 3 * i, src + 3 * i);
    for (; i < pixels; i++) {
        const unsigned char b = src[3 * i], g = src[3 * i + 1], r = src[3 * i + 2];
        dst[3 * i] = r;
        dst[3 * i + 1] = g;
        dst[3 * i + 2] = b;
    }
}

void kelBMPSwapRedBlueAlpha(unsigned char* dst, const unsigned char* src, size_t pixels)
{
    for (size_t i = 0; i < 4 * pixels; i += 4) {
        dst[i] = src[i + 2];
        dst[i + 1] = src[i + 1];
        dst[i + 2] = src[i];
        dst[i + 3] = src[i + 3];
    }
}
