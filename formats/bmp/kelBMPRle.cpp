// Run-length decoding of 8-bit (RLE8) and 4-bit (RLE4) data, bottom row
// first, into one byte per pixel. Nothing lands outside the page whatever
// the codes say: pixels past a row's end are dropped, and pixels that no
// code sets stay 0.
#include "kelBMPFile.h"

#include <string.h>

#include <algorithm>

namespace {

class RleDecoder {
public:
    RleDecoder(kelByteReader& in, unsigned char* page, int width, int height, int nibbles)
        : in(in), page(page), width(width), height(height), nibbles(nibbles)
    {
    }

    kelStatus run();

private:
    kelStatus next(int& byte);
    // Puts pixel value `v` at the current position and moves one right.
    void put(int v)
    {
        if (x < width)
            page[size_t(y) * size_t(width) + size_t(x++)] = (unsigned char)v;
    }
    void skip(int n) { x = int(std::min<long>(long(x) + n, width)); }
    void encoded(int count, int value);
    kelStatus absolute(int count);
    kelStatus delta();

    kelByteReader& in;
    unsigned char* page;
    int width;
    int height;
    int nibbles;
    int x = 0;
    long y = 0;
};

kelStatus RleDecoder::next(int& byte)
{
    byte = in.getByte();
    return byte < 0 ? in.readFailure() : kelStatus(kelOKAY);
}

// `count` pixels of one byte, or of its two nibbles by turns (high first).
void RleDecoder::encoded(int count, int value)
{
    const int n = std::min(count, width - x);
    for (int i = 0; i < n; i++)
        put(nibbles ? ((i & 1) ? value & 0x0f : value >> 4) : value);
}

// `count` pixels from the next bytes, padded to an even byte count.
kelStatus RleDecoder::absolute(int count)
{
    const int bytes = nibbles ? (count + 1) / 2 : count;
    for (int i = 0; i < bytes; i++) {
        int b;
        kelStatus sts = next(b);
        if (sts != kelOKAY)
            return sts;
        if (!nibbles) {
            put(b);
            continue;
        }
        put(b >> 4);
        if (2 * i + 1 < count)
            put(b & 0x0f);
    }
    int pad;
    return (bytes & 1) ? next(pad) : kelStatus(kelOKAY);
}

// Moves only once both offsets are in: a code cut short moves nothing.
kelStatus RleDecoder::delta()
{
    int dx, dy;
    kelStatus sts = next(dx);
    if (sts == kelOKAY)
        sts = next(dy);
    if (sts != kelOKAY)
        return sts;
    skip(dx);
    y += dy;
    return kelOKAY;
}

kelStatus RleDecoder::run()
{
    while (y < height) {
        int count, value;
        kelStatus sts = next(count);
        if (sts == kelOKAY)
            sts = next(value);
        if (sts != kelOKAY)
            return sts;
        if (count > 0) {
            encoded(count, value);
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            y++;
            break;
        case 1: // end of bitmap
            return kelOKAY;
        case 2:
            sts = delta();
            break;
        default:
            sts = absolute(value);
            break;
        }
        if (sts != kelOKAY)
            return sts;
    }
    return kelOKAY;
}

} // namespace

kelStatus kelBMPFile::decodePage(unsigned char* page)
{
    memset(page, 0, size_t(size.x) * size_t(size.y));
    RleDecoder decoder(reader, page, size.x, size.y, infoHdr.BitsPerPixel == 4);
    return decoder.run();
}
