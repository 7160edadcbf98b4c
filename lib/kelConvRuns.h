// Conversion of runs of consecutive elements between byte-addressed types:
// plain loops that the compiler vectorises for every pair of types, built
// twice, for the baseline processor and for AVX2, which is chosen at run
// time where the processor has it. Both give the same bytes: the loops only
// convert, and every conversion instruction rounds the same way at either
// width.
#ifndef KEL_CONVRUNS_H
#define KEL_CONVRUNS_H

#include <string.h>

#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "kelCpuKernels.h"
#include "kelElement.h"

#define KEL_RUN_KERNEL inline __attribute__((always_inline))

template <class D, class S>
KEL_RUN_KERNEL void kelConvertArray(D* __restrict dp, const S* __restrict sp, long n)
{
    for (long i = 0; i < n; i++)
        dp[i] = kelConvertElem<D>(sp[i]);
}

// 1 when |v| < 2^31, 0 otherwise and for NaN; read from the bits so that a
// loop of these checks vectorises.
KEL_RUN_KERNEL int32_t kelInInt32(float v)
{
    uint32_t b;
    memcpy(&b, &v, 4);
    return int32_t(b & 0x7fffffffu) < 0x4f000000; // 2^31
}

KEL_RUN_KERNEL int32_t kelInInt32(double v)
{
    uint64_t b;
    memcpy(&b, &v, 8);
    return int32_t(uint32_t(b >> 32) & 0x7fffffffu) < 0x41e00000; // 2^31
}

// Floating to integer: the 64-bit truncation has no vector instruction, but
// wherever a chunk lies within the 32-bit range the 32-bit truncation has
// the same low bits, and that loop vectorises.
template <class D, class S>
KEL_RUN_KERNEL void kelFloatToIntArray(D* __restrict dp, const S* __restrict sp, long n)
{
    const long chunk = 256;
    for (long i0 = 0; i0 < n; i0 += chunk) {
        long m = std::min(chunk, n - i0);
        int32_t small = 1;
        for (long i = 0; i < m; i++)
            small &= kelInInt32(sp[i0 + i]);
        if (!small) {
            kelConvertArray(dp + i0, sp + i0, m);
            continue;
        }
        for (long i = 0; i < m; i++)
            dp[i0 + i] = static_cast<D>(static_cast<int32_t>(sp[i0 + i]));
    }
}

template <class D, class S>
KEL_RUN_KERNEL void kelConvertRunHere(D* dp, const S* sp, long n)
{
    if constexpr (std::is_floating_point_v<S> && std::is_integral_v<D>)
        kelFloatToIntArray(dp, sp, n);
    else
        kelConvertArray(dp, sp, n);
}

#if KEL_HAVE_AVX2_KERNELS
template <class D, class S>
__attribute__((target("avx2"), noinline)) void kelConvertRunAvx2(D* dp, const S* sp, long n)
{
    kelConvertRunHere(dp, sp, n);
}
#endif

template <class D, class S>
inline void kelConvertRun(D* dp, const S* sp, long n)
{
#if KEL_HAVE_AVX2_KERNELS
    if (kelAvx2Kernels()) {
        kelConvertRunAvx2(dp, sp, n);
        return;
    }
#endif
    kelConvertRunHere(dp, sp, n);
}

#endif
