// Byte shuffles of the conversion iterator: transposition of byte matrices
// and the split and join of interleaved 3- and 4-channel byte pixels. SSE2
// where the target has it, plain loops otherwise; the results are the same.
#ifndef KEL_CONVKERNELS_H
#define KEL_CONVKERNELS_H

#include <cstdint>

#include "kelInternal.h"

// out[c * outPitch + r] = in[r * inPitch + c] for an nr x nc matrix.
KEL_INTERNAL void kelTransposeBytes(const uint8_t* in, long inPitch, uint8_t* out, long outPitch, long nr,
                                    long nc);

// planes[k][i] = in[i * nc + k] for n pixels of nc (3 or 4) channels.
KEL_INTERNAL void kelSplitPixels(const uint8_t* in, int nc, long n, uint8_t* const* planes);

// out[i * nc + k] = planes[k][i]: the inverse of kelSplitPixels.
KEL_INTERNAL void kelJoinPixels(const uint8_t* const* planes, int nc, long n, uint8_t* out);

#endif
