// Quantization to 256 colors, undithered, against Pillow's quantize(256)
// (median cut), ImageMagick's -colors 256 and pngquant: PSNR against the
// source (R, G, B) and CPU time. kel runs as kelcp writes a palette PNG,
// as the peers do (process start, PNG reading and writing included), and
// in the process (the quantizer and the mapping alone). A program run by
// hand; the images are made here (photo-like and flat graphics, the same
// every run), and any PNG, JPEG or BMP files named on the command line are
// measured too:
//   KEL_DATABASE=build/lib/kel_database0 build/bin/quantize_bench [PHOTO...]
#include <math.h>
#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>

#include <kel/kel.h>

#include "bench_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Picture {
    std::string name;
    int width = 0, height = 0;
    Bytes rgb;
};

unsigned char byte(double v)
{
    return (unsigned char)lrint(fmin(255, fmax(0, v)));
}

// Smooth shading of several frequencies, soft disks and grain.
Picture photo()
{
    Picture p{"photo-like", 512, 384, {}};
    unsigned seed = 7;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            seed = seed * 1103515245u + 12345u;
            double grain = double(seed >> 16 & 7) - 3.5;
            double d = hypot(x - 300, y - 180) / 90, disk = d < 1 ? 1 - d * d : 0;
            double r = 120 + 70 * sin(x / 47.0) * cos(y / 31.0) + 90 * disk + grain;
            double g = 110 + 60 * sin((x + y) / 53.0) + 40 * cos(x / 9.0 + y / 70.0) + grain;
            double b = 90 + 80 * cos(y / 41.0 - x / 97.0) + 60 * disk + grain;
            for (double v : {r, g, b})
                p.rgb.push_back(byte(v));
        }
    return p;
}

// Wide gradients that band when colors run short.
Picture gradient()
{
    Picture p{"gradient", 512, 384, {}};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            for (double v : {x / 2.0, y / 1.5, 255 - (x + y) / 3.5})
                p.rgb.push_back(byte(v));
    return p;
}

// Flat areas of a dozen colors with anti-aliased edges, as in a chart or a
// user interface: few colors, and the blends between them.
Picture flat()
{
    Picture p{"flat graphics", 512, 384, {}};
    const double palette[12][3] = {{250, 250, 250}, {30, 30, 40},   {220, 60, 50},  {40, 120, 220},
                                   {60, 180, 90},  {240, 200, 40}, {150, 80, 200}, {20, 160, 170},
                                   {200, 200, 210}, {250, 140, 30}, {100, 100, 110}, {230, 110, 160}};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const double* base = palette[(x / 128 + y / 96 * 4) % 12];
            double d = hypot(x % 128 - 64, y % 96 - 48) - 30, cover = fmin(1, fmax(0, 0.5 - d));
            const double* disk = palette[(x / 128 + y / 96 + 5) % 12];
            for (int c = 0; c < 3; ++c)
                p.rgb.push_back(byte(base[c] * (1 - cover) + disk[c] * cover));
        }
    return p;
}

// R, G, B of the first image of a file; a palette image through its colormap.
bool readRGB(const std::string& path, Picture& p)
{
    kelStatus sts = kelOKAY;
    std::unique_ptr<kelFile, void (*)(kelFile*)> f(kelFile::open(path.c_str(), O_RDONLY, &sts),
                                                    [](kelFile* f) { f->close(); });
    if (!f)
        return false;
    kelSize s;
    f->getSize(s, kelUpperLeftOrigin);
    p.width = s.x;
    p.height = s.y;
    const size_t n = size_t(s.x) * size_t(s.y);
    const kelColormap* map = nullptr;
    if (f->getColorModel() == kelRGBPalette && f->getColormap(map) == kelOKAY && map) {
        std::vector<int> idx(n);
        kelConfig asIndices(kelInt, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
        if (f->getTile(0, 0, 0, s.x, s.y, 1, idx.data(), &asIndices) != kelOKAY)
            return false;
        p.rgb.clear();
        for (int i : idx)
            for (int c = 0; c < 3; ++c)
                p.rgb.push_back(byte(map->getVal(i, c)));
        return true;
    }
    int chans[3] = {0, s.c > 1 ? 1 : 0, s.c > 2 ? 2 : 0};
    kelConfig rgb(kelUChar, kelInterleaved, 3, chans, 0, kelUpperLeftOrigin);
    p.rgb.resize(n * 3);
    return f->getTile(0, 0, 0, s.x, s.y, 1, p.rgb.data(), &rgb) == kelOKAY;
}

bool writePNG(const Picture& p, const std::string& path)
{
    kelSize size(p.width, p.height, 1, 3);
    kelFileConfig cfg(&size, kelUChar, kelInterleaved, kelRGB, kelUpperLeftOrigin);
    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::create((path + "#PNG").c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f)
        return false;
    kelConfig rgb(kelUChar, kelInterleaved, 3, nullptr, 0, kelUpperLeftOrigin);
    sts = f->setTile(0, 0, 0, p.width, p.height, 1, p.rgb.data(), &rgb);
    return f->close() == kelOKAY && sts == kelOKAY;
}

double psnr(const Picture& a, const Picture& b)
{
    if (a.rgb.size() != b.rgb.size())
        return -1;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i)
        sum += (double(a.rgb[i]) - b.rgb[i]) * (double(a.rgb[i]) - b.rgb[i]);
    return sum ? 10 * log10(255.0 * 255 * double(a.rgb.size()) / sum) : 99;
}

