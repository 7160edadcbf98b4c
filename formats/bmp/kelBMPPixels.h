// Pixel byte orders: BMP files store Blue, Green, Red; pages hold Red,
// Green, Blue.
#ifndef KEL_FORMATS_BMP_PIXELS_H
#define KEL_FORMATS_BMP_PIXELS_H

#include <stddef.h>

// Exchanges the first and third byte of `pixels` 3-byte pixels from `src`
// into `dst`. `dst` may be `src`, or lie before it (rows moving down over
// their padding), but not after it.
void kelBMPSwapRedBlue(unsigned char* dst, const unsigned char* src, size_t pixels);

#endif
