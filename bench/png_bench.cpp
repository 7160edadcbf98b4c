// PNG decoding and encoding of 4096 x 4096 images (RGB 8-bit, RGBA 16-bit
// and palette; photograph-like and flat) through kel's public interface,
// against libspng called directly and libpng in the same iterations, on
// files in the page cache. Counters: vs_libspng and vs_libpng are the
// references' time over kel's (1.0: as fast); tiled_over_whole is the time
// of reading by 256 x 256 tiles in raster order over one whole-image read
// (1.0: no extra cost); size_vs_libpng compares the files written at the
// same settings (zlib level 6, libpng's filters).
// Run with KEL_DATABASE naming the build's database, e.g.
//   KEL_DATABASE=build-bench/lib/kel_database0 build-bench/bin/png_bench
#include <fcntl.h>
#include <math.h>
#include <stdio.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <kel/kel.h>
#include <png.h>
#include <spng.h>

#include "bench_support.h"

namespace {

const int N = 4096;

struct Image {
    const char* name;
    int colorType; // PNG's: 2 RGB, 3 palette, 6 RGBA
    int depth;
    std::vector<unsigned char> pixels; // as kel and both libraries take them: 16-bit in host order
    std::vector<unsigned char> palette; // R, G, B of 256 entries

    int channels() const { return colorType == 2 ? 3 : colorType == 6 ? 4 : 1; }
    size_t rowBytes() const { return size_t(N) * size_t(channels()) * size_t(depth / 8); }
};

// Smooth shapes and grain as a photograph has, or flat areas of a few
// levels as a drawing has.
double level(int x, int y, int c, bool photo, unsigned& seed)
{
    if (!photo)
        return ((x / 512 + y / 384 + c) % 4) * 60.0 + 20.0;
    seed = seed * 1103515245u + 12345u;
    const double grain = double((seed >> 16) % 25) - 12.0;
    return 128 + 60 * sin((x + 40 * c) / 97.0) * cos(y / 131.0) + 40 * sin((x + y) / 53.0) + grain;
}

Image makeImage(const char* name, int colorType, int depth, bool photo)
{
    Image im{name, colorType, depth, {}, {}};
    im.pixels.resize(im.rowBytes() * N);
    unsigned seed = 1;
    const int channels = im.channels();
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
            for (int c = 0; c < channels; ++c) {
                const double v = std::min(255.0, std::max(0.0, level(x, y, c, photo, seed)));
                const size_t at = (size_t(y) * N + size_t(x)) * size_t(channels) + size_t(c);
                if (depth == 16) {
                    const uint16_t w = c == 3 ? uint16_t(65535 - y * 16) : uint16_t(v * 257);
                    memcpy(&im.pixels[2 * at], &w, 2);
                } else {
                    im.pixels[at] = (unsigned char)v;
                }
            }
    for (int i = 0; i < 256 && colorType == 3; ++i)
        im.palette.insert(im.palette.end(), {(unsigned char)i, (unsigned char)(255 - i), (unsigned char)(i / 2)});
    return im;
}

const Image& image(int which)
{
    static const Image images[] = {
        makeImage("rgb8_photo", 2, 8, true),      makeImage("rgb8_flat", 2, 8, false),
        makeImage("rgba16_photo", 6, 16, true),   makeImage("rgba16_flat", 6, 16, false),
        makeImage("palette_photo", 3, 8, true),   makeImage("palette_flat", 3, 8, false),
    };
    return images[which];
}

std::string scratch(const std::string& name)
{
    return bench::scratchPath(("kel_png_bench_" + name + ".png").c_str());
}

long long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

kelColorModel modelOf(const Image& im)
{
    return im.colorType == 2 ? kelRGB : im.colorType == 6 ? kelRGBA : kelRGBPalette;
}

bool encodeKel(const Image& im, const std::string& path)
{
    kelSize dims(N, N, 1, im.channels());
    kelFileConfig cfg(&dims, im.depth == 16 ? kelUShort : kelUChar, kelInterleaved, modelOf(im), kelUpperLeftOrigin);
    kelStatus sts = 0;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f)
        return false;
    if (im.colorType == 3) {
        kelColormap map(3, kelUChar, 0, 255);
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                map.setVal(im.palette[size_t(3 * i + c)], i, c);
        sts = f->setColormap(&map);
    }
    if (sts == kelOKAY)
        sts = f->setTile(0, 0, 0, N, N, 1, im.pixels.data());
    const kelStatus closed = f->close();
    return sts == kelOKAY && closed == kelOKAY;
}

bool encodeSpng(const Image& im, const std::string& path)
{
    FILE* fp = fopen(path.c_str(), "wb");
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_ihdr ihdr = {N, N, uint8_t(im.depth), uint8_t(im.colorType), 0, 0, 0};
    spng_plte plte = {};
    plte.n_entries = 256;
    for (int i = 0; i < 256; ++i)
        plte.entries[i] = {im.palette.empty() ? uint8_t(0) : im.palette[size_t(3 * i)],
                           im.palette.empty() ? uint8_t(0) : im.palette[size_t(3 * i + 1)],
                           im.palette.empty() ? uint8_t(0) : im.palette[size_t(3 * i + 2)], 255};
    bool ok = fp && ctx && spng_set_png_file(ctx, fp) == 0 && spng_set_ihdr(ctx, &ihdr) == 0 &&
              (im.colorType != 3 || spng_set_plte(ctx, &plte) == 0) &&
              spng_set_option(ctx, SPNG_IMG_COMPRESSION_LEVEL, 6) == 0 &&
              spng_encode_image(ctx, im.pixels.data(), im.pixels.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) == 0;
    spng_ctx_free(ctx);
    return fp && fclose(fp) == 0 && ok;
}

