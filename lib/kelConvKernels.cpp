#include "kelConvKernels.h"

#ifdef __SSE2__
#include <emmintrin.h>

static __m128i kelLoad(const uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

static void kelStore(uint8_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

// Transposes a 16 x 16 block in four rounds of interleaving.
static void kelTranspose16(const uint8_t* in, long inPitch, uint8_t* out, long outPitch)
{
    __m128i a[16], b[16];
    for (int r = 0; r < 16; r++)
        a[r] = kelLoad(in + r * inPitch);
    for (int k = 0; k < 8; k++) { // byte pairs of rows 2k, 2k + 1
        b[2 * k] = _mm_unpacklo_epi8(a[2 * k], a[2 * k + 1]);
        b[2 * k + 1] = _mm_unpackhi_epi8(a[2 * k], a[2 * k + 1]);
    }
    for (int q = 0; q < 4; q++) // quads of rows
        for (int h = 0; h < 2; h++) {
            a[4 * q + 2 * h] = _mm_unpacklo_epi16(b[4 * q + h], b[4 * q + 2 + h]);
            a[4 * q + 2 * h + 1] = _mm_unpackhi_epi16(b[4 * q + h], b[4 * q + 2 + h]);
        }
    for (int s = 0; s < 2; s++) // octets of rows
        for (int j = 0; j < 4; j++) {
            b[8 * s + 2 * j] = _mm_unpacklo_epi32(a[8 * s + j], a[8 * s + 4 + j]);
            b[8 * s + 2 * j + 1] = _mm_unpackhi_epi32(a[8 * s + j], a[8 * s + 4 + j]);
        }
    for (int j = 0; j < 8; j++) { // all sixteen rows
        kelStore(out + (2 * j) * outPitch, _mm_unpacklo_epi64(b[j], b[8 + j]));
        kelStore(out + (2 * j + 1) * outPitch, _mm_unpackhi_epi64(b[j], b[8 + j]));
    }
}

// One round of the 3-channel split; four rounds turn 16 interleaved pixels
// into three planes.
static void kelSplitRound3(__m128i t[3])
{
    __m128i u0 = _mm_unpacklo_epi8(t[0], _mm_unpackhi_epi64(t[1], t[1]));
    __m128i u1 = _mm_unpacklo_epi8(_mm_unpackhi_epi64(t[0], t[0]), t[2]);
    __m128i u2 = _mm_unpacklo_epi8(t[1], _mm_unpackhi_epi64(t[2], t[2]));
    t[0] = u0;
    t[1] = u1;
    t[2] = u2;
}

// The even and the odd bytes of a and b, each as one register.
static __m128i kelEvenBytes(__m128i a, __m128i b)
{
    const __m128i low = _mm_set1_epi16(0xff);
    return _mm_packus_epi16(_mm_and_si128(a, low), _mm_and_si128(b, low));
}

static __m128i kelOddBytes(__m128i a, __m128i b)
{
    return _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
}

// The inverse of kelSplitRound3.
static void kelJoinRound3(__m128i t[3])
{
    const __m128i low = _mm_set1_epi16(0xff);
    __m128i u0 = kelEvenBytes(t[0], t[1]);
    __m128i u1 = _mm_packus_epi16(_mm_and_si128(t[2], low), _mm_srli_epi16(t[0], 8));
    __m128i u2 = kelOddBytes(t[1], t[2]);
    t[0] = u0;
    t[1] = u1;
    t[2] = u2;
}

static void kelSplit16(const uint8_t* in, int nc, uint8_t* const* planes, long i)
{
    if (nc == 3) {
        __m128i t[3] = {kelLoad(in), kelLoad(in + 16), kelLoad(in + 32)};
        for (int k = 0; k < 4; k++)
            kelSplitRound3(t);
        for (int k = 0; k < 3; k++)
            kelStore(planes[k] + i, t[k]);
        return;
    }
    __m128i a = kelLoad(in), b = kelLoad(in + 16), c = kelLoad(in + 32), d = kelLoad(in + 48);
    __m128i even0 = kelEvenBytes(a, b), even1 = kelEvenBytes(c, d); // channels 0, 2
    __m128i odd0 = kelOddBytes(a, b), odd1 = kelOddBytes(c, d);     // channels 1, 3
    kelStore(planes[0] + i, kelEvenBytes(even0, even1));
    kelStore(planes[2] + i, kelOddBytes(even0, even1));
    kelStore(planes[1] + i, kelEvenBytes(odd0, odd1));
    kelStore(planes[3] + i, kelOddBytes(odd0, odd1));
}

static void kelJoin16(const uint8_t* const* planes, int nc, long i, uint8_t* out)
{
    if (nc == 3) {
        __m128i t[3] = {kelLoad(planes[0] + i), kelLoad(planes[1] + i), kelLoad(planes[2] + i)};
        for (int k = 0; k < 4; k++)
            kelJoinRound3(t);
        for (int k = 0; k < 3; k++)
            kelStore(out + 16 * k, t[k]);
        return;
    }
    __m128i c0 = kelLoad(planes[0] + i), c1 = kelLoad(planes[1] + i);
    __m128i c2 = kelLoad(planes[2] + i), c3 = kelLoad(planes[3] + i);
    __m128i lo01 = _mm_unpacklo_epi8(c0, c1), hi01 = _mm_unpackhi_epi8(c0, c1);
    __m128i lo23 = _mm_unpacklo_epi8(c2, c3), hi23 = _mm_unpackhi_epi8(c2, c3);
    kelStore(out, _mm_unpacklo_epi16(lo01, lo23));
    kelStore(out + 16, _mm_unpackhi_epi16(lo01, lo23));
    kelStore(out + 32, _mm_unpacklo_epi16(hi01, hi23));
    kelStore(out + 48, _mm_unpackhi_epi16(hi01, hi23));
}
#endif

void kelTransposeBytes(const uint8_t* in, long inPitch, uint8_t* out, long outPitch, long nr, long nc)
{
    long fullR = 0, fullC = 0; // the part covered by whole 16 x 16 blocks
#ifdef __SSE2__
    fullR = nr & ~15L;
    fullC = nc & ~15L;
    // Output rows in the outer loop: each is finished before the next begins.
    for (long c0 = 0; c0 < fullC; c0 += 16)
        for (long r0 = 0; r0 < fullR; r0 += 16)
            kelTranspose16(in + r0 * inPitch + c0, inPitch, out + c0 * outPitch + r0, outPitch);
#endif
    for (long r = 0; r < nr; r++)
        for (long c = r < fullR ? fullC : 0; c < nc; c++)
            out[c * outPitch + r] = in[r * inPitch + c];
}

void kelSplitPixels(const uint8_t* in, int nc, long n, uint8_t* const* planes)
{
    long i = 0;
#ifdef __SSE2__
    for (; i + 16 <= n; i += 16)
        kelSplit16(in + i * nc, nc, planes, i);
#endif
    for (; i < n; i++)
        for (int k = 0; k < nc; k++)
            planes[k][i] = in[i * nc + k];
}

void kelJoinPixels(const uint8_t* const* planes, int nc, long n, uint8_t* out)
{
    long i = 0;
#ifdef __SSE2__
    for (; i + 16 <= n; i += 16)
        kelJoin16(planes, nc, i, out + i * nc);
#endif
    for (; i < n; i++)
        for (int k = 0; k < nc; k++)
            out[i * nc + k] = planes[k][i];
}
