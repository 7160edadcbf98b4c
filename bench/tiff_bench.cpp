// TIFF reading and writing of an 8192 x 8192 RGB 8-bit image (192 MiB):
// tiled 256 x 256 uncompressed and Deflate, and in strips, through kel's
// public interface against libtiff called directly on the same files in
// the same iterations (TIFFReadEncodedTile/Strip and the Write forms, same
// codec), on files in the page cache. Counters: vs_libtiff is libtiff's
// time over kel's (1.0: as fast); over_pread, for random tiles, is kel's
// time for one 256 x 256 tile over one 192 KiB pread at a random offset
// of the file.
// Run with KEL_DATABASE naming the build's database, e.g.
//   KEL_DATABASE=build-bench/lib/kel_database0 build-bench/bin/tiff_bench
#include <fcntl.h>
#include <math.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <kel/kel.h>
#include <tiffio.h>

#include "bench_support.h"

namespace {

const int N = 8192, T = 256, C = 3;
const size_t imageBytes = size_t(N) * N * C, tileBytes = size_t(T) * T * C;

struct Kind {
    const char* name;
    bool tiled;
    int compression; // TIFF's
};
const Kind kinds[] = {{"tiled", true, COMPRESSION_NONE},
                      {"tiled_deflate", true, COMPRESSION_ADOBE_DEFLATE},
                      {"strips", false, COMPRESSION_NONE}};
// Strips of 16 rows (384 KiB): kel's own choice rounded to whole MCUs.
const int stripRows = 16;

const std::vector<unsigned char>& pixels()
{
    static const std::vector<unsigned char> p = [] {
        std::vector<unsigned char> v(imageBytes);
        unsigned seed = 1;
        for (size_t y = 0; y < size_t(N); ++y)
            for (size_t x = 0; x < size_t(N); ++x)
                for (size_t c = 0; c < C; ++c) {
                    seed = seed * 1103515245u + 12345u;
                    v[(y * N + x) * C + c] = (unsigned char)(128 + 60 * sin(double(x + 40 * c) / 97.0) *
                                                                       cos(double(y) / 131.0) +
                                                             double((seed >> 16) % 25));
                }
        return v;
    }();
    return p;
}

std::string scratch(const std::string& name)
{
    return bench::scratchPath(("kel_tiff_bench_" + name + ".tif").c_str());
}

// libtiff writing the image block by block in raster order.
bool writeLibtiff(const Kind& k, const std::string& path)
{
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, N);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, N);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, C);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, k.compression);
    const std::vector<unsigned char>& p = pixels();
    bool ok = true;
    if (k.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, T);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, T);
        std::vector<unsigned char> tile(tileBytes);
        for (int y = 0; y < N && ok; y += T)
            for (int x = 0; x < N && ok; x += T) {
                for (int r = 0; r < T; ++r)
                    memcpy(&tile[size_t(r) * T * C], &p[(size_t(y + r) * N + size_t(x)) * C], size_t(T) * C);
                ok = TIFFWriteEncodedTile(tif, TIFFComputeTile(tif, x, y, 0, 0), tile.data(), tmsize_t(tileBytes)) >= 0;
            }
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, stripRows);
        const size_t stripBytes = size_t(stripRows) * N * C;
        for (int s = 0; s < N / stripRows && ok; ++s)
            ok = TIFFWriteEncodedStrip(tif, uint32_t(s), const_cast<unsigned char*>(&p[size_t(s) * stripBytes]),
                                       tmsize_t(stripBytes)) >= 0;
    }
    TIFFClose(tif);
    return ok;
}

bool writeKel(const Kind& k, const std::string& path)
{
    kelSize dims(N, N, 1, C), page(k.tiled ? T : N, k.tiled ? T : stripRows, 1, C);
    kelFileConfig cfg(&dims, kelUChar, kelInterleaved, kelRGB, kelUpperLeftOrigin,
                      k.compression == COMPRESSION_NONE ? kelNoCompression : kelZIP, &page);
    kelStatus sts = 0;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f)
        return false;
    sts = f->setTile(0, 0, 0, N, N, 1, pixels().data());
    return f->close() == kelOKAY && sts == kelOKAY;
}

// libtiff reading the box (x, y, T x T) or the whole image (n == N) into
// `out`, block by block, as an application assembles an image.
bool readLibtiff(TIFF* tif, const Kind& k, int x0, int y0, int n, unsigned char* out, std::vector<unsigned char>& block)
{
    const int bw = k.tiled ? T : N, bh = k.tiled ? T : stripRows;
    for (int by = y0 / bh * bh; by < y0 + n; by += bh)
        for (int bx = x0 / bw * bw; bx < x0 + n; bx += bw) {
            const tmsize_t got = k.tiled ? TIFFReadEncodedTile(tif, TIFFComputeTile(tif, bx, by, 0, 0), block.data(),
                                                               tmsize_t(block.size()))
                                         : TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, by, 0), block.data(),
                                                                tmsize_t(block.size()));
            if (got < 0)
                return false;
            const int cx = std::max(bx, x0), cy = std::max(by, y0);
            const int ex = std::min(bx + bw, x0 + n), ey = std::min(by + bh, y0 + n);
            for (int r = cy; r < ey; ++r)
                memcpy(out + (size_t(r - y0) * size_t(n) + size_t(cx - x0)) * C,
                       &block[(size_t(r - by) * size_t(bw) + size_t(cx - bx)) * C], size_t(ex - cx) * C);
        }
    return true;
}

