// FIT tile access against plain reads and writes of the same bytes. A
// 4096 x 4096 RGB float FIT file in pages of 128 x 128 is read tile by tile
// (one page each) with getTile, in the file's layout and converted to
// interleaved unsigned chars, and written tile by tile with setTile. Each
// iteration first times one pread (pwrite) of all the file's page bytes,
// from (into) the page cache, then the tile pass; the counters vs_read and
// vs_write are the plain transfer's time divided by the tile pass's.
// Run with KEL_DATABASE naming the build's database, e.g.
//   KEL_DATABASE=build/lib/kel_database0 build/bin/fit_bench
#include <fcntl.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <kel/kel.h>

namespace {

const int N = 4096, C = 3, T = 128;
const size_t tileBytes = size_t(T) * T * C * sizeof(float);
const size_t dataBytes = size_t(N) * N * C * sizeof(float);
const off_t dataOffset = 80; // the header; no user area

std::string scratch(const char* name)
{
    const char* dir = getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

double now()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// Values of the range of 8-bit data, different in every tile.
std::vector<float> tilePattern(int tx, int ty)
{
    std::vector<float> tile(size_t(T) * T * C);
    for (size_t i = 0; i < tile.size(); ++i)
        tile[i] = float((i * 7 + size_t(tx) * 31 + size_t(ty) * 17) % 256) + 0.25f;
    return tile;
}

kelFile* createFit(const std::string& path)
{
    const kelSize size(N, N, 1, C), page(T, T, 1, C);
    kelFileConfig cfg(&size, kelFloat, kelInterleaved, kelRGB, kelUpperLeftOrigin, kelNoCompression, &page);
    kelStatus st = 0;
    kelFile* f = kelFile::create((path + "#FIT").c_str(), nullptr, &cfg, nullptr, &st);
    if (!f)
        abort();
    return f;
}

// Written once per run, then read from the page cache.
const std::string& imageFile()
{
    static const std::string path = [] {
        std::string p = scratch("kel_fit_bench.fit");
        kelFile* f = createFit(p);
        for (int y = 0; y < N; y += T)
            for (int x = 0; x < N; x += T)
                if (f->setTile(x, y, 0, T, T, 1, tilePattern(x, y).data()) != kelOKAY)
                    abort();
        if (f->close() != kelOKAY)
            abort();
        // Written back now, so that the write-back does not run during the
        // measurements; the pages stay in the page cache.
        int fd = open(p.c_str(), O_RDONLY);
        if (fd < 0 || fsync(fd) != 0 || close(fd) != 0)
            abort();
        return p;
    }();
    return path;
}

// Runs `op` on the origin of every tile, row by row, until one fails.
template <class Op>
kelStatus everyTile(Op op)
{
    kelStatus st = kelOKAY;
    for (int y = 0; y < N && st == kelOKAY; y += T)
        for (int x = 0; x < N && st == kelOKAY; x += T)
            st = op(x, y);
    return st;
}

// Times one plain transfer and then one tile pass in every iteration; the
// counter is the plain transfer's time divided by the tile pass's.
template <class Plain, class Tiles>
void compare(benchmark::State& state, const char* counter, Plain plain, Tiles tiles)
{
    double plainTime = 0, tileTime = 0;
    for (auto _ : state) {
        double t0 = now();
        if (!plain()) {
            state.SkipWithError("the plain transfer failed");
            break;
        }
        benchmark::ClobberMemory();
        double t1 = now();
        kelStatus st = everyTile(tiles);
        benchmark::ClobberMemory();
        double t2 = now();
        if (st != kelOKAY) {
            state.SkipWithError("a tile transfer failed");
            break;
        }
        plainTime += t1 - t0;
        tileTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(dataBytes));
    state.counters[counter] = plainTime / tileTime;
}

void readTiles(benchmark::State& state, const kelConfig* config, size_t callerTileBytes)
{
    kelStatus st = 0;
    kelFile* file = kelFile::open(imageFile().c_str(), O_RDONLY, &st);
    int fd = open(imageFile().c_str(), O_RDONLY);
    if (file && fd >= 0) {
        std::vector<unsigned char> all(dataBytes), tile(callerTileBytes);
        compare(
            state, "vs_read",
            [&] { return pread(fd, all.data(), dataBytes, dataOffset) == ssize_t(dataBytes); },
            [&](int x, int y) { return file->getTile(x, y, 0, T, T, 1, tile.data(), config); });
    } else {
        state.SkipWithError("cannot open the FIT file");
    }
    if (fd >= 0)
        close(fd);
    if (file)
        file->close();
}

// The file's own layout: each tile is one page, big-endian floats swapped.
void GetTileFileLayout(benchmark::State& state)
{
    readTiles(state, nullptr, tileBytes);
}

void GetTileToUChar(benchmark::State& state)
{
    kelConfig cfg(kelUChar, kelInterleaved, C, nullptr, 0, kelUpperLeftOrigin);
    readTiles(state, &cfg, tileBytes / sizeof(float));
}

// Each tile is one page; its floats go big-endian through a scratch page.
void SetTileFileLayout(benchmark::State& state)
{
    const std::string fitPath = scratch("kel_fit_bench_w.fit"), plainPath = scratch("kel_fit_bench_w.bin");
    kelFile* file = createFit(fitPath);
    int fd = open(plainPath.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        std::vector<unsigned char> all(dataBytes, 7);
        std::vector<float> tile = tilePattern(1, 2);
        compare(
            state, "vs_write",
            [&] { return pwrite(fd, all.data(), dataBytes, dataOffset) == ssize_t(dataBytes); },
            [&](int x, int y) { return file->setTile(x, y, 0, T, T, 1, tile.data()); });
        close(fd);
    } else {
        state.SkipWithError("cannot create the plain file");
    }
    file->close();
    unlink(plainPath.c_str());
    unlink(fitPath.c_str());
}

} // namespace

BENCHMARK(GetTileFileLayout)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GetTileToUChar)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SetTileFileLayout)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
