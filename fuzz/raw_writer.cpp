// Writing Raw files: the input decides the image (size, data type, order,
// orientation, page size), the caller's layout (order, orientation, channel
// order) and the pixels. Written, closed, opened again and read in the
// same layout, the pixels must come back exactly.
#include <stdlib.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

static const kelDataType types[] = {kelBit, kelChar, kelUChar, kelShort, kelUShort,
                                    kelInt, kelUInt, kelFloat, kelDouble};

struct Image {
    kelSize size;
    kelDataType type;
    std::string args;
};

static Image drawImage(FuzzChoices& c)
{
    static const char* const typeNames[] = {"bit", "char", "uchar", "short", "ushort",
                                            "int", "uint", "float", "double"};
    static const char* const orderNames[] = {"interleaved", "sequential", "separate"};
    static const char* const orientations[] = {"tl", "tr", "bl", "br", "lt", "rt", "rb", "lb"};
    Image im;
    im.size = kelSize(1 + int(c.pick(20)), 1 + int(c.pick(20)), 1 + int(c.pick(3)), 1 + int(c.pick(5)));
    unsigned type = c.pick(9);
    im.type = types[type];
    im.args = "%size=" + std::to_string(im.size.x) + "," + std::to_string(im.size.y) + "," +
              std::to_string(im.size.z) + "," + std::to_string(im.size.c) + "%pagesize=" +
              std::to_string(c.pick(unsigned(im.size.x) + 1)) + "," + std::to_string(c.pick(unsigned(im.size.y) + 1)) +
              "," + std::to_string(c.pick(unsigned(im.size.z) + 1)) + "," +
              std::to_string(c.pick(unsigned(im.size.c) + 2)) + "%type=" + typeNames[type] + "%order=" +
              orderNames[c.pick(3)] + "%orientation=" + orientations[c.pick(8)];
    return im;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    Image im = drawImage(choices);
    // The caller's layout: the file's type, any order and orientation, and
    // the channels in an order of its own.
    FuzzLayout layout;
    layout.drawExact(choices, im.type, im.size.c);
    size_t bytes = kelFuzzImageBytes(im.type, im.size);
    std::vector<unsigned char> pixels = kelFuzzDrawPixels(choices, im.type, bytes);

    const std::string name = kelFuzzPath("written") + "#Raw" + im.args;
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts);
    if (!out)
        return 0;
    if (kelFuzzWriteImage(out, layout, pixels, choices) != kelOKAY) {
        out->close();
        return 0;
    }
    if (out->close() != kelOKAY)
        abort();
    std::vector<unsigned char> back = kelFuzzReadBack(name, layout, bytes);
    const size_t elements = size_t(im.size.x) * im.size.y * im.size.z * im.size.c;
    if (!kelFuzzSamePixels(im.type, elements, back.data(), pixels.data()))
        abort();
    return 0;
}
