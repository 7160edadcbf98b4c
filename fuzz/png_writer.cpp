// Writing PNG files: the input decides the color type and depth, the size,
// interlacing, the encoder's settings, the palette (with alpha), a gamma
// and a text, the caller's exact layout and the pixels (below the depth's
// limit), written whole or as two bands in either order. Read back, the
// pixels, the palette and the items come back as set.
#include <fcntl.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

namespace {

#define check(cond) ((cond) ? (void)0 : fail(__LINE__, #cond))
[[noreturn]] void fail(int line, const char* what)
{
    fprintf(stderr, "png_writer.cpp:%d: %s\n", line, what);
    abort();
}

struct Kind {
    kelColorModel model;
    kelDataType type;
    int depth;
};

const Kind kinds[] = {{kelLuminance, kelBit, 1},
                      {kelLuminance, kelUChar, 2},
                      {kelLuminance, kelUChar, 4},
                      {kelLuminance, kelUChar, 8},
                      {kelLuminance, kelUShort, 16},
                      {kelLuminanceAlpha, kelUChar, 8},
                      {kelLuminanceAlpha, kelUShort, 16},
                      {kelRGB, kelUChar, 8},
                      {kelRGB, kelUShort, 16},
                      {kelRGBA, kelUChar, 8},
                      {kelRGBA, kelUShort, 16},
                      {kelRGBPalette, kelUChar, 1},
                      {kelRGBPalette, kelUChar, 2},
                      {kelRGBPalette, kelUChar, 4},
                      {kelRGBPalette, kelUChar, 8}};

const char* const keywords[] = {"Title", "Comment", "Software", "Raw profile type exif", "A\xc3\xa9"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices c(data, size);
    const Kind& k = kinds[c.pick(sizeof kinds / sizeof kinds[0])];
    const int channels = k.model == kelRGBPalette ? 1 : kelColorModelChans(k.model);
    const kelSize image(1 + int(c.pick(300)), 1 + int(c.pick(300)), 1, channels);
    FuzzLayout layout;
    layout.drawExact(c, k.type, channels);

    const std::string name = kelFuzzPath("written.png") + "#PNG";
    kelFileConfig cfg(&image, k.type, kelInterleaved, k.model, kelUpperLeftOrigin);
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
    check(out != nullptr);
    const int entries = 1 + int(c.pick(1u << k.depth));
    kelColormap map(c.pick(2) ? 4 : 3, kelUChar, 0, entries - 1);
    for (int i = 0; i < entries; ++i)
        for (int ch = 0; ch < map.getNumChans(); ++ch)
            map.setVal(c.pick(256), i, ch);
    if (k.model == kelRGBPalette)
        check(out->setColormap(&map) == kelOKAY);
    check(out->setItem(kelPNGbitDepth, k.depth) == kelOKAY);
    check(out->setItem(kelPNGinterlace, int(c.pick(2))) == kelOKAY);
    check(out->setItem(kelPNGcompressionLevel, int(c.pick(10))) == kelOKAY);
    check(out->setItem(kelPNGfilter, int(c.pick(7))) == kelOKAY);
    const int gamma = 1 + int(c.pick(1 << 20));
    check(out->setItem(kelPNGgamma, gamma / 100000.0) == kelOKAY);
    std::string text;
    for (size_t n = c.pick(2) ? c.pick(2000) : c.pick(16); n > 0; --n)
        text += char(' ' + c.pick(95));
    const char* keyword = keywords[c.pick(sizeof keywords / sizeof keywords[0])];
    check(out->setItem(kelPNGtext, keyword, text.c_str()) == kelOKAY);

    const size_t bytes = layout.bytes(image);
    std::vector<unsigned char> pixels = kelFuzzDrawPixels(c, k.type, bytes);
    const unsigned limit = k.model == kelRGBPalette ? unsigned(entries) : k.depth < 8 ? 1u << k.depth : 256u;
    for (unsigned char& p : pixels)
        p = k.type == kelBit ? p : (unsigned char)(p % limit);
    check(kelFuzzWriteImage(out, layout, pixels, c) == kelOKAY);
    check(out->close() == kelOKAY);

    std::vector<unsigned char> back = kelFuzzReadBack(name, layout, bytes);
    check(kelFuzzSamePixels(k.type, size_t(image.x) * size_t(image.y) * size_t(channels), pixels.data(), back.data()));
    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    check(in != nullptr);
    double g = 0;
    check(in->getItem(kelPNGgamma, &g) == kelOKAY && lround(g * 100000.0) == gamma);
    const char* got = nullptr;
    check(text.empty() ? in->getItem(kelPNGtext, keyword, &got) == kelUNSUPPORTEDBYFILE
                       : in->getItem(kelPNGtext, keyword, &got) == kelOKAY && text == got);
    // Colors as set; alpha too, where an entry is not opaque.
    const kelColormap* palette = nullptr;
    in->getColormap(palette);
    for (int i = 0; k.model == kelRGBPalette && i < entries; ++i)
        for (int ch = 0; ch < 4; ++ch) {
            const double set = ch < map.getNumChans() ? map.getVal(i, ch) : 255.0;
            check((ch < palette->getNumChans() ? palette->getVal(i, ch) : 255.0) == set);
        }
    in->close();
    return 0;
}
