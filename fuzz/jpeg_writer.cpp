// Writing JPEG files: the input decides the image (color model, size, the
// file's orientation and page size), the coding settings, density, comment
// and ICC profile, the caller's layout and the pixels, written at once or as
// two bands in either order. Read back, the settings, orientation and
// profile come back as set, and the pixels of a file at quality 100 without
// chroma subsampling within a few levels of those written.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

namespace {

// JPEG at quality 100 rounds each coefficient; with the color transform
// that moves a sample by up to about 10 (random images measured 4).
const int tolerance = 12;

#define check(cond) ((cond) ? (void)0 : fail(__LINE__, #cond))
[[noreturn]] void fail(int line, const char* what)
{
    fprintf(stderr, "jpeg_writer.cpp:%d: %s\n", line, what);
    abort();
}

struct Settings {
    int quality, subsampling, progressive, optimize, restart;
    int unit, x, y; // unit -1: no density set
    bool hasComment;
    std::string comment;
    std::vector<unsigned char> profile;
};

Settings drawSettings(FuzzChoices& c)
{
    Settings s;
    s.quality = c.pick(4) ? 1 + int(c.pick(100)) : 100;
    s.subsampling = int(c.pick(3));
    s.progressive = int(c.pick(2));
    s.optimize = int(c.pick(2));
    s.restart = c.pick(2) ? int(c.pick(5)) : int(c.pick(65536));
    s.unit = int(c.pick(4)) - 1;
    const int high = int(c.pick(256));
    s.x = 1 + (high << 8 | int(c.pick(256))) % 65535;
    s.y = 1 + int(c.pick(256)) * 200;
    s.hasComment = c.pick(2);
    for (unsigned n = s.hasComment ? c.pick(40) : 0; n > 0; n--)
        s.comment += char(1 + c.pick(255));
    // A profile of several APP2 chunks now and then.
    const unsigned bytes = c.pick(4) ? 0 : c.pick(2) ? 1 + c.pick(300) : 65000 + c.pick(150000);
    for (unsigned i = 0; i < bytes; i++)
        s.profile.push_back((unsigned char)(i * 7 + bytes));
    return s;
}

void apply(kelFile* f, const Settings& s)
{
    check(f->setItem(kelJPEGquality, s.quality) == kelOKAY);
    check(f->setItem(kelJPEGsubsampling, s.subsampling) == kelOKAY);
    check(f->setItem(kelJPEGprogressive, s.progressive) == kelOKAY);
    check(f->setItem(kelJPEGoptimize, s.optimize) == kelOKAY);
    check(f->setItem(kelJPEGrestartInterval, s.restart) == kelOKAY);
    if (s.unit >= 0) {
        check(f->setItem(kelJPEGdensityUnit, s.unit) == kelOKAY);
        check(f->setItem(kelJPEGdensity, s.x, s.y) == kelOKAY);
    }
    if (s.hasComment)
        check(f->setItem(kelJPEGcomment, s.comment.c_str()) == kelOKAY);
    if (!s.profile.empty())
        check(f->setICCProfile(int(s.profile.size()), s.profile.data()) == kelOKAY);
}

int intItem(kelFile* f, int tag, kelStatus expected = kelOKAY)
{
    int v = -1;
    check(f->getItem(tag, &v) == expected);
    return v;
}

void expect(kelFile* f, const Settings& s, kelColorModel cm)
{
    check(intItem(f, kelJPEGprogressive) == s.progressive);
    check(intItem(f, kelJPEGrestartInterval) == s.restart);
    if (cm == kelLuminance)
        intItem(f, kelJPEGsubsampling, kelUNSUPPORTEDBYFILE);
    else
        check(intItem(f, kelJPEGsubsampling) == (cm == kelCMYK ? int(kelJPEGsub444) : s.subsampling));
    // JFIF holds a density of 1:1 unless one is set; without JFIF (CMYK)
    // the EXIF block holds what is set.
    const bool jfif = cm != kelCMYK;
    int x = -1, y = -1;
    check(f->getItem(kelJPEGdensity, &x, &y) == (jfif || s.unit >= 0 ? kelOKAY : kelUNSUPPORTEDBYFILE));
    if (s.unit >= 0)
        check(intItem(f, kelJPEGdensityUnit) == s.unit && x == s.x && y == s.y);
    else if (jfif)
        check(intItem(f, kelJPEGdensityUnit) == kelJPEGunitNone && x == 1 && y == 1);
    char* comment = nullptr;
    check(f->getItem(kelJPEGcomment, &comment) == (s.hasComment ? kelOKAY : kelUNSUPPORTEDBYFILE));
    check(!s.hasComment || s.comment == comment);
    int size = 0;
    void* profile = nullptr;
    check(f->getICCProfile(size, profile) == (s.profile.empty() ? kelBADPARAMS : kelOKAY));
    check(size_t(size) == s.profile.size() && (!size || memcmp(profile, s.profile.data(), s.profile.size()) == 0));
}

bool near(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    for (size_t i = 0; i < a.size(); i++)
        if (abs(int(a[i]) - int(b[i])) > tolerance)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    static const kelColorModel models[] = {kelLuminance, kelRGB, kelCMYK};
    const kelColorModel cm = models[choices.pick(3)];
    const kelSize image(1 + int(choices.pick(64)), 1 + int(choices.pick(64)), 1, kelColorModelChans(cm));
    const kelOrientation orientation = kelOrientation(1 + choices.pick(8));
    kelSize page = choices.pick(2) ? kelSize(1 + int(choices.pick(unsigned(image.x))),
                                             1 + int(choices.pick(unsigned(image.y))), 1, image.c)
                                   : kelSize(0, 0, 0, 0);
    const Settings settings = drawSettings(choices);
    FuzzLayout layout;
    layout.drawExact(choices, kelUChar, image.c);

    const std::string name = kelFuzzPath("written.jpg");
    kelFileConfig cfg(&image, kelUChar, kelInterleaved, cm, orientation, kelJPEG, &page);
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
    check(out != nullptr);
    apply(out, settings);
    const size_t bytes = kelFuzzImageBytes(kelUChar, image);
    const std::vector<unsigned char> pixels = kelFuzzDrawPixels(choices, kelUChar, bytes);
    check(kelFuzzWriteImage(out, layout, pixels, choices) == kelOKAY);
    check(out->close() == kelOKAY);

    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    check(in != nullptr && in->getOrientation() == orientation && in->getColorModel() == cm);
    kelSize back;
    in->getDimensions(back);
    check(back.x == image.x && back.y == image.y && back.c == image.c);
    expect(in, settings, cm);
    in->close();
    const std::vector<unsigned char> read = kelFuzzReadBack(name, layout, bytes);
    check(settings.quality < 100 || (settings.subsampling != kelJPEGsub444 && cm == kelRGB) ||
          near(read, pixels));
    return 0;
}
