// Pixels of any color into a palette image (a colormap chosen for them) or
// a bitmap (black and white), with or without dithering.
#ifndef KEL_COPY_QUANTIZE_H
#define KEL_COPY_QUANTIZE_H

#include <stddef.h>

#include <functional>
#include <string>

#include <kel/kelDither.h>
#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

class kelFile;

// The rows of an image as the quantizer takes them: `nc` interleaved
// channels (gray, gray and alpha, RGB or RGBA) of `type`, top row first.
struct kelCopyRows {
    int width = 0;
    int height = 0;
    kelDataType type = kelFloat;
    int nc = 3;
    double maxValue = 0; // full intensity; 0: the type's
    std::function<kelStatus(int y, int rows, void* into)> read;
};

struct kelCopyQuantizeHow {
    int colors = 256;
    kelDitherMethod dither = kelDitherFloydSteinberg;
    size_t stripBytes = size_t(16) << 20;
};

// Whether DST takes quantized pixels: a palette image from a source
// without a colormap, or a bitmap (one bit of luminance or negative) from a
// source of more than one bit and no colormap.
bool kelCopyQuantizes(const kelFile& dst, bool sourceHasColormap, kelDataType sourceType);

// Reads the rows twice (the colors, then the indices) unless DST is a
// bitmap, and writes whole pages of DST. `problem` says what went wrong.
kelStatus kelCopyQuantized(const kelCopyRows& rows, kelFile& dst, const kelCopyQuantizeHow& how,
                           std::string& problem);

// The rows of the current image of a file: gray, gray and alpha, RGB or RGBA.
bool kelCopyFileRows(kelFile& src, double opaque, kelCopyRows& rows, std::string& problem);

#endif
