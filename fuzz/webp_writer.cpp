// Writing WebP files: the input decides the frames (up to three: size,
// color model, compression, place, duration, disposal, blend, the caller's
// layout and the pixels), the canvas, looping, background, the encoder's
// settings and the metadata. Read back, the metadata, looping, background,
// canvas and total duration come back as set, and a lossless "exact" still
// image pixel for pixel.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_image.h"

namespace {

#define check(cond) ((cond) ? (void)0 : fail(__LINE__, #cond))
[[noreturn]] void fail(int line, const char* what)
{
    fprintf(stderr, "webp_writer.cpp:%d: %s\n", line, what);
    abort();
}

// The metadata blocks: EXIF, XMP and (-1) the ICC profile.
const int blockTags[] = {kelWEBPexif, kelWEBPxmp, -1};

struct FileSettings {
    int quality, method, exact, width, height, loop;
    int background[4];
    std::vector<unsigned char> blocks[3];
};

FileSettings drawSettings(FuzzChoices& c)
{
    // Braced initializers are evaluated in order.
    FileSettings s = {int(c.pick(101)), int(c.pick(7)), int(c.pick(2)), c.pick(2) ? 0 : 1 + int(c.pick(64)),
                      c.pick(2) ? 0 : 1 + int(c.pick(64)), int(c.pick(4)), {}, {}};
    for (int& v : s.background)
        v = int(c.pick(256));
    for (auto& block : s.blocks) {
        block.resize(c.pick(40));
        for (auto& v : block)
            v = (unsigned char)c.pick(256);
    }
    return s;
}

void apply(kelFile* f, const FileSettings& s)
{
    const int ints[][2] = {{kelWEBPquality, s.quality}, {kelWEBPmethod, s.method}, {kelWEBPexact, s.exact},
                           {kelWEBPcanvasWidth, s.width}, {kelWEBPcanvasHeight, s.height}, {kelWEBPloopCount, s.loop}};
    for (const auto& item : ints)
        check(f->setItem(item[0], item[1]) == kelOKAY);
    const int* bg = s.background;
    check(f->setItem(kelWEBPbackground, bg[0], bg[1], bg[2], bg[3]) == kelOKAY);
    for (int i = 0; i < 3; i++) {
        const int n = int(s.blocks[i].size());
        const unsigned char* p = s.blocks[i].data();
        check((blockTags[i] < 0 ? f->setICCProfile(n, p) : f->setItem(blockTags[i], p, n)) == kelOKAY);
    }
}

std::vector<unsigned char> bytesItem(kelFile* f, int tag)
{
    const void* p = nullptr;
    int n = 0;
    if (tag < 0 ? f->getICCProfile(n, const_cast<void*&>(p)) != kelOKAY : f->getItem(tag, &p, &n) != kelOKAY)
        return {};
    return std::vector<unsigned char>(static_cast<const unsigned char*>(p), static_cast<const unsigned char*>(p) + n);
}

int intItem(kelFile* f, int tag)
{
    int v = -1;
    return f->getItem(tag, &v) == kelOKAY ? v : -1;
}

// One frame: its configuration, items and pixels. The first frame's
// configuration makes the file.
struct Frame {
    kelSize size;
    kelColorModel cm;
    kelCompression compression;
    int left, top, duration, dispose, blend;
};

Frame drawFrame(FuzzChoices& c)
{
    const int channels = 3 + int(c.pick(2));
    // Braced initializers are evaluated in order.
    return {kelSize(1 + int(c.pick(48)), 1 + int(c.pick(48)), 1, channels), channels == 4 ? kelRGBA : kelRGB,
            c.pick(2) ? kelWEBP : kelWEBPLossless, c.pick(2) ? 0 : int(c.pick(16)), c.pick(2) ? 0 : int(c.pick(16)),
            int(c.pick(300)), int(c.pick(4)), int(c.pick(2))};
}

// The pixels written, in `layout`.
std::vector<unsigned char> writeFrame(kelFile* f, const Frame& fr, FuzzLayout& layout, FuzzChoices& c)
{
    const int items[][2] = {{kelWEBPleft, fr.left}, {kelWEBPtop, fr.top}, {kelWEBPduration, fr.duration},
                            {kelWEBPdispose, fr.dispose}, {kelWEBPblend, fr.blend}};
    for (const auto& item : items)
        check(f->setItem(item[0], item[1]) == kelOKAY);
    layout.drawExact(c, kelUChar, fr.size.c);
    const std::vector<unsigned char> pixels = kelFuzzDrawPixels(c, kelUChar, kelFuzzImageBytes(kelUChar, fr.size));
    check(kelFuzzWriteImage(f, layout, pixels, c) == kelOKAY);
    return pixels;
}

// A lossless "exact" frame alone on a canvas of its size is stored as it is.
bool storedExactly(const FileSettings& s, const std::vector<Frame>& frames)
{
    const Frame& f = frames[0];
    return frames.size() == 1 && f.compression == kelWEBPLossless && s.exact && !f.left && !f.top &&
           (!s.width || s.width == f.size.x) && (!s.height || s.height == f.size.y);
}

void expect(kelFile* in, const FileSettings& s, const std::vector<Frame>& frames)
{
    for (int i = 0; i < 3; i++)
        check(bytesItem(in, blockTags[i]) == s.blocks[i]);
    check(intItem(in, kelWEBPcanvasWidth) == (s.width ? s.width : frames[0].left + frames[0].size.x));
    check(intItem(in, kelWEBPcanvasHeight) == (s.height ? s.height : frames[0].top + frames[0].size.y));
    // Frames that all look alike become one still image.
    if (frames.size() == 1 || intItem(in, kelWEBPloopCount) < 0)
        return;
    check(intItem(in, kelWEBPloopCount) == s.loop);
    int bg[4] = {-1, -1, -1, -1};
    check(in->getItem(kelWEBPbackground, &bg[0], &bg[1], &bg[2], &bg[3]) == kelOKAY);
    check(std::equal(bg, bg + 4, s.background));
    // The encoder may join frames that look alike: their durations add up.
    long long written = 0, read = 0;
    for (const Frame& f : frames)
        written += f.duration;
    for (int i = 0; i < in->getNumImgs(); i++) {
        check(in->setCurrentImg(i) == kelOKAY);
        read += intItem(in, kelWEBPduration);
    }
    check(read == written || (read == written + 1 && frames.back().duration == 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    const FileSettings settings = drawSettings(choices);
    std::vector<Frame> frames(1 + choices.pick(3));
    for (Frame& f : frames)
        f = drawFrame(choices);
    const std::string name = kelFuzzPath("written.webp");
    kelStatus sts = 0;
    kelFile* out = nullptr;
    FuzzLayout layout;
    std::vector<unsigned char> first;
    for (size_t i = 0; i < frames.size(); i++) {
        kelFileConfig cfg(&frames[i].size, kelUChar, kelInterleaved, frames[i].cm, kelUpperLeftOrigin,
                          frames[i].compression, nullptr);
        if (i == 0 && (out = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts)) != nullptr)
            apply(out, settings);
        check(out != nullptr && (i == 0 || out->appendImg(nullptr, &cfg) == kelOKAY));
        std::vector<unsigned char> pixels = writeFrame(out, frames[i], layout, choices);
        if (i == 0)
            first.swap(pixels);
    }
    check(out->close() == kelOKAY);

    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    check(in != nullptr);
    expect(in, settings, frames);
    in->close();
    if (storedExactly(settings, frames))
        check(kelFuzzReadBack(name, layout, first.size()) == first);
    return 0;
}
