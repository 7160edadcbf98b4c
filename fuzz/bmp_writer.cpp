// Writing BMP files: the input decides the size, palette, RGB or RGBA and
// the palette's length (hence the depth), the items, the caller's layout and
// the pixels. Read back, the pixels come back masked to the depth, and the
// palette and items as they were set.
#include <fcntl.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

namespace {

const int defaultResolution = 2925;

// What the file should hold: a new file's items start at the default
// resolutions and all its colors significant.
struct Settings {
    explicit Settings(int colors) : colors(colors), items{defaultResolution, defaultResolution, colors} {}
    int colors; // palette entries; 0 for RGB and RGBA
    int items[3];
};

int drawInt(FuzzChoices& c)
{
    unsigned v = 0;
    for (int i = 0; i < 4; i++)
        v = v << 8 | c.pick(256);
    return int(v & 0x7fffffff);
}

// The palette and the items, set as the input says; settings refused by
// the file are left as they were.
bool applySettings(kelFile* out, FuzzChoices& c, Settings& s, kelColormap& map)
{
    if (s.colors) {
        for (int i = 0; i < s.colors; i++)
            for (int ch = 0; ch < 3; ch++)
                map.setVal(c.pick(256), i, ch);
        if (out->setColormap(&map) != kelOKAY)
            return false;
    }
    const int tags[3] = {kelBMPHorizResolution, kelBMPVertResolution, kelBMPSignificantColors};
    for (int i = 0; i < 3; i++) {
        const int v = i < 2 ? drawInt(c) : int(c.pick(unsigned(s.colors) + 1));
        if (c.pick(2) && out->setItem(tags[i], v) == kelOKAY)
            s.items[i] = v;
    }
    return true;
}

int depthMask(int colors)
{
    return colors == 0 ? 0xff : colors <= 2 ? 1 : colors <= 16 ? 0x0f : 0xff;
}

// The palette and the items of the file written.
void checkSettings(const std::string& name, const Settings& s, const kelColormap& map)
{
    kelStatus sts = 0;
    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!in)
        abort();
    const int tags[3] = {kelBMPHorizResolution, kelBMPVertResolution, kelBMPSignificantColors};
    for (int i = 0; i < 3; i++) {
        int v = -1;
        if (in->getItem(tags[i], &v) != kelOKAY || v != s.items[i])
            abort();
    }
    const kelColormap* back = nullptr;
    in->getColormap(back);
    if (s.colors && (!back || back->getLength() != s.colors))
        abort();
    for (int i = 0; i < s.colors; i++)
        for (int ch = 0; ch < 3; ch++)
            if (back->getVal(i, ch) != map.getVal(i, ch))
                abort();
    in->close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    const int channelCounts[3] = {1, 3, 4};
    const kelSize image(1 + int(choices.pick(40)), 1 + int(choices.pick(40)), 1, channelCounts[choices.pick(3)]);
    Settings s(image.c == 1 ? 1 + int(choices.pick(256)) : 0);
    FuzzLayout layout;
    layout.drawExact(choices, kelUChar, image.c);

    const std::string name = kelFuzzPath("written.bmp") + "#BMP";
    const kelColorModel cm = s.colors ? kelRGBPalette : image.c == 4 ? kelRGBA : kelRGB;
    kelFileConfig cfg(&image, kelUChar, kelInterleaved, cm, kelLowerLeftOrigin);
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!out)
        abort();
    kelColormap map(3, kelUChar, 0, s.colors ? s.colors - 1 : 0);
    if (!applySettings(out, choices, s, map))
        abort();
    const size_t bytes = kelFuzzImageBytes(kelUChar, image);
    std::vector<unsigned char> pixels = kelFuzzDrawPixels(choices, kelUChar, bytes);
    if (kelFuzzWriteImage(out, layout, pixels, choices) != kelOKAY || out->close() != kelOKAY)
        abort();

    std::vector<unsigned char> back = kelFuzzReadBack(name, layout, bytes);
    const int mask = depthMask(s.colors);
    for (size_t i = 0; i < bytes; i++)
        if (back[i] != (pixels[i] & mask))
            abort();
    checkSettings(name, s, map);
    return 0;
}
