// Tile access over 4096 x 4096 RGB unsigned char Raw files against plain
// transfers of the same bytes, all from and to files in the page cache:
// getTile against one pread of the file (followed by the plain conversion
// kernel over the whole image when the caller's layout differs), setTile
// against the plain conversion and one pwrite, and kelcp to separate float
// pages against a read, the conversion and a write. Every iteration times
// the plain transfer and then kel's; the counter vs_plain is the plain
// transfer's time divided by kel's (1.0: as fast). Times are CPU times of
// this thread (of the child process for kelcp). Run with KEL_DATABASE
// naming the build's database, e.g.
//   KEL_DATABASE=build-bench/lib/kel_database0 build-bench/bin/tile_bench --benchmark_repetitions=5
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <kel/kel.h>

#include "bench_support.h"
#include "plain_kernels.h"

namespace {

const int N = 4096, C = 3;
const size_t imageBytes = size_t(N) * N * C;
const char* const wholeArgs = "%size=4096,4096,1,3";
const char* const pagedArgs = "%size=4096,4096,1,3 pagesize=256,256";
const char* const stripArgs = "%size=4096,4096,1,3 pagesize=4096,256";

// Written once per run and to disk, so that write-back does not run during
// the measurements; the pages stay in the page cache.
void writeFile(const std::string& path, const std::vector<unsigned char>& data)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || write(fd, data.data(), data.size()) != ssize_t(data.size()) || fsync(fd) != 0 || close(fd) != 0)
        abort();
}

const std::string& imageFile()
{
    static const std::string path = [] {
        std::string p = bench::scratchPath("kel_tile_bench.raw");
        std::vector<unsigned char> data(imageBytes);
        for (size_t i = 0; i < imageBytes; ++i)
            data[i] = (unsigned char)(i * 31 + (i >> 12));
        writeFile(p, data);
        return p;
    }();
    return path;
}

// Times one plain transfer and then kel's in every iteration.
template <class Plain, class Kel>
void compare(benchmark::State& state, Plain plain, Kel kel)
{
    double plainTime = 0, kelTime = 0;
    for (auto _ : state) {
        double t0 = bench::now();
        bool ok = plain();
        benchmark::ClobberMemory();
        double t1 = bench::now();
        ok = kel() && ok;
        benchmark::ClobberMemory();
        double t2 = bench::now();
        if (!ok) {
            state.SkipWithError("a transfer failed");
            break;
        }
        plainTime += t1 - t0;
        kelTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(imageBytes));
    state.counters["vs_plain"] = plainTime / kelTime;
}

bool readAll(int fd, std::vector<unsigned char>& raw)
{
    return pread(fd, raw.data(), imageBytes, 0) == ssize_t(imageBytes);
}

bool writeAll(int fd, const std::vector<unsigned char>& raw)
{
    return pwrite(fd, raw.data(), raw.size(), 0) == ssize_t(raw.size());
}

// The caller's layout of the converted cases: separate unsigned shorts,
// upright, which the file (stored top row first) holds mirrored in y.
const kelConfig upright(kelUShort, kelSeparate, C, nullptr, 0, kelLowerLeftOrigin);
const size_t uprightBytes = 2 * imageBytes;

void toUpright(const std::vector<unsigned char>& raw, std::vector<unsigned char>& caller)
{
    bench::rgbToPlanes(raw.data(), reinterpret_cast<uint16_t*>(caller.data()), N, N, true);
}

void fromUpright(const std::vector<unsigned char>& caller, std::vector<unsigned char>& raw)
{
    bench::planesToRgb(reinterpret_cast<const uint16_t*>(caller.data()), raw.data(), N, N, true);
}

// getTile of the whole image with `config`; `convert` (or null) is the
// plain conversion of what the plain read gives into the caller's layout.
void get(benchmark::State& state, const char* args, const kelConfig* config, size_t callerBytes,
         void (*convert)(const std::vector<unsigned char>&, std::vector<unsigned char>&))
{
    kelStatus st = 0;
    kelFile* file = kelFile::open((imageFile() + "#Raw" + args).c_str(), O_RDONLY, &st);
    int fd = open(imageFile().c_str(), O_RDONLY);
    if (file && fd >= 0) {
        std::vector<unsigned char> raw(imageBytes), caller(callerBytes), plainOut(callerBytes);
        compare(
            state,
            [&] {
                bool ok = readAll(fd, raw);
                if (convert)
                    convert(raw, plainOut);
                return ok;
            },
            [&] { return file->getTile(0, 0, 0, N, N, 1, caller.data(), config) == kelOKAY; });
    } else {
        state.SkipWithError("cannot open the image");
    }
    if (fd >= 0)
        close(fd);
    if (file)
        file->close();
}

