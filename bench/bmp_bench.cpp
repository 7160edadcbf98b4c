// Reading and writing 4096 x 4096 BMP files (24-bit RGB and 8-bit palette)
// through kel's public interface, against stb_image / stb_image_write and
// a plain read or write of the same bytes, all from and to files in the page
// cache. Each iteration times kel, stb and the plain transfer back to back;
// the counters are ratios of throughput: vs_stb = stb's time / kel's time
// (above 1: kel is faster), vs_plain = plain time / kel's time. Run with
// KEL_DATABASE naming the build's database, e.g.
//   KEL_DATABASE=build-bench/lib/kel_database0 build-bench/bin/bmp_bench --benchmark_repetitions=5
#include <fcntl.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <kel/kel.h>

#ifdef KEL_HAVE_STB
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#endif

namespace {

const int N = 4096;

std::string scratchPath(const char* name)
{
    const char* dir = getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/kel_bmp_bench_" + name;
}

// CPU time of this thread, system time included: the machine is shared.
double now()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

struct Image {
    int channels;
    std::vector<unsigned char> pixels; // top row first
};

const Image& image(int channels)
{
    static Image rgb{3, {}}, pal{1, {}};
    Image& im = channels == 3 ? rgb : pal;
    if (im.pixels.empty()) {
        im.pixels.resize(size_t(N) * N * channels);
        for (size_t i = 0; i < im.pixels.size(); i++)
            im.pixels[i] = (unsigned char)(i * 31 + (i >> 12));
    }
    return im;
}

kelConfig topDown(int channels)
{
    return kelConfig(kelUChar, kelInterleaved, channels, nullptr, 0, kelUpperLeftOrigin);
}

// Writes the image as a BMP file through kel; `layout` null: the file's own.
bool kelWrite(const std::string& path, const Image& im, const kelConfig* layout)
{
    kelSize size(N, N, 1, im.channels);
    kelFileConfig cfg(&size);
    kelStatus sts = 0;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f)
        return false;
    if (im.channels == 1) {
        kelColormap map(3, kelUChar, 0, 255);
        for (int i = 0; i < 256; i++)
            for (int c = 0; c < 3; c++)
                map.setVal((i * (c + 1)) & 0xff, i, c);
        sts = f->setColormap(&map);
    }
    if (sts == kelOKAY)
        sts = f->setTile(0, 0, 0, N, N, 1, im.pixels.data(), layout);
    kelStatus closed = f->close();
    return sts == kelOKAY && closed == kelOKAY;
}

bool kelRead(const std::string& path, std::vector<unsigned char>& buf, const kelConfig* layout)
{
    kelStatus sts = 0;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    if (!f)
        return false;
    sts = f->getTile(0, 0, 0, N, N, 1, buf.data(), layout);
    f->close();
    return sts == kelOKAY;
}

const std::string& sourceFile(int channels)
{
    static std::string paths[2];
    std::string& p = paths[channels == 3];
    if (p.empty()) {
        p = scratchPath(channels == 3 ? "rgb24.bmp" : "pal8.bmp");
        if (!kelWrite(p, image(channels), nullptr))
            abort();
    }
    return p;
}

bool plainRead(const std::string& path, std::vector<unsigned char>& buf)
{
    int fd = open(path.c_str(), O_RDONLY);
    ssize_t n = fd < 0 ? -1 : pread(fd, buf.data(), buf.size(), 0);
    if (fd >= 0)
        close(fd);
    return n == ssize_t(buf.size());
}

bool plainWrite(const std::string& path, const std::vector<unsigned char>& buf)
{
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t n = fd < 0 ? -1 : write(fd, buf.data(), buf.size());
    return close(fd) == 0 && n == ssize_t(buf.size());
}

off_t fileSize(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY);
    off_t n = lseek(fd, 0, SEEK_END);
    close(fd);
    return n;
}

// stb_image gives 3 channels for both files: it expands palettes.
bool stbRead(const std::string& path)
{
#ifdef KEL_HAVE_STB
    int w, h, n;
    unsigned char* p = stbi_load(path.c_str(), &w, &h, &n, 0);
    benchmark::DoNotOptimize(p);
    stbi_image_free(p);
    return p != nullptr;
#else
    (void)path;
    return true;
#endif
}

// stb_image_write has no palette files: one channel goes out as 24-bit gray.
bool stbWrite(const std::string& path, const Image& im)
{
#ifdef KEL_HAVE_STB
    return stbi_write_bmp(path.c_str(), N, N, im.channels, im.pixels.data()) != 0;
#else
    (void)path;
    (void)im;
    return true;
#endif
}

// Times kel, stb and the plain transfer back to back in every iteration;
// manual time is kel's.
template <class Kel, class Stb, class Plain>
void measure(benchmark::State& state, size_t bytes, Kel kel, Stb stb, Plain plain)
{
    double kelTime = 0, stbTime = 0, plainTime = 0;
    for (auto _ : state) {
        double t0 = now();
        bool ok = kel();
        double t1 = now();
        ok = stb() && ok;
        double t2 = now();
        ok = plain() && ok;
        double t3 = now();
        if (!ok) {
            state.SkipWithError("a transfer failed");
            break;
        }
        kelTime += t1 - t0;
        stbTime += t2 - t1;
        plainTime += t3 - t2;
        state.SetIterationTime(t1 - t0);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes));
#ifdef KEL_HAVE_STB
    state.counters["vs_stb"] = stbTime / kelTime;
#endif
    state.counters["vs_plain"] = plainTime / kelTime;
}

void Read(benchmark::State& state, int channels, bool upright)
{
    const std::string& path = sourceFile(channels);
    const kelConfig layout = topDown(channels);
    std::vector<unsigned char> pixels(size_t(N) * N * channels), raw(size_t(fileSize(path)));
    measure(
        state, raw.size(), [&] { return kelRead(path, pixels, upright ? &layout : nullptr); },
        [&] { return stbRead(path); }, [&] { return plainRead(path, raw); });
}

void Write(benchmark::State& state, int channels, bool upright)
{
    const Image& im = image(channels);
    const kelConfig layout = topDown(channels);
    const std::string kelPath = scratchPath("kel_out.bmp"), stbPath = scratchPath("stb_out.bmp"),
                      plainPath = scratchPath("plain_out.bmp");
    std::vector<unsigned char> raw(size_t(fileSize(sourceFile(channels))), 7);
    measure(
        state, raw.size(), [&] { return kelWrite(kelPath, im, upright ? &layout : nullptr); },
        [&] { return stbWrite(stbPath, im); }, [&] { return plainWrite(plainPath, raw); });
    for (const std::string& p : {kelPath, stbPath, plainPath})
        unlink(p.c_str());
}

void define(const char* name, void (*fn)(benchmark::State&, int, bool), int channels, bool upright)
{
    benchmark::RegisterBenchmark(name, fn, channels, upright)->UseManualTime()->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    define("read_rgb24_file_layout", Read, 3, false);
    define("read_rgb24_top_down", Read, 3, true);
    define("read_pal8_file_layout", Read, 1, false);
    define("read_pal8_top_down", Read, 1, true);
    define("write_rgb24_file_layout", Write, 3, false);
    define("write_rgb24_top_down", Write, 3, true);
    define("write_pal8_file_layout", Write, 1, false);
    define("write_pal8_top_down", Write, 1, true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    unlink(sourceFile(3).c_str());
    unlink(sourceFile(1).c_str());
    return 0;
}
