// GIF decoding and encoding of 4096 x 4096 images through kel's public
// interface against giflib, each iteration timing both back to back on
// files in the page cache. The counter vs_giflib is kel's throughput over
// giflib's (2.0: twice as fast); size_vs_giflib compares the files written.
// Run with KEL_DATABASE naming the build's database, e.g.
//   KEL_DATABASE=build-bench/lib/kel_database0 build-bench/bin/gif_bench
#include <fcntl.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <kel/kel.h>

namespace {

const int N = 4096;

struct Image {
    const char* name;
    int colors;
    std::vector<unsigned char> pixels;
    std::vector<GifColorType> palette;
};

// Smooth shapes and grain, as a photograph has, quantized to 256 levels.
double photo(int x, int y, unsigned& seed)
{
    seed = seed * 1103515245u + 12345u;
    double grain = double((seed >> 16) % 25) - 12.0;
    return 128 + 60 * sin(x / 97.0) * cos(y / 131.0) + 40 * sin((x + y) / 53.0) + grain;
}

Image makeImage(const char* name, int colors)
{
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    Image im{name, colors, std::vector<unsigned char>(size_t(N) * N), {}};
    unsigned seed = 1;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            double v = std::min(255.0, std::max(0.0, photo(x, y, seed)));
            // Two colors: the photograph dithered.
            im.pixels[size_t(y) * N + size_t(x)] =
                colors == 2 ? (unsigned char)(v > (bayer[y & 3][x & 3] + 0.5) * 16) : (unsigned char)v;
        }
    for (int i = 0; i < colors; ++i) {
        GifByteType level = GifByteType(i * 255 / (colors - 1));
        im.palette.push_back({level, GifByteType(255 - level), GifByteType(level / 2)});
    }
    return im;
}

const Image& image(int colors)
{
    static const Image photo256 = makeImage("photo", 256), twoColor = makeImage("two-color", 2);
    return colors == 2 ? twoColor : photo256;
}

std::string scratch(const std::string& name)
{
    const char* dir = getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/kel_gif_bench_" + name + ".gif";
}

long long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

// CPU time of this thread, system time for the file included: the machine
// is shared, and wall time would count the periods in which others ran.
double now()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

bool encodeKel(const Image& im, const std::string& path)
{
    kelSize dims(N, N, 1, 1);
    kelFileConfig cfg(&dims);
    kelStatus sts = 0;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f)
        return false;
    kelColormap map(3, kelUChar, 0, im.colors - 1);
    for (int i = 0; i < im.colors; ++i) {
        map.setVal(im.palette[size_t(i)].Red, i, 0);
        map.setVal(im.palette[size_t(i)].Green, i, 1);
        map.setVal(im.palette[size_t(i)].Blue, i, 2);
    }
    sts = f->setColormap(&map);
    if (sts == kelOKAY)
        sts = f->setTile(0, 0, 0, N, N, 1, im.pixels.data());
    kelStatus closed = f->close();
    return sts == kelOKAY && closed == kelOKAY;
}

bool encodeGiflib(const Image& im, const std::string& path)
{
    int err = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &err);
    if (!gif)
        return false;
    ColorMapObject* map = GifMakeMapObject(im.colors, im.palette.data());
    bool ok = EGifPutScreenDesc(gif, N, N, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, N, N, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < N; ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(im.pixels.data()) + size_t(y) * N, N) == GIF_OK;
    GifFreeMapObject(map);
    return EGifCloseFile(gif, &err) == GIF_OK && ok;
}

bool decodeKel(const std::string& path, std::vector<unsigned char>& out)
{
    kelStatus sts = 0;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    if (!f)
        return false;
    sts = f->getTile(0, 0, 0, N, N, 1, out.data());
    return f->close() == kelOKAY && sts == kelOKAY;
}

bool decodeGiflib(const std::string& path, const std::vector<unsigned char>& expected)
{
    int err = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &err);
    if (!gif)
        return false;
    bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1 &&
              memcmp(gif->SavedImages[0].RasterBits, expected.data(), expected.size()) == 0;
    return DGifCloseFile(gif, &err) == GIF_OK && ok;
}

void Decode(benchmark::State& state, int colors)
{
    const Image& im = image(colors);
    const std::string path = scratch(std::string("decode_") + im.name);
    if (!encodeGiflib(im, path)) {
        state.SkipWithError("giflib cannot write the input");
        return;
    }
    std::vector<unsigned char> out(im.pixels.size());
    double kelTime = 0, giflibTime = 0;
    for (auto _ : state) {
        double t0 = now();
        bool ok = decodeGiflib(path, im.pixels);
        double t1 = now();
        ok = decodeKel(path, out) && ok;
        double t2 = now();
        if (!ok || out != im.pixels) {
            state.SkipWithError("decoding failed");
            break;
        }
        giflibTime += t1 - t0;
        kelTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(im.pixels.size()));
    state.counters["vs_giflib"] = giflibTime / kelTime;
}

void Encode(benchmark::State& state, int colors)
{
    const Image& im = image(colors);
    const std::string ours = scratch(std::string("kel_") + im.name), theirs = scratch(std::string("giflib_") + im.name);
    double kelTime = 0, giflibTime = 0;
    for (auto _ : state) {
        double t0 = now();
        bool ok = encodeGiflib(im, theirs);
        double t1 = now();
        ok = encodeKel(im, ours) && ok;
        double t2 = now();
        if (!ok) {
            state.SkipWithError("encoding failed");
            break;
        }
        giflibTime += t1 - t0;
        kelTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    std::vector<unsigned char> check(im.pixels.size());
    if (!decodeKel(ours, check) || check != im.pixels)
        state.SkipWithError("the file written does not read back");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(im.pixels.size()));
    state.counters["vs_giflib"] = giflibTime / kelTime;
    state.counters["size_vs_giflib"] = double(fileSize(ours)) / double(fileSize(theirs));
}

} // namespace

int main(int argc, char** argv)
{
    for (int colors : {256, 2}) {
        const char* name = colors == 2 ? "two_color" : "photo";
        benchmark::RegisterBenchmark((std::string("decode_") + name).c_str(), Decode, colors)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((std::string("encode_") + name).c_str(), Encode, colors)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
