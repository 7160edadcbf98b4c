// Writing GIF files: the input decides the file's settings (logical
// screen, background, aspect, looping, global table, ICC profile) and up
// to four images (size, placement, table, transparency, interlace, timing,
// the caller's orientation and the pixels). Written, closed and read back,
// every pixel, every table entry as written and every item must come back.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

namespace {

// The protected ICC services, which the format's interface version keeps
// from callers.
struct ICCAccess : kelFile {
    static kelStatus get(kelFile* f, int& size, void*& profile)
    {
        return (f->*(&ICCAccess::_getICCProfile))(size, profile);
    }
    static kelStatus set(kelFile* f, int size, const void* profile)
    {
        return (f->*(&ICCAccess::_setICCProfile))(size, profile);
    }
};

// A failed expectation names itself and ends the run.
#define check(cond) ((cond) ? (void)0 : fail(__LINE__, #cond))
[[noreturn]] void fail(int line, const char* what)
{
    fprintf(stderr, "gif_writer.cpp:%d: %s\n", line, what);
    abort();
}

int drawWord(FuzzChoices& c)
{
    return int(c.pick(256)) | int(c.pick(256)) << 8;
}

// A table's colors, R, G, B per entry: the entries of the source, then 0 up
// to the power of two that GIF stores.
struct Table {
    std::vector<unsigned char> rgb;
    int entries = 0;
    int alphaZero = -1; // the entry whose alpha is 0, or -1

