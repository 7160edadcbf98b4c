// Writing X bitmaps: the input decides the size, the hot spot, the file's
// name (which names the C array), the caller's layout and the pixels.
// Opened again after the close, the bitmap and its hot spot come back.
#include <fcntl.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

namespace {

const char* const names[] = {"written.xbm", "2d.xbm", "my_icon2.xbm",
                             "a_name_far_longer_than_thirty_one_characters.xbm"};

// Coordinates below 0 mean no hot spot: it is written only when both are 0
// or more.
void checkHotSpot(const std::string& name, int x, int y)
{
    kelStatus sts = 0;
    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!in)
        abort();
    int bx = -1, by = -1;
    sts = in->getItem(kelXBMhotSpot, &bx, &by);
    const bool written = x >= 0 && y >= 0;
    if (written ? sts != kelOKAY || bx != x || by != y : sts != kelUNSUPPORTEDBYFILE)
        abort();
    in->close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    const kelSize image(1 + int(choices.pick(64)), 1 + int(choices.pick(40)), 1, 1);
    const std::string name = kelFuzzPath(names[choices.pick(4)]) + "#XBM";
    FuzzLayout layout;
    layout.drawExact(choices, kelBit, 1);

    kelFileConfig cfg(&image);
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!out)
        abort();
    const int hotX = int(choices.pick(unsigned(image.x) + 1)) - 1, hotY = int(choices.pick(unsigned(image.y) + 1)) - 1;
    if (out->setItem(kelXBMhotSpot, hotX, hotY) != kelOKAY)
        abort();
    const size_t bytes = kelFuzzImageBytes(kelBit, image);
    std::vector<unsigned char> pixels = kelFuzzDrawPixels(choices, kelBit, bytes);
    if (kelFuzzWriteImage(out, layout, pixels, choices) != kelOKAY || out->close() != kelOKAY)
        abort();
    std::vector<unsigned char> back = kelFuzzReadBack(name, layout, bytes);
    if (!kelFuzzSamePixels(kelBit, size_t(image.x) * size_t(image.y), back.data(), pixels.data()))
        abort();
    checkHotSpot(name, hotX, hotY);
    return 0;
}
