#include "kelTIFFSamples.h"

#include <string.h>

namespace {

// The sample at `bit` of a big-endian bit stream of `bits`-wide samples.
uint32_t sampleAt(const unsigned char* p, size_t bit, int bits)
{
    uint32_t v = 0;
    for (int n = bits; n > 0;) {
        const int shift = int(bit % 8), take = n < 8 - shift ? n : 8 - shift;
        v = (v << take) | ((p[bit / 8] >> (8 - shift - take)) & ((1u << take) - 1));
        bit += size_t(take);
        n -= take;
    }
    return v;
}

float halfToFloat(uint16_t h)
{
    const uint32_t sign = uint32_t(h >> 15) << 31;
    int exp = (h >> 10) & 0x1f;
    uint32_t man = h & 0x3ff, f;
    if (exp == 0x1f) {
        f = sign | 0x7f800000u | (man << 13);
    } else if (exp != 0) {
        f = sign | uint32_t(exp + 112) << 23 | (man << 13);
    } else if (man == 0) {
        f = sign;
    } else { // subnormal: normalize
        exp = 113;
        while (!(man & 0x400)) {
            man <<= 1;
            exp--;
        }
        f = sign | uint32_t(exp) << 23 | ((man & 0x3ff) << 13);
    }
    float out;
    memcpy(&out, &f, sizeof out);
    return out;
}

int32_t signExtend(uint32_t v, int bits)
{
    return bits >= 32 ? int32_t(v) : int32_t(v << (32 - bits)) >> (32 - bits);
}

template <class T>
void store(void* page, size_t i, T v)
{
    static_cast<T*>(page)[i] = v;
}

void putBit(unsigned char* p, size_t i, unsigned v)
{
    const unsigned char mask = (unsigned char)(0x80u >> (i % 8));
    p[i / 8] = (unsigned char)(v ? p[i / 8] | mask : p[i / 8] & ~mask);
}

} // namespace

void kelTIFFUnpack(const unsigned char* block, void* page, const kelTIFFLayout& l, int rows)
{
    const size_t perRow = size_t(l.blockW) * size_t(l.pageChannels());
    const size_t rowBytes = (perRow * size_t(l.bits) + 7) / 8;
    for (int r = 0; r < rows; r++) {
        const unsigned char* in = block + size_t(r) * rowBytes;
        const size_t out = size_t(r) * perRow;
        for (size_t i = 0; i < perRow; i++) {
            if (l.type == kelFloat && l.bits == 16) {
                uint16_t h;
                memcpy(&h, in + 2 * i, 2); // swapped into the host's order by libtiff
                store(page, out + i, halfToFloat(h));
                continue;
            }
            // libtiff leaves 24-bit samples in the host's (little-endian) order.
            const uint32_t v = l.bits == 24 ? uint32_t(in[3 * i]) | uint32_t(in[3 * i + 1]) << 8 |
                                                  uint32_t(in[3 * i + 2]) << 16
                                            : sampleAt(in, i * size_t(l.bits), l.bits);
            switch (l.type) {
            case kelBit:
                putBit(static_cast<unsigned char*>(page), out + i, v);
                break;
            case kelUChar:
                store(page, out + i, uint8_t(v));
                break;
            case kelChar:
                store(page, out + i, int8_t(signExtend(v, l.bits)));
                break;
            case kelUShort:
                store(page, out + i, uint16_t(v));
                break;
            case kelShort:
                store(page, out + i, int16_t(signExtend(v, l.bits)));
                break;
            case kelUInt:
                store(page, out + i, v);
                break;
            case kelInt:
                store(page, out + i, signExtend(v, l.bits));
                break;
            default:
                break;
            }
        }
    }
}

void kelTIFFPackBits(const unsigned char* page, unsigned char* block, const kelTIFFLayout& l, int rows)
{
    const size_t perRow = size_t(l.blockW) * size_t(l.pageChannels());
    const size_t rowBytes = (perRow + 7) / 8;
    memset(block, 0, rowBytes * size_t(rows));
    for (int r = 0; r < rows; r++)
        for (size_t i = 0; i < perRow; i++) {
            const size_t from = size_t(r) * perRow + i;
            putBit(block + size_t(r) * rowBytes, i, (page[from / 8] >> (7 - from % 8)) & 1);
        }
}

void kelTIFFCopyRGBA(const uint32_t* raster, int rasterW, int rasterH, unsigned char* page, int pageW, int rows,
                     int cols, kelOrientation orientation)
{
    // libtiff turns orientations 1, 2, 5 and 6 upside down, and mirrors
    // 2, 3, 6 and 7, to put the origin at the lower left.
    const bool flipped = orientation == 1 || orientation == 2 || orientation == 5 || orientation == 6;
    const bool mirrored = orientation == 2 || orientation == 3 || orientation == 6 || orientation == 7;
    for (int r = 0; r < rows; r++) {
        const uint32_t* in = raster + size_t(flipped ? rasterH - 1 - r : r) * size_t(rasterW);
        unsigned char* out = page + size_t(r) * size_t(pageW) * 4;
        for (int c = 0; c < cols; c++) {
            const uint32_t v = in[mirrored ? cols - 1 - c : c];
            out[4 * c] = (unsigned char)(v & 0xff);
            out[4 * c + 1] = (unsigned char)(v >> 8 & 0xff);
            out[4 * c + 2] = (unsigned char)(v >> 16 & 0xff);
            out[4 * c + 3] = (unsigned char)(v >> 24);
        }
    }
}
