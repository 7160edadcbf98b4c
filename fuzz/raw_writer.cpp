// Writing Raw files: the input decides the image (size, data type, order,
// orientation, page size), the caller's layout (order, orientation, channel
// order) and the pixels. Written, closed, opened again and read in the
// same layout, the pixels must come back exactly.
#include <fcntl.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

static const kelDataType types[] = {kelBit, kelChar, kelUChar, kelShort, kelUShort,
                                    kelInt, kelUInt, kelFloat, kelDouble};
static const kelOrder orders[] = {kelInterleaved, kelSequential, kelSeparate};

// Not-a-number values need not keep their bits through a conversion.
template <class T>
static void clearNaNs(std::vector<unsigned char>& pixels)
{
    for (size_t i = 0; i + sizeof(T) <= pixels.size(); i += sizeof(T)) {
        T v;
        memcpy(&v, &pixels[i], sizeof v);
        if (isnan(v))
            memset(&pixels[i], 0, sizeof v);
    }
}

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
    static bool ready = (kelFuzzSetUp(), true);
    (void)ready;
    FuzzChoices choices(data, size);
    Image im = drawImage(choices);
    // The caller's layout: the file's type, any order and orientation, and
    // the channels in an order of its own.
    int channels[8];
    for (int i = 0; i < im.size.c; i++)
        channels[i] = i;
    for (int i = im.size.c - 1; i > 0; i--)
        std::swap(channels[i], channels[choices.pick(unsigned(i) + 1)]);
    kelConfig layout(im.type, orders[choices.pick(3)], im.size.c, channels, 0,
                     kelOrientation(kelUpperLeftOrigin + int(choices.pick(8))));

    size_t bytes = kelFuzzImageBytes(im.type, im.size);
    std::vector<unsigned char> pixels(bytes);
    for (size_t i = 0; i < bytes && choices.restSize() > 0; i++)
        pixels[i] = (unsigned char)choices.pick(256);
    if (im.type == kelFloat)
        clearNaNs<float>(pixels);
    if (im.type == kelDouble)
        clearNaNs<double>(pixels);

    const std::string name = kelFuzzPath("written") + "#Raw" + im.args;
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts);
    if (!out)
        return 0;
    // The box is given as the caller's orientation sees the image.
    kelSize seen;
    out->getSize(seen, layout.orientation);
    if (out->setTile(0, 0, 0, seen.x, seen.y, seen.z, pixels.data(), &layout) != kelOKAY) {
        out->close();
        return 0;
    }
    if (out->close() != kelOKAY)
        abort();
    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!in)
        abort();
    std::vector<unsigned char> back(bytes);
    if (in->getTile(0, 0, 0, seen.x, seen.y, seen.z, back.data(), &layout) != kelOKAY)
        abort();
    in->close();
    // Bits past the last element of a bit image are not pixels.
    size_t whole = im.type == kelBit ? size_t(im.size.x) * im.size.y * im.size.z * im.size.c / 8 : bytes;
    if (memcmp(back.data(), pixels.data(), whole) != 0)
        abort();
    return 0;
}
