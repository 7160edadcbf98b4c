// How a PNG image's pixels lie in kel: the color type and bit depth of the
// file against the data type, color model and channels of kel, and the
// moves of pixels between a PNG row (as the file stores it: packed below 8
// bits, 16-bit samples big-endian) and a row of a kel page (one sample a
// byte below 8 bits but for bit images, 16-bit samples in host order).
#ifndef KEL_PNGLAYOUT_H
#define KEL_PNGLAYOUT_H

#include <stddef.h>

#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

struct kelPNGLayout {
    int width = 0;
    int height = 0;
    int colorType = 0; // PNG's: 0 gray, 2 RGB, 3 palette, 4 gray + alpha, 6 RGBA
    int depth = 0;     // bits per sample
    int interlaced = 0;

    int channels() const;
    kelDataType type() const;
    kelColorModel model() const;
    // Bytes of one PNG row, and of one pixel of a kel page (1 below 8 bits).
    size_t rowBytes() const;
    size_t pixelBytes() const;
    // Bytes of a row of `pixels` in a kel page.
    size_t pageRowBytes(int pixels) const;
    // The largest value a pixel may have (1, 3, 15; 255 and 65535 otherwise).
    int maxValue() const;
    // kelOKAY for a color type and depth of the standard.
    kelStatus check() const;
};

// The PNG color type for a kel color model (-1 for none).
int kelPNGColorType(kelColorModel model);

// Copies pixels x .. x + n - 1 of a PNG row into a page row.
void kelPNGRowOut(const kelPNGLayout& l, const unsigned char* row, int x, int n, unsigned char* out);

// Places n pixels of a page row at x .. x + n - 1 of a PNG row. False when
// a value exceeds `limit` (the depth's largest value, or the last palette
// entry), and the row is left as it was.
bool kelPNGRowIn(const kelPNGLayout& l, const unsigned char* in, int x, int n, int limit, unsigned char* row);

#endif