// The quantizer and the undithered mapping, in this process.
double quantizeInProcess(const Picture& p)
{
    double t0 = bench::now();
    kelQuantizer q(256);
    q.addPixels(p.rgb.data(), kelUChar, 3, p.rgb.size() / 3);
    q.build();
    Bytes indices(size_t(p.width) * size_t(p.height));
    kelDither(q, kelDitherNone, p.width).mapRows(p.rgb.data(), kelUChar, 3, p.height, indices.data());
    return bench::now() - t0;
}

struct Peer {
    const char* name;
    std::vector<std::string> (*args)(const std::string& in, const std::string& out);
};

const Peer peers[] = {
    {"kelcp", [](const std::string& in, const std::string& out) -> std::vector<std::string> {
         return {KEL_KELCP_PATH, "-q", "--colormodel", "palette", "--dither", "none", in, out + "#PNG"};
     }},
    {"Pillow", [](const std::string& in, const std::string& out) -> std::vector<std::string> {
         return {"/usr/bin/python3", "-c",
                 "import sys; from PIL import Image; Image.open(sys.argv[1]).quantize(256).save(sys.argv[2])", in, out};
     }},
    {"ImageMagick", [](const std::string& in, const std::string& out) -> std::vector<std::string> {
         return {"/usr/bin/convert", in, "+dither", "-colors", "256", out};
     }},
    {"pngquant", [](const std::string& in, const std::string& out) -> std::vector<std::string> {
         return {"/usr/bin/pngquant", "--nofs", "-f", "-o", out, "256", in};
     }},
};

// The median of three runs' CPU times, and the PSNR of the result.
void measure(const Picture& p)
{
    const std::string in = bench::scratchPath("kel_quantize_in.png"), out = bench::scratchPath("kel_quantize_out.png");
    if (!writePNG(p, in)) {
        fprintf(stderr, "quantize_bench: cannot write %s\n", in.c_str());
        return;
    }
    std::string row = "| " + p.name + " | " + std::to_string(p.width) + " x " + std::to_string(p.height);
    for (const Peer& peer : peers) {
        double t[3];
        for (double& v : t)
            v = bench::childTime(peer.args(in, out));
        std::sort(t, t + 3);
        Picture back;
        char cell[64];
        if (t[0] < 0 || !readRGB(out, back))
            snprintf(cell, sizeof cell, " | failed");
        else
            snprintf(cell, sizeof cell, " | %.2f dB, %.0f ms", psnr(p, back), t[1] * 1000);
        row += cell;
    }
    double q[3] = {quantizeInProcess(p), quantizeInProcess(p), quantizeInProcess(p)};
    std::sort(q, q + 3);
    char cell[32];
    snprintf(cell, sizeof cell, " | %.0f ms |", q[1] * 1000);
    printf("%s%s\n", row.c_str(), cell);
}

} // namespace

int main(int argc, char** argv)
{
    printf("| image | size | kelcp | Pillow | ImageMagick | pngquant | kel in process |\n");
    printf("|---|---|---|---|---|---|---|\n");
    for (const Picture& p : {photo(), gradient(), flat()})
        measure(p);
    for (int i = 1; i < argc; ++i) {
        Picture p;
        p.name = argv[i];
        p.name = p.name.substr(p.name.rfind('/') + 1);
        if (readRGB(argv[i], p))
            measure(p);
        else
            fprintf(stderr, "quantize_bench: cannot read %s\n", argv[i]);
    }
    return 0;
}
