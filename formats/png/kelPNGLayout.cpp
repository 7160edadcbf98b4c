#include "kelPNGLayout.h"

#include <stdint.h>
#include <string.h>

int kelPNGLayout::channels() const
{
    switch (colorType) {
    case 2:
        return 3;
    case 4:
        return 2;
    case 6:
        return 4;
    default:
        return 1;
    }
}

// Gray of one bit is a bit image; other depths up to 8 are bytes that hold
// the values as stored.
kelDataType kelPNGLayout::type() const
{
    if (depth == 16)
        return kelUShort;
    return depth == 1 && colorType == 0 ? kelBit : kelUChar;
}

kelColorModel kelPNGLayout::model() const
{
    switch (colorType) {
    case 2:
        return kelRGB;
    case 3:
        return kelRGBPalette;
    case 4:
        return kelLuminanceAlpha;
    case 6:
        return kelRGBA;
    default:
        return kelLuminance;
    }
}

size_t kelPNGLayout::rowBytes() const
{
    return (size_t(width) * size_t(channels()) * size_t(depth) + 7) / 8;
}

size_t kelPNGLayout::pixelBytes() const
{
    return size_t(channels()) * (depth == 16 ? 2 : 1);
}

size_t kelPNGLayout::pageRowBytes(int pixels) const
{
    return type() == kelBit ? (size_t(pixels) + 7) / 8 : size_t(pixels) * pixelBytes();
}

int kelPNGLayout::maxValue() const
{
    return (1 << depth) - 1;
}

kelStatus kelPNGLayout::check() const
{
    switch (colorType) {
    case 0:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 ? kelStatus(kelOKAY)
                                                                                   : kelStatus(kelBADIMGFMT);
    case 3:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 ? kelStatus(kelOKAY) : kelStatus(kelBADIMGFMT);
    case 2:
    case 4:
    case 6:
        return depth == 8 || depth == 16 ? kelStatus(kelOKAY) : kelStatus(kelBADIMGFMT);
    default:
        return kelBADIMGFMT;
    }
}

int kelPNGColorType(kelColorModel model)
{
    switch (model) {
    case kelLuminance:
        return 0;
    case kelRGB:
        return 2;
    case kelRGBPalette:
        return 3;
    case kelLuminanceAlpha:
        return 4;
    case kelRGBA:
        return 6;
    default:
        return -1;
    }
}

namespace {

// Whether the values are held one a byte in kel but packed in the file.
bool isUnpacked(const kelPNGLayout& l)
{
    return l.depth < 8 && l.type() != kelBit;
}

// 16-bit samples between the file's order (big-endian) and the host's; a
// plain loop, which the compiler vectorises.
void swapSamples(unsigned char* dst, const unsigned char* src, size_t samples)
{
    for (size_t i = 0; i < samples; ++i) {
        uint16_t v;
        memcpy(&v, src + 2 * i, 2);
        v = uint16_t(v >> 8 | v << 8);
        memcpy(dst + 2 * i, &v, 2);
    }
}

// Bit images are copied a byte at a time from a whole byte of the row on:
// their pages start at multiples of 8 pixels.
void bitsOut(const unsigned char* row, int x, int n, unsigned char* out)
{
    if (x % 8 == 0) {
        memcpy(out, row + x / 8, (size_t(n) + 7) / 8);
        return;
    }
    memset(out, 0, (size_t(n) + 7) / 8);
    for (int i = 0; i < n; ++i) {
        const int px = x + i;
        if (row[px / 8] >> (7 - px % 8) & 1)
            out[i / 8] |= (unsigned char)(0x80 >> (i % 8));
    }
}

void bitsIn(const unsigned char* in, int x, int n, unsigned char* row)
{
    for (int i = 0; i < n; ++i) {
        const int px = x + i;
        const unsigned char bit = (unsigned char)(0x80 >> (px % 8));
        if (in[i / 8] >> (7 - i % 8) & 1)
            row[px / 8] |= bit;
        else
            row[px / 8] &= (unsigned char)~bit;
    }
}

} // namespace

void kelPNGRowOut(const kelPNGLayout& l, const unsigned char* row, int x, int n, unsigned char* out)
{
    if (l.type() == kelBit) {
        bitsOut(row, x, n, out);
        return;
    }
    if (l.depth == 16) {
        swapSamples(out, row + size_t(x) * l.pixelBytes(), size_t(n) * size_t(l.channels()));
        return;
    }
    if (!isUnpacked(l)) {
        memcpy(out, row + size_t(x) * l.pixelBytes(), size_t(n) * l.pixelBytes());
        return;
    }
    const int d = l.depth, perByte = 8 / d, mask = l.maxValue();
    for (int i = 0; i < n; ++i) {
        const int px = x + i;
        out[i] = (unsigned char)(row[px / perByte] >> (8 - d - px % perByte * d) & mask);
    }
}

bool kelPNGRowIn(const kelPNGLayout& l, const unsigned char* in, int x, int n, int limit, unsigned char* row)
{
    if (l.type() == kelBit) {
        bitsIn(in, x, n, row);
        return true;
    }
    if (l.depth == 16) {
        swapSamples(row + size_t(x) * l.pixelBytes(), in, size_t(n) * size_t(l.channels()));
        return true;
    }
    if (limit >= 255) {
        memcpy(row + size_t(x) * l.pixelBytes(), in, size_t(n) * l.pixelBytes());
        return true;
    }
    for (int i = 0; i < n; ++i)
        if (in[i] > limit)
            return false;
    if (!isUnpacked(l)) {
        memcpy(row + x, in, size_t(n));
        return true;
    }
    const int d = l.depth, perByte = 8 / d, mask = l.maxValue();
    for (int i = 0; i < n; ++i) {
        const int px = x + i, shift = 8 - d - px % perByte * d;
        unsigned char& b = row[px / perByte];
        b = (unsigned char)((b & ~(mask << shift)) | in[i] << shift);
    }
    return true;
}
