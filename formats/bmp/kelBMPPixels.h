// Pixel byte orders: BMP files store Blue, Green, Red (and Alpha); pages
// hold Red, Green, Blue (and Alpha).
#ifndef KEL_FORMATS_BMP_PIXELS_H
#define KEL_FORMATS_BMP_PIXELS_H

#include <stddef.h>

// Exchanges the first and third byte of `pixels` 3-byte pixels from `src`
// into `dst`. `dst` may be `src`, or lie before it (rows moving down over
// their padding), but not after it.
void kelBMPSwapRedBlue(unsigned char* dst, const unsigned char* src, size_t pixels);

// The same for `pixels` 4-byte pixels into a separate `dst`.
void kelBMPSwapRedBlueAlpha(unsigned char* dst, const unsigned char* src, size_t pixels);

#endif
