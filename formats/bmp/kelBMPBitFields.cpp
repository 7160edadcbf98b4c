#include "kelBMPBitFields.h"

namespace {

// Adding its lowest bit carries through a run of ones and clears it all.
int isContiguous(uint32_t mask)
{
    const uint32_t lowest = mask & (~mask + 1);
    return ((mask + lowest) & mask) == 0;
}

int bitCount(uint32_t mask)
{
    return __builtin_popcount(mask);
}

int lowestBit(uint32_t mask)
{
    return __builtin_ctz(mask);
}

} // namespace

kelStatus kelBMPBitFields::set(const uint32_t masks[4], int bits)
{
    const uint32_t inPixel = bits >= 32 ? ~0u : (1u << bits) - 1;
    uint32_t seen = 0;
    for (int c = 0; c < 4; c++) {
        const uint32_t m = masks[c];
        if ((m == 0 && c < 3) || (m & ~inPixel) || (m & seen) || !isContiguous(m))
            return kelBADIMGFMT;
        seen |= m;
    }
    bytesPerPixel = bits / 8;
    channelCount = masks[3] ? 4 : 3;
    for (int c = 0; c < channelCount; c++) {
        Component& k = components[c];
        const int n = bitCount(masks[c]);
        const int kept = n < 8 ? n : 8;
        k.shift = lowestBit(masks[c]) + n - kept;
        k.low = (1u << kept) - 1;
        for (uint32_t v = 0; v <= k.low; v++) {
            uint32_t repeated = 0;
            int filled = 0;
            for (; filled < 8; filled += kept)
                repeated = repeated << kept | v;
            k.scale[v] = (unsigned char)(repeated >> (filled - 8));
        }
    }
    return kelOKAY;
}

void kelBMPBitFields::unpackRow(unsigned char* dst, const unsigned char* src, size_t width) const
{
    for (size_t x = 0; x < width; x++, src += bytesPerPixel) {
        uint32_t pixel = uint32_t(src[0]) | uint32_t(src[1]) << 8;
        if (bytesPerPixel == 4)
            pixel |= uint32_t(src[2]) << 16 | uint32_t(src[3]) << 24;
        for (int c = 0; c < channelCount; c++)
            *dst++ = components[c].scale[(pixel >> components[c].shift) & components[c].low];
    }
}
