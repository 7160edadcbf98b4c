// Converter throughput on 4096 x 4096 images, each case measured against
// a plain kernel for the same case: a straightforward loop over the same
// buffers that the compiler vectorises at the build's flags, streaming its
// results past the caches as the destinations are large (for transposition,
// a blocked SSE2 kernel). Every iteration times the kernel and the
// conversion back to back; the counter vs_kernel is the kernel's time
// divided by the conversion's (1.0: as fast as the kernel).
#include <benchmark/benchmark.h>
#include <kel/kelConverter.h>
#include <kel/kelDataSize.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <emmintrin.h>

#include "bench_support.h"
#include "plain_kernels.h"

namespace {

const int kSide = 4096;
const size_t kPixels = size_t(kSide) * kSide;
const size_t kRow = 3 * size_t(kSide); // bytes of an RGB uchar row

struct Layout {
    kelDataType type;
    kelOrder order;
    int nc;
    int x, y;   // origin of the area
    int nx, ny; // extents
    int flip;
    int transpose;
};

// The plain kernel of a case, from the source's bytes to the destination's.
using Kernel = void (*)(const uint8_t* src, uint8_t* dst);

struct Case {
    Layout dst, src;
    Kernel kernel;
};

// Image-like contents: byte patterns, and for floating types values of the
// range of 8-bit data.
std::vector<uint8_t> buffer(const Layout& l)
{
    size_t n = size_t(l.nx) * size_t(l.ny) * size_t(l.nc);
    std::vector<uint8_t> b(kelDataSize(l.type, int(n)));
    for (size_t i = 0; i < b.size(); i++)
        b[i] = uint8_t(i * 131 + 7);
    if (l.type == kelFloat)
        for (size_t i = 0; i < n; i++) {
            float v = float((i * 131 + 7) % 256) + 0.25f;
            memcpy(b.data() + 4 * i, &v, 4);
        }
    return b;
}

kelConverter converter(const Layout& l, std::vector<uint8_t>& b)
{
    kelConverter cv;
    cv.init(b.data(), l.type, l.order, l.nc, nullptr, l.nx, l.ny, 1, l.x, l.y, 0, 0);
    cv.setFlip(kelFlip(l.flip));
    cv.setTransposeXY(l.transpose);
    return cv;
}

// --- plain kernels ----------------------------------------------------------

void copyWhole(const uint8_t* s, uint8_t* d)
{
    bench::streamCopy(d, s, kPixels * 3);
}

// The source's area starts at (16, 16): its first row and column hold the
// destination's row and column 16.
void copyShiftedRows(const uint8_t* s, uint8_t* d)
{
    for (size_t y = 16; y < size_t(kSide); y++)
        bench::streamCopy(d + y * kRow + 3 * 16, s + (y - 16) * kRow, kRow - 3 * 16);
}

void mirrorRows(const uint8_t* s, uint8_t* d)
{
    for (size_t y = 0; y < size_t(kSide); y++)
        bench::streamCopy(d + (kSide - 1 - y) * kRow, s + y * kRow, kRow);
}

void ucharToFloat(const uint8_t* s, uint8_t* d)
{
    bench::streamed(reinterpret_cast<float*>(d), 3 * kPixels, [s](float* out, size_t first, size_t n) {
        for (size_t i = 0; i < n; i++)
            out[i] = s[first + i];
    });
}

void ushortToUChar(const uint8_t* s, uint8_t* d)
{
    const uint16_t* from = reinterpret_cast<const uint16_t*>(s);
    bench::streamed(d, kPixels, [from](uint8_t* out, size_t first, size_t n) {
        for (size_t i = 0; i < n; i++)
            out[i] = uint8_t(from[first + i]);
    });
}

template <class P>
void rgbToPlanes(const uint8_t* s, uint8_t* d)
{
    bench::rgbToPlanes(s, reinterpret_cast<P*>(d), kSide, kSide, false);
}

template <class P>
void planesToRgb(const uint8_t* s, uint8_t* d)
{
    bench::planesToRgb(reinterpret_cast<const P*>(s), d, kSide, kSide, false);
}

// out[c * pitch + r] = in[r * pitch + c] for an 8 x 8 block.
void transpose8(const uint8_t* in, uint8_t* out, size_t pitch)
{
    __m128i r[8];
    for (int k = 0; k < 8; k++)
        r[k] = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + k * pitch));
    __m128i a0 = _mm_unpacklo_epi8(r[0], r[1]), a1 = _mm_unpacklo_epi8(r[2], r[3]);
    __m128i a2 = _mm_unpacklo_epi8(r[4], r[5]), a3 = _mm_unpacklo_epi8(r[6], r[7]);
    __m128i b0 = _mm_unpacklo_epi16(a0, a1), b1 = _mm_unpackhi_epi16(a0, a1);
    __m128i b2 = _mm_unpacklo_epi16(a2, a3), b3 = _mm_unpackhi_epi16(a2, a3);
    __m128i cols[4] = {_mm_unpacklo_epi32(b0, b2), _mm_unpackhi_epi32(b0, b2), _mm_unpacklo_epi32(b1, b3),
                       _mm_unpackhi_epi32(b1, b3)};
    for (int k = 0; k < 4; k++) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 2 * k * pitch), cols[k]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (2 * k + 1) * pitch), _mm_unpackhi_epi64(cols[k], cols[k]));
    }
}

