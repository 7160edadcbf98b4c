// Plain conversion kernels between interleaved RGB bytes and three planes,
// the references of the converter and tile benchmarks: straightforward loops
// that the compiler vectorises, over pieces of a row in first-level buffers
// that are then streamed out.
#ifndef KEL_BENCH_PLAIN_KERNELS_H
#define KEL_BENCH_PLAIN_KERNELS_H

#include <cstddef>
#include <cstdint>

#include "bench_support.h"

namespace bench {

const size_t kPiece = 512; // pixels of a row at a time

// Row y of the RGB image goes to row y (flipY: height - 1 - y) of each plane.
template <class P>
void rgbToPlanes(const uint8_t* rgb, P* planes, size_t width, size_t height, bool flipY)
{
    alignas(64) P buf[3][kPiece];
    for (size_t y = 0; y < height; y++) {
        const uint8_t* s = rgb + 3 * y * width;
        P* d = planes + (flipY ? height - 1 - y : y) * width;
        for (size_t x0 = 0; x0 < width; x0 += kPiece) {
            size_t n = std::min(kPiece, width - x0);
            for (size_t i = 0; i < n; i++)
                for (int c = 0; c < 3; c++)
                    buf[c][i] = P(s[3 * (x0 + i) + c]);
            for (int c = 0; c < 3; c++)
                streamCopy(d + c * width * height + x0, buf[c], n * sizeof(P));
        }
    }
}

// The inverse; integer conversion keeps the low 8 bits, floating values are
// truncated.
template <class P>
void planesToRgb(const P* planes, uint8_t* rgb, size_t width, size_t height, bool flipY)
{
    alignas(64) uint8_t buf[3 * kPiece];
    for (size_t y = 0; y < height; y++) {
        const P* s = planes + (flipY ? height - 1 - y : y) * width;
        uint8_t* d = rgb + 3 * y * width;
        for (size_t x0 = 0; x0 < width; x0 += kPiece) {
            size_t n = std::min(kPiece, width - x0);
            for (size_t i = 0; i < n; i++)
                for (int c = 0; c < 3; c++)
                    buf[3 * i + c] = uint8_t(int32_t(s[c * width * height + x0 + i]));
            streamCopy(d + 3 * x0, buf, 3 * n);
        }
    }
}

} // namespace bench

#endif
