// getTile over Raw files against a plain read of the same bytes from the
// page cache. Run with KEL_DATABASE naming the build's database, e.g.
//   KEL_DATABASE=build/lib/kel_database0 build/bin/tile_bench
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <kel/kel.h>

namespace {

const int N = 4096, C = 3;
const size_t imageBytes = size_t(N) * N * C;

// A 4096 x 4096 RGB unsigned char image, written once per run.
const std::string& imageFile()
{
    static const std::string path = [] {
        const char* dir = getenv("TMPDIR");
        std::string p = std::string(dir && *dir ? dir : "/tmp") + "/kel_tile_bench.raw";
        std::vector<unsigned char> data(imageBytes);
        for (size_t i = 0; i < imageBytes; ++i)
            data[i] = (unsigned char)(i * 31 + (i >> 12));
        int fd = open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || write(fd, data.data(), imageBytes) != ssize_t(imageBytes) || close(fd) != 0)
            abort();
        return p;
    }();
    return path;
}

void PlainRead(benchmark::State& state)
{
    int fd = open(imageFile().c_str(), O_RDONLY);
    std::vector<unsigned char> buf(imageBytes);
    for (auto _ : state) {
        if (pread(fd, buf.data(), imageBytes, 0) != ssize_t(imageBytes)) {
            state.SkipWithError("short read");
            break;
        }
        benchmark::DoNotOptimize(buf.data());
    }
    close(fd);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(imageBytes));
}

// Reads the whole image with `config` from the image file opened with
// the Raw arguments `args`.
void wholeImage(benchmark::State& state, const char* args, const kelConfig* config, size_t callerBytes)
{
    kelStatus st = 0;
    kelFile* file = kelFile::open((imageFile() + "#Raw%" + args).c_str(), 0, &st);
    if (!file) {
        state.SkipWithError("cannot open the image as Raw");
        return;
    }
    std::vector<unsigned char> buf(callerBytes);
    for (auto _ : state) {
        if (file->getTile(0, 0, 0, N, N, 1, buf.data(), config) != kelOKAY) {
            state.SkipWithError("getTile failed");
            break;
        }
        benchmark::DoNotOptimize(buf.data());
    }
    file->close();
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(imageBytes));
}

// The file's own layout: one page, the whole image.
void GetTileOwnLayout(benchmark::State& state)
{
    wholeImage(state, "size=4096,4096,1,3", nullptr, imageBytes);
}

// Pages of 256 x 256 pass through the page buffer one by one.
void GetTilePaged(benchmark::State& state)
{
    wholeImage(state, "size=4096,4096,1,3 pagesize=256,256", nullptr, imageBytes);
}

// Pages of 256 x 256 converted to separate unsigned shorts, turned upright.
void GetTilePagedConverted(benchmark::State& state)
{
    kelConfig cfg(kelUShort, kelSeparate, C, nullptr, 0, kelLowerLeftOrigin);
    wholeImage(state, "size=4096,4096,1,3 pagesize=256,256", &cfg, 2 * imageBytes);
}

} // namespace

BENCHMARK(PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(GetTileOwnLayout)->Unit(benchmark::kMillisecond);
BENCHMARK(GetTilePaged)->Unit(benchmark::kMillisecond);
BENCHMARK(GetTilePagedConverted)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
