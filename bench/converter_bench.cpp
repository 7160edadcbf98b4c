// Converter throughput on 4096 x 4096 images, each case measured against
// memcpy of the same destination byte count in the same run. The counter
// vs_memcpy is (destination bytes per second) / (memcpy bytes per second).
#include <benchmark/benchmark.h>
#include <kel/kelConverter.h>
#include <kel/kelDataSize.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <time.h>
#include <vector>

namespace {

const int kSide = 4096;

struct Layout {
    kelDataType type;
    kelOrder order;
    int nc;
    int x, y;   // origin of the area
    int nx, ny; // extents
    int flip;
    int transpose;
};

struct Case {
    Layout dst, src;
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

// CPU time of this thread: the build machine is shared, and wall time would
// count the periods in which other processes ran.
double now()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Each iteration times one memcpy of the destination byte count and one
// conversion, back to back, so that both see the same machine load.
void run(benchmark::State& state, Case c)
{
    std::vector<uint8_t> dbuf = buffer(c.dst), sbuf = buffer(c.src);
    kelConverter dst = converter(c.dst, dbuf), src = converter(c.src, sbuf);
    int cx = std::max(c.dst.x, c.src.x), cy = std::max(c.dst.y, c.src.y);
    int cnx = std::min(c.dst.x + c.dst.nx, c.src.x + c.src.nx) - cx;
    int cny = std::min(c.dst.y + c.dst.ny, c.src.y + c.src.ny) - cy;
    size_t written = kelDataSize(c.dst.type, cnx * cny * c.dst.nc);
    std::vector<uint8_t> refFrom(written, 1), refTo(written, 2);

    double convTime = 0, copyTime = 0;
    for (auto _ : state) {
        double t0 = now();
        memcpy(refTo.data(), refFrom.data(), written);
        benchmark::ClobberMemory();
        double t1 = now();
        dst = src;
        benchmark::ClobberMemory();
        double t2 = now();
        copyTime += t1 - t0;
        convTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(written));
    state.counters["vs_memcpy"] = copyTime / convTime;
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
    define("whole_copy_rgb8", {rgb8, rgb8});
    define("row_copy_subregion_rgb8", {rgb8, shifted(rgb8, 16)});
    define("uchar_to_float_rgb", {with(rgb8, kelFloat), rgb8});
    define("ushort_to_uchar", {gray8, with(gray8, kelUShort)});
    define("rgb8_to_float_planes", {separate(rgb8, kelFloat), rgb8});
    define("float_planes_to_rgb8", {rgb8, separate(rgb8, kelFloat)});
    define("rgb8_to_planes8", {separate(rgb8, kelUChar), rgb8});
    define("planes8_to_rgb8", {rgb8, separate(rgb8, kelUChar)});
    define("mirrored_y_rgb8", {flipped(rgb8, kelYFlip), rgb8});
    define("transposed_uchar", {transposed(gray8), gray8});
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