// Blocks of 8 x 8 within tiles of 64 x 64, so that both sides stay cached.
void transposeBytes(const uint8_t* s, uint8_t* d)
{
    const size_t n = size_t(kSide), tile = 64;
    for (size_t ty = 0; ty < n; ty += tile)
        for (size_t tx = 0; tx < n; tx += tile)
            for (size_t y = ty; y < ty + tile; y += 8)
                for (size_t x = tx; x < tx + tile; x += 8)
                    transpose8(s + y * n + x, d + x * n + y, n);
}

// --- measurement ------------------------------------------------------------

void convert(kelConverter& dst, kelConverter& src)
{
    dst = src;
}

// The kernel must compute what the converter computes.
bool sameResults(const Case& c, std::vector<uint8_t>& dbuf, const std::vector<uint8_t>& sbuf, kelConverter& dst,
                 kelConverter& src)
{
    std::vector<uint8_t> before = dbuf;
    c.kernel(sbuf.data(), dbuf.data());
    bench::fence();
    std::vector<uint8_t> byKernel = dbuf;
    dbuf = before;
    convert(dst, src);
    return dbuf == byKernel;
}

void run(benchmark::State& state, Case c)
{
    std::vector<uint8_t> dbuf = buffer(c.dst), sbuf = buffer(c.src);
    kelConverter dst = converter(c.dst, dbuf), src = converter(c.src, sbuf);
    if (!sameResults(c, dbuf, sbuf, dst, src)) {
        state.SkipWithError("the plain kernel and the converter disagree");
        return;
    }
    int cx = std::max(c.dst.x, c.src.x), cy = std::max(c.dst.y, c.src.y);
    int cnx = std::min(c.dst.x + c.dst.nx, c.src.x + c.src.nx) - cx;
    int cny = std::min(c.dst.y + c.dst.ny, c.src.y + c.src.ny) - cy;
    size_t written = kelDataSize(c.dst.type, cnx * cny * c.dst.nc);

    double kernelTime = 0, convTime = 0;
    for (auto _ : state) {
        double t0 = bench::now();
        c.kernel(sbuf.data(), dbuf.data());
        bench::fence();
        benchmark::ClobberMemory();
        double t1 = bench::now();
        convert(dst, src);
        benchmark::ClobberMemory();
        double t2 = bench::now();
        kernelTime += t1 - t0;
        convTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(written));
    state.counters["vs_kernel"] = kernelTime / convTime;
}

const Layout rgb8 = {kelUChar, kelInterleaved, 3, 0, 0, kSide, kSide, kelNoFlip, 0};
const Layout gray8 = {kelUChar, kelSeparate, 1, 0, 0, kSide, kSide, kelNoFlip, 0};

Layout with(Layout l, kelDataType t)
{
    l.type = t;
    return l;
}

Layout shifted(Layout l, int by)
{
    l.x = l.y = by;
    return l;
}

Layout separate(Layout l, kelDataType t)
{
    l.type = t;
    l.order = kelSeparate;
    return l;
}

Layout flipped(Layout l, int flip)
{
    l.flip = flip;
    return l;
}

Layout transposed(Layout l)
{
    l.transpose = 1;
    return l;
}

void define(const char* name, Case c)
{
    benchmark::RegisterBenchmark(name, run, c)->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    define("whole_copy_rgb8", {rgb8, rgb8, copyWhole});
    define("row_copy_subregion_rgb8", {rgb8, shifted(rgb8, 16), copyShiftedRows});
    define("uchar_to_float_rgb", {with(rgb8, kelFloat), rgb8, ucharToFloat});
    define("ushort_to_uchar", {gray8, with(gray8, kelUShort), ushortToUChar});
    define("rgb8_to_float_planes", {separate(rgb8, kelFloat), rgb8, rgbToPlanes<float>});
    define("float_planes_to_rgb8", {rgb8, separate(rgb8, kelFloat), planesToRgb<float>});
    define("rgb8_to_planes8", {separate(rgb8, kelUChar), rgb8, rgbToPlanes<uint8_t>});
    define("planes8_to_rgb8", {rgb8, separate(rgb8, kelUChar), planesToRgb<uint8_t>});
    define("mirrored_y_rgb8", {flipped(rgb8, kelYFlip), rgb8, mirrorRows});
    define("transposed_uchar", {transposed(gray8), gray8, transposeBytes});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