bool encodeLibpng(const Image& im, const std::string& path)
{
    FILE* fp = fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(N);
    for (int y = 0; y < N; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(&im.pixels[size_t(y) * im.rowBytes()]);
    if (!fp || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        if (fp)
            fclose(fp);
        return false;
    }
    png_init_io(png, fp);
    png_set_IHDR(png, info, N, N, im.depth, im.colorType, 0, 0, 0);
    if (im.colorType == 3)
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(im.palette.data()), 256);
    png_write_info(png, info);
    if (im.depth == 16)
        png_set_swap(png);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return fclose(fp) == 0;
}

bool decodeKel(const std::string& path, std::vector<unsigned char>& out, bool tiled)
{
    kelStatus sts = 0;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    if (!f)
        return false;
    kelSize s;
    f->getSize(s, kelUpperLeftOrigin);
    const size_t pixelBytes = out.size() / (size_t(N) * N);
    if (!tiled)
        sts = f->getTile(0, 0, 0, N, N, 1, out.data());
    std::vector<unsigned char> tile(size_t(256) * 256 * pixelBytes);
    for (int y = 0; tiled && y < N && sts == kelOKAY; y += 256)
        for (int x = 0; x < N && sts == kelOKAY; x += 256) {
            sts = f->getTile(x, y, 0, 256, 256, 1, tile.data());
            for (int r = 0; r < 256; ++r)
                memcpy(&out[(size_t(y + r) * N + size_t(x)) * pixelBytes], &tile[size_t(r) * 256 * pixelBytes],
                       256 * pixelBytes);
        }
    return f->close() == kelOKAY && sts == kelOKAY;
}

bool decodeSpng(const std::string& path, std::vector<unsigned char>& out)
{
    FILE* fp = fopen(path.c_str(), "rb");
    spng_ctx* ctx = spng_ctx_new(0);
    bool ok = fp && ctx && spng_set_png_file(ctx, fp) == 0 &&
              spng_decode_image(ctx, out.data(), out.size(), SPNG_FMT_PNG, 0) == 0;
    spng_ctx_free(ctx);
    if (fp)
        fclose(fp);
    return ok;
}

bool decodeLibpng(const std::string& path, std::vector<unsigned char>& out)
{
    FILE* fp = fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!fp || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        if (fp)
            fclose(fp);
        return false;
    }
    png_init_io(png, fp);
    png_read_info(png, info);
    if (png_get_bit_depth(png, info) == 16)
        png_set_swap(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    std::vector<png_bytep> rows(N);
    for (int y = 0; y < N; ++y)
        rows[size_t(y)] = &out[size_t(y) * rowBytes];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(fp);
    return true;
}

void Decode(benchmark::State& state, int which)
{
    const Image& im = image(which);
    const std::string path = scratch(std::string("decode_") + im.name);
    if (!encodeLibpng(im, path)) {
        state.SkipWithError("libpng cannot write the input");
        return;
    }
    std::vector<unsigned char> out(im.pixels.size());
    double kelTime = 0, tiledTime = 0, spngTime = 0, libpngTime = 0;
    for (auto _ : state) {
        bool ok = true;
        const double t0 = bench::now();
        ok = decodeSpng(path, out) && out == im.pixels && ok;
        const double t1 = bench::now();
        ok = decodeLibpng(path, out) && out == im.pixels && ok;
        const double t2 = bench::now();
        ok = decodeKel(path, out, true) && out == im.pixels && ok;
        const double t3 = bench::now();
        ok = decodeKel(path, out, false) && ok;
        const double t4 = bench::now();
        if (!ok || out != im.pixels) {
            state.SkipWithError("decoding failed");
            break;
        }
        spngTime += t1 - t0;
        libpngTime += t2 - t1;
        tiledTime += t3 - t2;
        kelTime += t4 - t3;
        state.SetIterationTime(t4 - t3);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(im.pixels.size()));
    state.counters["vs_libspng"] = spngTime / kelTime;
    state.counters["vs_libpng"] = libpngTime / kelTime;
    state.counters["tiled_over_whole"] = tiledTime / kelTime;
}

void Encode(benchmark::State& state, int which)
{
    const Image& im = image(which);
    const std::string ours = scratch(std::string("kel_") + im.name), spng = scratch(std::string("spng_") + im.name),
                      libpng = scratch(std::string("libpng_") + im.name);
    double kelTime = 0, spngTime = 0, libpngTime = 0;
    for (auto _ : state) {
        const double t0 = bench::now();
        bool ok = encodeSpng(im, spng);
        const double t1 = bench::now();
        ok = encodeLibpng(im, libpng) && ok;
        const double t2 = bench::now();
        ok = encodeKel(im, ours) && ok;
        const double t3 = bench::now();
        if (!ok) {
            state.SkipWithError("encoding failed");
            break;
        }
        spngTime += t1 - t0;
        libpngTime += t2 - t1;
        kelTime += t3 - t2;
        state.SetIterationTime(t3 - t2);
    }
    std::vector<unsigned char> check(im.pixels.size());
    if (!decodeSpng(ours, check) || check != im.pixels)
        state.SkipWithError("the file written does not read back");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(im.pixels.size()));
    state.counters["vs_libspng"] = spngTime / kelTime;
    state.counters["vs_libpng"] = libpngTime / kelTime;
    state.counters["size_vs_libpng"] = double(fileSize(ours)) / double(fileSize(libpng));
}

} // namespace

int main(int argc, char** argv)
{
    for (int which = 0; which < 6; ++which) {
        const std::string name = image(which).name;
        benchmark::RegisterBenchmark(("decode_" + name).c_str(), Decode, which)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode_" + name).c_str(), Encode, which)
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
