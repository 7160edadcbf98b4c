#include "kelStreaming.h"

#include <stdint.h>
#include <string.h>

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// A block past this size does not stay in the caches until the caller reads
// it, so reading its lines before writing them only costs memory bandwidth.
static const size_t kelStreamThreshold = size_t(8) << 20;

bool kelStreamsInto(size_t blockBytes)
{
#ifdef __SSE2__
    return blockBytes >= kelStreamThreshold;
#else
    (void)blockBytes;
    return false;
#endif
}

// Only whole cache lines are streamed: a line that is partly streamed and
// partly stored is written to memory twice, and read in between.
void kelStreamCopy(void* dst, const void* src, size_t n)
{
    uint8_t* d = static_cast<uint8_t*>(dst);
    const uint8_t* s = static_cast<const uint8_t*>(src);
    size_t i = 0;
#ifdef __SSE2__
    i = std::min(n, size_t(-uintptr_t(d) & 63));
    memcpy(d, s, i);
    for (; i + 64 <= n; i += 64)
        for (size_t k = 0; k < 64; k += 16)
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + i + k),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + k)));
#endif
    memcpy(d + i, s + i, n - i);
}

void kelStreamFence()
{
#ifdef __SSE2__
    _mm_sfence();
#endif
}
