/* Mapping pixels to the indices of a quantizer's colormap, row by row from
   the top, with or without dithering. The rows of one image come in any
   number of calls; error diffusion carries over between them. */
#ifndef KEL_DITHER_H
#define KEL_DITHER_H

#include <kel/kelExport.h>
#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

KEL_ENUM(kelDitherMethod) {
    kelDitherNone = 0,           /* each pixel takes its nearest entry (a threshold for two entries) */
    kelDitherFloydSteinberg = 1, /* error diffusion, serpentine */
    kelDitherOrdered = 2         /* an 8 x 8 Bayer matrix: for bitmaps, which diffusion turns to worms */
} KEL_ENUM_END(kelDitherMethod);

#ifdef __cplusplus
class kelQuantizer;

class KEL_API kelDither {
public:
    // The quantizer must have its colormap and outlive this object.
    kelDither(const kelQuantizer& quantizer, kelDitherMethod method, int width);
    ~kelDither();

    // Maps the next `rows` rows of `width` interleaved pixels (as
    // kelQuantizer::addPixels takes them) to one index byte per pixel.
    kelStatus mapRows(const void* data, kelDataType type, int nc, int rows, unsigned char* indices,
                      double maxValue = 0);

    kelDither(const kelDither&) = delete;
    kelDither& operator=(const kelDither&) = delete;

    struct State;

private:
    State* st;
};
#endif

#endif
