// WebP decoding and encoding of a 4096 x 4096 photograph-like RGB image and
// an RGBA graphic, lossy (quality 75) and lossless, method 4, through kel's
// public interface against libwebp's own with the same settings, each
// iteration timing them back to back on files in the page cache. Counter:
// vs_libwebp is libwebp's time over kel's (1.0: as fast).
// Run with KEL_DATABASE naming the build's database, e.g.
//   KEL_DATABASE=build/lib/kel_database0 build/bin/webp_bench
#include <fcntl.h>
#include <math.h>
#include <stdio.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <kel/kel.h>
#include <webp/decode.h>
#include <webp/encode.h>

#include "bench_support.h"

namespace {

const int N = 4096;

struct Case {
    const char* name;
    int channels;
    int lossless;
};

const Case cases[] = {{"photo_rgb_lossy", 3, 0},
                      {"photo_rgb_lossless", 3, 1},
                      {"graphic_rgba_lossy", 4, 0},
                      {"graphic_rgba_lossless", 4, 1}};

// Smooth shapes and grain, as a photograph has; or flat shapes with soft
// edges over transparency, as a graphic has.
std::vector<unsigned char> makePicture(int channels)
{
    std::vector<unsigned char> p(size_t(N) * N * size_t(channels));
    unsigned seed = 1;
    for (size_t i = 0; i < p.size(); i++) {
        const double x = double(i / size_t(channels) % N), y = double(i / size_t(channels) / N);
        const double c = double(i % size_t(channels));
        seed = seed * 1103515245u + 12345u;
        double v;
        if (channels == 3)
            v = 128 + 60 * sin(x / (97.0 + 9 * c)) * cos(y / 131.0) + 40 * sin((x + y) / 53.0) +
                double((seed >> 16) % 25) - 12.0;
        else if (c < 3)
            v = (int(x) / 256 + int(y) / 512 + int(c)) % 3 * 120.0;
        else
            v = 255 * (0.5 + sin(x / 300.0) * cos(y / 200.0));
        p[i] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
    }
    return p;
}

const std::vector<unsigned char>& picture(int channels)
{
    static const std::vector<unsigned char> rgb = makePicture(3), rgba = makePicture(4);
    return channels == 3 ? rgb : rgba;
}

std::string scratch(const Case& c, const char* who)
{
    return bench::scratchPath((std::string("kel_webp_bench_") + who + "_" + c.name + ".webp").c_str());
}

bool encodeKel(const Case& c, const std::string& path)
{
    kelSize dims(N, N, 1, c.channels);
    kelFileConfig cfg(&dims, kelUChar, kelInterleaved, c.channels == 4 ? kelRGBA : kelRGB, kelUpperLeftOrigin,
                      c.lossless ? kelWEBPLossless : kelWEBP);
    kelStatus sts = 0;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f)
        return false;
    f->setItem(kelWEBPquality, 75);
    f->setItem(kelWEBPmethod, 4);
    sts = f->setTile(0, 0, 0, N, N, 1, picture(c.channels).data());
    return f->close() == kelOKAY && sts == kelOKAY;
}

bool encodeDirect(const Case& c, const std::string& path)
{
    WebPConfig config;
    WebPPicture pic;
    if (!WebPConfigInit(&config) || !WebPPictureInit(&pic))
        return false;
    config.lossless = c.lossless;
    config.quality = 75;
    config.method = 4;
    pic.width = pic.height = N;
    pic.use_argb = c.lossless;
    const unsigned char* pixels = picture(c.channels).data();
    const int ok = c.channels == 4 ? WebPPictureImportRGBA(&pic, pixels, N * 4) : WebPPictureImportRGB(&pic, pixels, N * 3);
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    pic.writer = WebPMemoryWrite;
    pic.custom_ptr = &writer;
    bool done = ok && WebPEncode(&config, &pic);
    WebPPictureFree(&pic);
    FILE* out = fopen(path.c_str(), "wb");
    done = out && fwrite(writer.mem, 1, writer.size, out) == writer.size && done;
    WebPMemoryWriterClear(&writer);
    return out && fclose(out) == 0 && done;
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

bool decodeDirect(const Case& c, const std::string& path, std::vector<unsigned char>& out)
{
    FILE* in = fopen(path.c_str(), "rb");
    if (!in)
        return false;
    std::vector<unsigned char> bytes;
    unsigned char buf[1 << 16];
    for (size_t n; (n = fread(buf, 1, sizeof buf, in)) > 0;)
        bytes.insert(bytes.end(), buf, buf + n);
    fclose(in);
    const size_t stride = size_t(N) * size_t(c.channels);
    return c.channels == 4 ? WebPDecodeRGBAInto(bytes.data(), bytes.size(), out.data(), out.size(), int(stride))
                           : WebPDecodeRGBInto(bytes.data(), bytes.size(), out.data(), out.size(), int(stride));
}

void Decode(benchmark::State& state, Case c)
{
    const std::string path = scratch(c, "decode");
    if (!encodeDirect(c, path)) {
        state.SkipWithError("libwebp cannot write the input");
        return;
    }
    std::vector<unsigned char> ours(picture(c.channels).size()), theirs(ours.size());
    double kelTime = 0, directTime = 0;
    for (auto _ : state) {
        const double t0 = bench::now();
        bool ok = decodeDirect(c, path, theirs);
        const double t1 = bench::now();
        ok = decodeKel(path, ours) && ok;
        const double t2 = bench::now();
        if (!ok || ours != theirs) {
            state.SkipWithError("the decodes differ");
            break;
        }
        directTime += t1 - t0;
        kelTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(ours.size()));
    state.counters["vs_libwebp"] = directTime / kelTime;
}

void Encode(benchmark::State& state, Case c)
{
    const std::string ours = scratch(c, "kel"), theirs = scratch(c, "libwebp");
    double kelTime = 0, directTime = 0;
    for (auto _ : state) {
        const double t0 = bench::now();
        bool ok = encodeDirect(c, theirs);
        const double t1 = bench::now();
        ok = encodeKel(c, ours) && ok;
        const double t2 = bench::now();
        if (!ok) {
            state.SkipWithError("encoding failed");
            break;
        }
        directTime += t1 - t0;
        kelTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    std::vector<unsigned char> a(picture(c.channels).size()), b(a.size());
    if (!decodeDirect(c, ours, a) || !decodeDirect(c, theirs, b) || a != b)
        state.SkipWithError("kel's file decodes to other pixels than libwebp's");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(a.size()));
    state.counters["vs_libwebp"] = directTime / kelTime;
}

} // namespace

int main(int argc, char** argv)
{
    for (const Case& c : cases) {
        const std::string name = c.name;
        benchmark::RegisterBenchmark(("decode_" + name).c_str(), Decode, c)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode_" + name).c_str(), Encode, c)->UseManualTime()->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
