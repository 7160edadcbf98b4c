#include "kelFITByteOrder.h"

#include <string.h>

namespace {

const bool bigEndianMachine = __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__;

// Byte shuffles of whole vectors need SSSE3; the loops are compiled for the
// processors that have it too, and the best version is chosen at load time.
#if defined(__x86_64__) && defined(__ELF__)
#define KEL_FIT_VECTOR_VERSIONS __attribute__((target_clones("avx2", "ssse3", "default")))
#else
#define KEL_FIT_VECTOR_VERSIONS
#endif

inline uint16_t swapped(uint16_t v)
{
    return __builtin_bswap16(v);
}

inline uint32_t swapped(uint32_t v)
{
    return __builtin_bswap32(v);
}

inline uint64_t swapped(uint64_t v)
{
    return __builtin_bswap64(v);
}

// One load, reverse and store per sample through memcpy, which any buffer
// alignment allows and the compiler turns into vector shuffles.
template <class Word>
inline __attribute__((always_inline)) void swapWords(unsigned char* dst, const unsigned char* src, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        Word w;
        memcpy(&w, src + i * sizeof w, sizeof w);
        w = swapped(w);
        memcpy(dst + i * sizeof w, &w, sizeof w);
    }
}

KEL_FIT_VECTOR_VERSIONS void swapInto(unsigned char* dst, const unsigned char* src, size_t bytes, unsigned sampleBytes)
{
    switch (sampleBytes) {
    case 2:
        swapWords<uint16_t>(dst, src, bytes / 2);
        break;
    case 4:
        swapWords<uint32_t>(dst, src, bytes / 4);
        break;
    case 8:
        swapWords<uint64_t>(dst, src, bytes / 8);
        break;
    }
}

// Whether samples of this size are stored other than the machine holds them.
int needsSwap(unsigned sampleBytes)
{
    return !bigEndianMachine && (sampleBytes == 2 || sampleBytes == 4 || sampleBytes == 8);
}

} // namespace

void kelFITSwapSamples(void* data, size_t bytes, unsigned sampleBytes)
{
    if (needsSwap(sampleBytes))
        swapInto(static_cast<unsigned char*>(data), static_cast<const unsigned char*>(data), bytes, sampleBytes);
}

void kelFITCopySwapped(void* dst, const void* src, size_t bytes, unsigned sampleBytes)
{
    if (needsSwap(sampleBytes))
        swapInto(static_cast<unsigned char*>(dst), static_cast<const unsigned char*>(src), bytes, sampleBytes);
    else
        memcpy(dst, src, bytes);
}

uint32_t kelFITGet32(const unsigned char* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

void kelFITPut32(unsigned char* p, uint32_t v)
{
    p[0] = (unsigned char)(v >> 24);
    p[1] = (unsigned char)(v >> 16);
    p[2] = (unsigned char)(v >> 8);
    p[3] = (unsigned char)v;
}

double kelFITGetDouble(const unsigned char* p)
{
    uint64_t bits = uint64_t(kelFITGet32(p)) << 32 | kelFITGet32(p + 4);
    double v;
    memcpy(&v, &bits, sizeof v);
    return v;
}

void kelFITPutDouble(unsigned char* p, double v)
{
    uint64_t bits;
    memcpy(&bits, &v, sizeof bits);
    kelFITPut32(p, uint32_t(bits >> 32));
    kelFITPut32(p + 4, uint32_t(bits));
}