size_t blockBytes(const Kind& k)
{
    return k.tiled ? tileBytes : size_t(stripRows) * N * C;
}

// The file the reads run on, written by libtiff; empty when it cannot be.
std::string input(benchmark::State& state, const Kind& k)
{
    const std::string path = scratch(std::string("read_") + k.name);
    if (writeLibtiff(k, path))
        return path;
    state.SkipWithError("libtiff cannot write the input");
    return "";
}

void ReadWhole(benchmark::State& state, int which)
{
    const Kind& k = kinds[which];
    const std::string path = input(state, k);
    std::vector<unsigned char> out(imageBytes), block(blockBytes(k));
    double kelTime = 0, tiffTime = 0;
    for (auto _ : state) {
        const double t0 = bench::now();
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        bool ok = tif && readLibtiff(tif, k, 0, 0, N, out.data(), block);
        if (tif)
            TIFFClose(tif);
        const double t1 = bench::now();
        kelFile* f = kelFile::open(path.c_str(), O_RDONLY, nullptr);
        ok = ok && f && f->getTile(0, 0, 0, N, N, 1, out.data()) == kelOKAY;
        ok = f && f->close() == kelOKAY && ok;
        const double t2 = bench::now();
        if (!ok || out != pixels()) {
            state.SkipWithError("reading failed");
            break;
        }
        tiffTime += t1 - t0;
        kelTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(imageBytes));
    state.counters["vs_libtiff"] = tiffTime / kelTime;
}

// 1000 tiles at random places (whole tiles of a tiled file), each read
// into a buffer of its own; and as many 192 KiB preads at random offsets.
void RandomTiles(benchmark::State& state, int which)
{
    const Kind& k = kinds[which];
    const std::string path = input(state, k);
    std::vector<unsigned char> out(tileBytes), block(blockBytes(k));
    const int count = 1000;
    double kelTime = 0, tiffTime = 0, preadTime = 0;
    for (auto _ : state) {
        std::mt19937 gen(7);
        std::vector<std::pair<int, int>> at;
        for (int i = 0; i < count; ++i) {
            const int x = int(gen() % unsigned(N - T + 1)), y = int(gen() % unsigned(N - T + 1));
            at.emplace_back(k.tiled ? x / T * T : x, k.tiled ? y / T * T : y);
        }
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        kelFile* f = kelFile::open(path.c_str(), O_RDONLY, nullptr);
        const int fd = open(path.c_str(), O_RDONLY);
        bool ok = tif && f && fd >= 0;
        const double t0 = bench::now();
        for (int i = 0; i < count && ok; ++i)
            ok = readLibtiff(tif, k, at[size_t(i)].first, at[size_t(i)].second, T, out.data(), block);
        const double t1 = bench::now();
        for (int i = 0; i < count && ok; ++i)
            ok = f->getTile(at[size_t(i)].first, at[size_t(i)].second, 0, T, T, 1, out.data()) == kelOKAY;
        const double t2 = bench::now();
        const off_t end = fd >= 0 ? lseek(fd, 0, SEEK_END) : 0;
        for (int i = 0; i < count && ok && end > off_t(tileBytes); ++i)
            ok = pread(fd, out.data(), tileBytes, off_t(gen() % size_t(end - off_t(tileBytes)))) == ssize_t(tileBytes);
        const double t3 = bench::now();
        if (tif)
            TIFFClose(tif);
        if (f)
            f->close();
        if (fd >= 0)
            close(fd);
        if (!ok) {
            state.SkipWithError("reading failed");
            break;
        }
        tiffTime += t1 - t0;
        kelTime += t2 - t1;
        preadTime += t3 - t2;
        state.SetIterationTime(t2 - t1);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * count);
    state.counters["vs_libtiff"] = tiffTime / kelTime;
    state.counters["over_pread"] = kelTime / preadTime;
}

void Write(benchmark::State& state, int which)
{
    const Kind& k = kinds[which];
    const std::string ours = scratch(std::string("kel_") + k.name), theirs = scratch(std::string("libtiff_") + k.name);
    double kelTime = 0, tiffTime = 0;
    for (auto _ : state) {
        const double t0 = bench::now();
        bool ok = writeLibtiff(k, theirs);
        const double t1 = bench::now();
        ok = writeKel(k, ours) && ok;
        const double t2 = bench::now();
        if (!ok) {
            state.SkipWithError("writing failed");
            break;
        }
        tiffTime += t1 - t0;
        kelTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(imageBytes));
    state.counters["vs_libtiff"] = tiffTime / kelTime;
}

void registerAll()
{
    pixels(); // made once, outside every timing
    for (int i = 0; i < 3; ++i) {
        const std::string name = kinds[i].name;
        benchmark::RegisterBenchmark(("ReadWhole/" + name).c_str(), ReadWhole, i)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("RandomTiles/" + name).c_str(), RandomTiles, i)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Write/" + name).c_str(), Write, i)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
