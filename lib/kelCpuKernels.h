// The choice between the baseline kernels and the AVX2 ones, made once from
// what the processor offers.
#ifndef KEL_CPUKERNELS_H
#define KEL_CPUKERNELS_H

#include "kelInternal.h"

#if defined(__x86_64__) && defined(__GNUC__)
#define KEL_HAVE_AVX2_KERNELS 1
#else
#define KEL_HAVE_AVX2_KERNELS 0
#endif

// Whether conversions run the AVX2 kernels.
bool kelAvx2Kernels();

// Whether the processor can run them.
KEL_INTERNAL bool kelAvx2Available();

// Selects the AVX2 kernels (where available) or the baseline ones; returns
// the previous choice. For comparing the two.
KEL_INTERNAL bool kelUseAvx2Kernels(bool on);

#endif
