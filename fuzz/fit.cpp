// FIT files: the input is the file, read as every format is (its last bytes
// also choose the other layouts), then opened read-write: its pages are
// written back, and its user area and scale range too, which must survive
// the close.
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_image.h"

struct Items {
    double scale[2] = {0, 0};
    std::vector<unsigned char> area;
    int version = 0;
};

static Items readItems(kelFile* file)
{
    Items items;
    file->getScaleMinMax(items.scale[0], items.scale[1]);
    int bytes = 0;
    if (file->getItem(kelFITextensionSize, &bytes) == kelOKAY) {
        items.area.resize(size_t(std::min(bytes, 4096)));
        if (file->getItem(kelFITextensionData, items.area.data(), int(items.area.size())) != kelOKAY)
            abort();
    }
    file->getItem(kelFITheaderVersion, &items.version);
    return items;
}

// A version-1 header has no room for the scale range: it stays in memory.
static void rewriteItems(const std::string& name)
{
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDWR, &sts);
    if (!file)
        return;
    Items before = readItems(file);
    bool written = file->setItem(kelFITextensionData, before.area.data(), int(before.area.size())) == kelOKAY &&
                   file->setScaleMinMax(before.scale[0], before.scale[1]) == kelOKAY;
    if (file->close() != kelOKAY && written)
        abort();
    if (!written)
        return;
    kelFile* again = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!again)
        abort();
    Items after = readItems(again);
    again->close();
    if (after.area != before.area || after.version != before.version ||
        (before.version == 2 && memcmp(after.scale, before.scale, sizeof after.scale) != 0))
        abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices = FuzzChoices::fromTail(data, size, 16);
    kelFuzzReadImageBytes(data, size, "FIT", nullptr, choices);
    const std::string name = kelFuzzPath("image") + "#FIT";
    kelFuzzRewriteImage(name);
    rewriteItems(name);
    return 0;
}