    kelColormap make() const
    {
        kelColormap map(alphaZero >= 0 ? 4 : 3, kelUChar, 0, entries - 1);
        for (int i = 0; i < entries; i++) {
            for (int c = 0; c < 3; c++)
                map.setVal(rgb[size_t(3 * i + c)], i, c);
            if (alphaZero >= 0)
                map.setVal(i == alphaZero ? 0 : 255, i, 3);
        }
        return map;
    }
    std::vector<unsigned char> stored() const
    {
        int n = 2;
        while (n < entries)
            n *= 2;
        std::vector<unsigned char> s(rgb);
        s.resize(size_t(3 * n), 0);
        return s;
    }
};

Table drawTable(FuzzChoices& c, bool alpha)
{
    Table t;
    t.entries = 1 + int(c.pick(256));
    for (int i = 0; i < 3 * t.entries; i++)
        t.rgb.push_back((unsigned char)c.pick(256));
    if (alpha && c.pick(2))
        t.alphaZero = int(c.pick(unsigned(t.entries)));
    return t;
}

std::vector<unsigned char> colors(const kelColormap* map)
{
    std::vector<unsigned char> rgb;
    for (int i = 0; map && i < map->getLength(); i++)
        for (int c = 0; c < 3; c++)
            rgb.push_back((unsigned char)map->getVal(i, c));
    return rgb;
}

struct Image {
    int width, height, left, top, delay, disposal, input, interlace;
    int trans; // as set; the alpha of a local table may choose one
    bool local;
    Table table;
    kelConfig layout;
    kelSize seen; // the box in the caller's orientation
    std::vector<unsigned char> pixels;
};

// Runs of one value, so that long strings and full tables occur too.
void drawPixels(FuzzChoices& c, Image& im, int entries)
{
    im.pixels.resize(size_t(im.width) * size_t(im.height));
    for (size_t i = 0; i < im.pixels.size();) {
        const unsigned char v = (unsigned char)c.pick(unsigned(entries));
        for (size_t run = 1 + c.pick(64); run > 0 && i < im.pixels.size(); run--)
            im.pixels[i++] = v;
    }
}

Image drawImage(FuzzChoices& c, const Table* global)
{
    Image im;
    im.width = 1 + int(c.pick(64));
    im.height = 1 + int(c.pick(64));
    im.left = drawWord(c);
    im.top = drawWord(c);
    im.delay = drawWord(c);
    im.disposal = int(c.pick(8));
    im.input = int(c.pick(2));
    im.interlace = int(c.pick(2));
    im.trans = c.pick(3) == 0 ? int(c.pick(256)) : -1;
    im.local = !global || c.pick(2);
    if (im.local)
        im.table = drawTable(c, true);
    const int entries = im.local ? im.table.entries : global->entries;
    im.layout = kelConfig(kelUChar, kelInterleaved, 1, nullptr, 0, kelOrientation(kelUpperLeftOrigin + int(c.pick(8))));
    drawPixels(c, im, entries);
    return im;
}

struct Settings {
    int screenWidth, screenHeight, background, aspect, loops;
    bool global;
    Table globalTable;
    std::vector<unsigned char> profile;
};

Settings drawSettings(FuzzChoices& c)
{
    Settings s;
    s.screenWidth = c.pick(2) ? drawWord(c) : 0;
    s.screenHeight = c.pick(2) ? drawWord(c) : 0;
    s.background = int(c.pick(256));
    s.aspect = int(c.pick(256));
    s.loops = c.pick(2) ? drawWord(c) + int(c.pick(2)) * 65536 : -1;
    s.global = c.pick(2);
    if (s.global)
        s.globalTable = drawTable(c, false);
    if (c.pick(4) == 0)
        s.profile.resize(c.pick(2) ? c.pick(8) : 1 + drawWord(c) % 1024);
    for (unsigned char& b : s.profile)
        b = (unsigned char)c.pick(256);
    return s;
}

void setFileItems(kelFile* f, const Settings& s)
{
    check(f->setItem(kelGIFscreenWidth, s.screenWidth) == kelOKAY);
    check(f->setItem(kelGIFscreenHeight, s.screenHeight) == kelOKAY);
    check(f->setItem(kelGIFbackgroundIndex, s.background) == kelOKAY);
    check(f->setItem(kelGIFaspectRatio, (s.aspect + 15) / 64.0) == kelOKAY);
    if (s.loops >= 0)
        check(f->setItem(kelGIFloopCount, s.loops) == kelOKAY);
    if (s.global) {
        const kelColormap map = s.globalTable.make();
        check(f->setItem(kelGIFglobalMap, &map) == kelOKAY);
    }
    if (!s.profile.empty())
        check(ICCAccess::set(f, int(s.profile.size()), s.profile.data()) == kelOKAY);
}

// The image's settings, table and pixels; the transparent index it ends with.
void writeImage(kelFile* f, Image& im)
{
    check(f->setItem(kelGIFleftPosition, im.left) == kelOKAY);
    check(f->setItem(kelGIFtopPosition, im.top) == kelOKAY);
    check(f->setItem(kelGIFdelayTime, im.delay) == kelOKAY);
    check(f->setItem(kelGIFdisposalMethod, im.disposal) == kelOKAY);
    check(f->setItem(kelGIFuserInput, im.input) == kelOKAY);
    check(f->setItem(kelGIFinterlace, im.interlace) == kelOKAY);
    check(f->setItem(kelGIFtransparentIndex, im.trans) == kelOKAY);
    if (im.local) {
        const kelColormap map = im.table.make();
        check(f->setColormap(&map) == kelOKAY);
        if (im.trans == -1)
            im.trans = im.table.alphaZero;
    }
    f->getSize(im.seen, im.layout.orientation);
    check(f->setTile(0, 0, 0, im.seen.x, im.seen.y, 1, im.pixels.data(), &im.layout) == kelOKAY);
}

int intItem(kelFile* f, int tag)
{
    int v = -12345;
    check(f->getItem(tag, &v) == kelOKAY);
    return v;
}

void expectFileItems(kelFile* f, const Settings& s, const Image& first)
{
    check(intItem(f, kelGIFscreenWidth) == (s.screenWidth ? s.screenWidth : first.width));
    check(intItem(f, kelGIFscreenHeight) == (s.screenHeight ? s.screenHeight : first.height));
    check(intItem(f, kelGIFbackgroundIndex) == s.background);
    float aspect = 0;
    const kelStatus sts = f->getItem(kelGIFaspectRatio, &aspect);
    check(s.aspect ? sts == kelOKAY && aspect == (s.aspect + 15) / 64.0f : sts == kelUNSUPPORTEDBYFILE);
    int loops = -1;
    check(f->getItem(kelGIFloopCount, &loops) == (s.loops >= 0 ? kelOKAY : kelUNSUPPORTEDBYFILE));
    check(loops == (s.loops > 65535 ? 65535 : s.loops));
    // The header holds the global table, or else the first image's.
    const kelColormap* global = nullptr;
    check(f->getItem(kelGIFglobalMap, &global) == kelOKAY);
    check(colors(global) == (s.global ? s.globalTable : first.table).stored());
    int size = 0;
    void* profile = nullptr;
    const kelStatus got = ICCAccess::get(f, size, profile);
    if (s.profile.empty())
        check(got == kelBADPARAMS);
    else
        check(got == kelOKAY && size_t(size) == s.profile.size() &&
              memcmp(profile, s.profile.data(), s.profile.size()) == 0);
}

void expectImage(kelFile* f, const Image& im, const Settings& s)
{
    kelSize size;
    f->getSize(size, f->getOrientation());
    check(size.x == im.width && size.y == im.height);
    check(intItem(f, kelGIFleftPosition) == im.left && intItem(f, kelGIFtopPosition) == im.top);
    check(intItem(f, kelGIFdelayTime) == im.delay && intItem(f, kelGIFdisposalMethod) == im.disposal);
    check(intItem(f, kelGIFuserInput) == im.input && intItem(f, kelGIFinterlace) == im.interlace);
    int trans = -1;
    check(f->getItem(kelGIFtransparentIndex, &trans) == (im.trans >= 0 ? kelOKAY : kelUNSUPPORTEDBYFILE));
    check(trans == im.trans);
    const kelColormap* map = nullptr;
    f->getColormap(map);
    check(colors(map) == (im.local ? im.table : s.globalTable).stored());
    check(map->getNumChans() == (im.trans >= 0 ? 4 : 3));
    if (im.trans >= 0 && im.trans < map->getLength())
        check(map->getVal(im.trans, 3) == 0);
    std::vector<unsigned char> back(im.pixels.size());
    check(f->getTile(0, 0, 0, im.seen.x, im.seen.y, 1, back.data(), &im.layout) == kelOKAY);
    check(back == im.pixels);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    const Settings settings = drawSettings(choices);
    std::vector<Image> images(1 + choices.pick(4));
    for (Image& im : images)
        im = drawImage(choices, settings.global ? &settings.globalTable : nullptr);

    const std::string name = kelFuzzPath("written.gif");
    kelSize dims(images[0].width, images[0].height, 1, 1);
    kelFileConfig cfg(&dims);
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
    check(out != nullptr);
    setFileItems(out, settings);
    for (size_t i = 0; i < images.size(); i++) {
        if (i > 0) {
            kelSize next(images[i].width, images[i].height, 1, 1);
            kelFileConfig nextCfg(&next);
            check(out->appendImg(nullptr, &nextCfg) == kelOKAY);
        }
        writeImage(out, images[i]);
    }
    check(out->close() == kelOKAY);

    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    check(in != nullptr && in->getNumImgs() == int(images.size()));
    expectFileItems(in, settings, images[0]);
    for (size_t i = 0; i < images.size(); i++) {
        check(in->setCurrentImg(int(i)) == kelOKAY);
        expectImage(in, images[i], settings);
    }
    in->close();
    return 0;
}
