// JPEG decoding and encoding of a 4096 x 4096 photograph-like RGB image
// (4:2:0 and 4:4:4, baseline and progressive, quality 90) through kel's
// public interface, against libjpeg-turbo's own interface with the same
// settings and stb_image, each iteration timing them back to back on files
// in the page cache. Counters: vs_libjpeg and vs_stb are their time over
// kel's (1.0: as fast); tile_vs_whole is the time of a 256 x 256 tile at the
// lower right, and tiles_vs_whole that of every 256 x 256 tile in raster
// order, over one whole decode through kel (a fresh open each).
// Run with KEL_DATABASE naming the build's database, e.g.
//   KEL_DATABASE=build/lib/kel_database0 build/bin/jpeg_bench
#include <fcntl.h>
#include <math.h>
#include <stdio.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <kel/kel.h>

#ifdef KEL_HAVE_STB
#include <stb/stb_image.h>
#endif

#include "bench_support.h"

namespace {

const int N = 4096, T = 256;

struct Coding {
    const char* name;
    int subsampling; // kelJPEGsub420 or kelJPEGsub444
    int progressive;
};

const Coding codings[] = {{"420", kelJPEGsub420, 0},
                          {"444", kelJPEGsub444, 0},
                          {"420_progressive", kelJPEGsub420, 1},
                          {"444_progressive", kelJPEGsub444, 1}};

// Smooth shapes and grain, as a photograph has, a little different per channel.
const std::vector<unsigned char>& photo()
{
    static const std::vector<unsigned char> pixels = [] {
        std::vector<unsigned char> p(size_t(N) * N * 3);
        unsigned seed = 1;
        for (size_t i = 0; i < p.size(); i++) {
            const double x = double(i / 3 % N), y = double(i / 3 / N), c = double(i % 3);
            seed = seed * 1103515245u + 12345u;
            const double v = 128 + 60 * sin(x / (97.0 + 9 * c)) * cos(y / 131.0) + 40 * sin((x + y) / 53.0) +
                             double((seed >> 16) % 25) - 12.0;
            p[i] = (unsigned char)(v < 0 ? 0 : v > 255 ? 255 : v);
        }
        return p;
    }();
    return pixels;
}

std::string scratch(const Coding& c, const char* who)
{
    return bench::scratchPath((std::string("kel_jpeg_bench_") + who + "_" + c.name + ".jpg").c_str());
}

bool encodeKel(const Coding& c, const std::string& path)
{
    kelSize dims(N, N, 1, 3);
    kelFileConfig cfg(&dims, kelUChar, kelInterleaved, kelRGB, kelUpperLeftOrigin, kelJPEG);
    kelStatus sts = 0;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f)
        return false;
    f->setItem(kelJPEGquality, 90);
    f->setItem(kelJPEGsubsampling, c.subsampling);
    f->setItem(kelJPEGprogressive, c.progressive);
    sts = f->setTile(0, 0, 0, N, N, 1, photo().data());
    return f->close() == kelOKAY && sts == kelOKAY;
}

bool encodeDirect(const Coding& c, const std::string& path)
{
    FILE* out = fopen(path.c_str(), "wb");
    if (!out)
        return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, out);
    cinfo.image_width = cinfo.image_height = N;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    if (c.subsampling == kelJPEGsub444)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    if (c.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(photo().data()) + size_t(cinfo.next_scanline) * N * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return fclose(out) == 0;
}

bool decodeKel(const std::string& path, int x, int y, int n, int count, std::vector<unsigned char>& out)
{
    kelStatus sts = 0;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    if (!f)
        return false;
    // `count` x `count` boxes of n x n from (x, y), in raster order.
    for (int j = 0; j < count && sts == kelOKAY; j++)
        for (int i = 0; i < count && sts == kelOKAY; i++)
            sts = f->getTile(x + i * n, y + j * n, 0, n, n, 1, out.data());
    return f->close() == kelOKAY && sts == kelOKAY;
}

bool decodeDirect(const std::string& path, std::vector<unsigned char>& out)
{
    FILE* in = fopen(path.c_str(), "rb");
    if (!in)
        return false;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, in);
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + size_t(cinfo.output_scanline) * N * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    fclose(in);
    return true;
}

double decodeStb(const std::string& path)
{
#ifdef KEL_HAVE_STB
    const double t0 = bench::now();
    int w = 0, h = 0, n = 0;
    unsigned char* p = stbi_load(path.c_str(), &w, &h, &n, 3);
    const double t1 = bench::now();
    stbi_image_free(p);
    return p && w == N && h == N ? t1 - t0 : 0;
#else
    (void)path;
    return 0;
#endif
}

void Decode(benchmark::State& state, Coding c)
{
    const std::string path = scratch(c, "decode");
    if (!encodeDirect(c, path)) {
        state.SkipWithError("libjpeg cannot write the input");
        return;
    }
    std::vector<unsigned char> ours(photo().size()), theirs(photo().size());
    double kelTime = 0, directTime = 0, stbTime = 0;
    for (auto _ : state) {
        const double t0 = bench::now();
        bool ok = decodeDirect(path, theirs);
        const double t1 = bench::now();
        ok = decodeKel(path, 0, 0, N, 1, ours) && ok;
        const double t2 = bench::now();
        stbTime += decodeStb(path);
        if (!ok || ours != theirs) {
            state.SkipWithError("the decodes differ");
            break;
        }
        directTime += t1 - t0;
        kelTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo().size()));
    state.counters["vs_libjpeg"] = directTime / kelTime;
    if (stbTime > 0)
        state.counters["vs_stb"] = stbTime / kelTime;
}

void Encode(benchmark::State& state, Coding c)
{
    const std::string ours = scratch(c, "kel"), theirs = scratch(c, "libjpeg");
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
    std::vector<unsigned char> a(photo().size()), b(photo().size());
    if (!decodeDirect(ours, a) || !decodeDirect(theirs, b) || a != b)
        state.SkipWithError("kel's file decodes to other pixels than libjpeg's");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(photo().size()));
    state.counters["vs_libjpeg"] = directTime / kelTime;
}

// One tile at the lower right, or every tile in raster order, against the
// whole image, each from a fresh open.
void Tiles(benchmark::State& state, Coding c, bool all)
{
    const std::string path = scratch(c, "tiles");
    if (!encodeDirect(c, path)) {
        state.SkipWithError("libjpeg cannot write the input");
        return;
    }
    std::vector<unsigned char> whole(photo().size()), tile(size_t(T) * T * 3);
    double tileTime = 0, wholeTime = 0;
    for (auto _ : state) {
        const double t0 = bench::now();
        bool ok = decodeKel(path, 0, 0, N, 1, whole);
        const double t1 = bench::now();
        ok = (all ? decodeKel(path, 0, 0, T, N / T, tile) : decodeKel(path, N - T, N - T, T, 1, tile)) && ok;
        const double t2 = bench::now();
        if (!ok) {
            state.SkipWithError("decoding failed");
            break;
        }
        wholeTime += t1 - t0;
        tileTime += t2 - t1;
        state.SetIterationTime(t2 - t1);
    }
    state.counters[all ? "tiles_vs_whole" : "tile_vs_whole"] = tileTime / wholeTime;
}

} // namespace

int main(int argc, char** argv)
{
    for (const Coding& c : codings) {
        const std::string name = c.name;
        benchmark::RegisterBenchmark(("decode_" + name).c_str(), Decode, c)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode_" + name).c_str(), Encode, c)->UseManualTime()->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("tile_lower_right_" + name).c_str(), Tiles, c, false)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("tiles_raster_" + name).c_str(), Tiles, c, true)
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