// setTile of the whole image with `config` into a paged Raw file, against
// the plain conversion of the caller's buffer (when `convert`) and a pwrite.
void set(benchmark::State& state, const char* args, const kelConfig* config, size_t callerBytes,
         void (*convert)(const std::vector<unsigned char>&, std::vector<unsigned char>&))
{
    const std::string kelPath = bench::scratchPath("kel_tile_bench_w.raw");
    const std::string plainPath = bench::scratchPath("kel_tile_bench_w.bin");
    std::vector<unsigned char> raw(imageBytes, 7), caller(callerBytes);
    for (size_t i = 0; i < callerBytes; ++i)
        caller[i] = (unsigned char)(i * 7 + (i >> 13));
    writeFile(kelPath, raw);
    writeFile(plainPath, raw);
    kelStatus st = 0;
    kelFile* file = kelFile::open((kelPath + "#Raw" + args).c_str(), O_RDWR, &st);
    int fd = open(plainPath.c_str(), O_WRONLY);
    if (file && fd >= 0) {
        compare(
            state,
            [&] {
                if (convert)
                    convert(caller, raw);
                return writeAll(fd, raw);
            },
            [&] { return file->setTile(0, 0, 0, N, N, 1, caller.data(), config) == kelOKAY; });
    } else {
        state.SkipWithError("cannot open the files to write");
    }
    if (fd >= 0)
        close(fd);
    if (file)
        file->close();
    unlink(kelPath.c_str());
    unlink(plainPath.c_str());
}

void GetTileOwnLayout(benchmark::State& state)
{
    get(state, wholeArgs, nullptr, imageBytes, nullptr);
}

void GetTilePaged(benchmark::State& state)
{
    get(state, pagedArgs, nullptr, imageBytes, nullptr);
}

void GetTilePagedConverted(benchmark::State& state)
{
    get(state, pagedArgs, &upright, uprightBytes, toUpright);
}

// Pages as wide as the image: their rows move straight between the file
// and the caller's buffer.
void GetTileStrips(benchmark::State& state)
{
    get(state, stripArgs, nullptr, imageBytes, nullptr);
}

void SetTileStrips(benchmark::State& state)
{
    set(state, stripArgs, nullptr, imageBytes, nullptr);
}

void SetTilePaged(benchmark::State& state)
{
    set(state, pagedArgs, nullptr, imageBytes, nullptr);
}

void SetTilePagedConverted(benchmark::State& state)
{
    set(state, pagedArgs, &upright, uprightBytes, fromUpright);
}

// kelcp of the whole-image Raw file to separate float pages of 256 x 256,
// against a read, the conversion to float planes and a write to a new file.
void KelcpToFloatPages(benchmark::State& state)
{
    const std::string out = bench::scratchPath("kel_tile_bench_cp.raw");
    const std::string plainOut = bench::scratchPath("kel_tile_bench_cp.bin");
    const std::vector<std::string> args = {
        KEL_KELCP_PATH, "-q", "--type", "float", "--order", "separate", "--page", "256x256",
        imageFile() + "#Raw" + wholeArgs, out + "#Raw"};
    int fd = open(imageFile().c_str(), O_RDONLY);
    std::vector<unsigned char> raw(imageBytes), planes(4 * imageBytes);
    double plainTime = 0, kelTime = 0;
    for (auto _ : state) {
        double t0 = bench::now();
        int outFd = open(plainOut.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        bool ok = readAll(fd, raw);
        bench::rgbToPlanes(raw.data(), reinterpret_cast<float*>(planes.data()), N, N, false);
        ok = writeAll(outFd, planes) && close(outFd) == 0 && ok;
        double t1 = bench::now();
        double kel = bench::childTime(args);
        if (!ok || kel < 0) {
            state.SkipWithError("a copy failed");
            break;
        }
        plainTime += t1 - t0;
        kelTime += kel;
        state.SetIterationTime(kel);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(imageBytes));
    state.counters["vs_plain"] = plainTime / kelTime;
    close(fd);
    unlink(out.c_str());
    unlink(plainOut.c_str());
}

} // namespace

BENCHMARK(GetTileOwnLayout)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GetTilePaged)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GetTilePagedConverted)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(GetTileStrips)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SetTileStrips)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SetTilePaged)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SetTilePagedConverted)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(KelcpToFloatPages)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
