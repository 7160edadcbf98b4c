// Writing FIT files: the input decides the image (size, data type, order,
// orientation, color model, page size), its scale range and user area, the
// caller's layout and the pixels. Opened again after the close, the file
// holds all of it exactly.
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz_image.h"

namespace {

const kelDataType types[] = {kelBit, kelChar, kelUChar, kelShort, kelUShort, kelInt, kelUInt, kelFloat, kelDouble};
const kelOrder orders[] = {kelInterleaved, kelSequential, kelSeparate};

// A page extent of 0 leaves it to the format.
kelFileConfig drawConfig(FuzzChoices& c, kelSize& size, kelSize& page)
{
    size = kelSize(1 + int(c.pick(24)), 1 + int(c.pick(24)), 1 + int(c.pick(3)), 1 + int(c.pick(5)));
    page = kelSize(int(c.pick(unsigned(size.x) + 1)), int(c.pick(unsigned(size.y) + 1)),
                   int(c.pick(unsigned(size.z) + 1)), int(c.pick(unsigned(size.c) + 2)));
    return kelFileConfig(&size, types[c.pick(9)], orders[c.pick(3)], kelColorModel(1 + int(c.pick(13))),
                         kelOrientation(kelUpperLeftOrigin + int(c.pick(8))), kelNoCompression, &page);
}

struct Extras {
    double scale[2];
    std::vector<unsigned char> area;
};

// The user area: sized first or not, then data written at its start.
bool setExtras(kelFile* out, FuzzChoices& c, Extras& e)
{
    for (double& v : e.scale) {
        unsigned char bytes[8];
        for (unsigned char& b : bytes)
            b = (unsigned char)c.pick(256);
        memcpy(&v, bytes, sizeof v);
    }
    if (out->setScaleMinMax(e.scale[0], e.scale[1]) != kelOKAY)
        return false;
    if (c.pick(2)) {
        e.area.assign(c.pick(64), 0);
        if (out->setItem(kelFITextensionSize, int(e.area.size())) != kelOKAY)
            return false;
    }
    std::vector<unsigned char> head(c.pick(64));
    for (unsigned char& b : head)
        b = (unsigned char)c.pick(256);
    if (out->setItem(kelFITextensionData, head.data(), int(head.size())) != kelOKAY)
        return false;
    e.area.resize(std::max(e.area.size(), head.size()));
    std::copy(head.begin(), head.end(), e.area.begin());
    return true;
}

void checkFile(const std::string& name, const kelFileConfig& cfg, const Extras& e)
{
    kelStatus sts = 0;
    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!in)
        abort();
    kelFileConfig back(in);
    kelSize size, page, wantSize, wantPage;
    back.getSize(size);
    back.getPageSize(page);
    cfg.getSize(wantSize);
    cfg.getPageSize(wantPage);
    double scale[2];
    int area = -1;
    in->getScaleMinMax(scale[0], scale[1]);
    in->getItem(kelFITextensionSize, &area);
    std::vector<unsigned char> bytes(e.area.size());
    if (in->getItem(kelFITextensionData, bytes.data(), int(bytes.size())) != kelOKAY || area != int(bytes.size()) ||
        bytes != e.area || memcmp(scale, e.scale, sizeof scale) != 0 || !(size == wantSize) ||
        back.getDataType() != cfg.getDataType() || back.getOrder() != cfg.getOrder() ||
        back.getColorModel() != cfg.getColorModel() || back.getOrientation() != cfg.getOrientation() ||
        (!cfg.arePageDimensionsDefaulted() && !(page == wantPage)))
        abort();
    in->close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    kelSize image, page;
    const kelFileConfig cfg = drawConfig(choices, image, page);
    FuzzLayout layout;
    layout.drawExact(choices, cfg.getDataType(), image.c);

    const std::string name = kelFuzzPath("written.fit") + "#FIT";
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!out)
        return 0;
    Extras extras;
    if (!setExtras(out, choices, extras))
        abort();
    const size_t bytes = kelFuzzImageBytes(cfg.getDataType(), image);
    std::vector<unsigned char> pixels = kelFuzzDrawPixels(choices, cfg.getDataType(), bytes);
    if (kelFuzzWriteImage(out, layout, pixels, choices) != kelOKAY || out->close() != kelOKAY)
        abort();
    std::vector<unsigned char> back = kelFuzzReadBack(name, layout, bytes);
    const size_t elements = size_t(image.x) * image.y * image.z * image.c;
    if (!kelFuzzSamePixels(cfg.getDataType(), elements, back.data(), pixels.data()))
        abort();
    checkFile(name, cfg, extras);
    return 0;
}
