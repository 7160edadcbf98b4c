#include "fuzz_image.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <vector>

static void quietHandler(void*, int, const char*, va_list) {}

void kelFuzzSetUp()
{
    kelSetErrorHandler(quietHandler, nullptr);
    setenv("KEL_DATABASE", KEL_FUZZ_DATABASE, 1);
    kelSetMaxPageBytes(64 << 20);
}

size_t kelFuzzImageBytes(kelDataType type, const kelSize& size)
{
    size_t elements = size_t(size.x) * size_t(size.y) * size_t(size.z) * size_t(size.c);
    return type == kelBit ? (elements + 7) / 8 : elements * kelDataSize(type, 1);
}

static const kelDataType types[] = {kelBit, kelChar, kelUChar, kelShort, kelUShort,
                                    kelInt, kelUInt, kelFloat, kelDouble};
static const kelOrder orders[] = {kelInterleaved, kelSequential, kelSeparate};

void FuzzLayout::draw(FuzzChoices& choices, int fileChannels)
{
    int n = 1 + int(choices.pick(fileChannels < 8 ? unsigned(fileChannels) : 8u));
    for (int i = 0; i < n; i++)
        channels[i] = int(choices.pick(unsigned(fileChannels) + 1)) - (choices.pick(8) == 0 ? 1 : 0);
    bool list = choices.pick(2);
    config = kelConfig(types[choices.pick(9)], orders[choices.pick(3)], n, list ? channels : nullptr,
                       list ? 0 : int(choices.pick(unsigned(fileChannels))),
                       kelOrientation(kelUpperLeftOrigin + int(choices.pick(8))));
}

size_t FuzzLayout::bytes(const kelSize& size) const
{
    kelSize s = size;
    s.c = config.nchans;
    return kelFuzzImageBytes(config.dtype, s);
}

static void readItems(kelFile* file)
{
    const kelColormap* cmap = nullptr;
    file->getColormap(cmap);
    double lo, hi;
    file->getScaleMinMax(lo, hi);
    file->getStatMinMax(lo, hi);
    int count = 0;
    kelTagDescription* descs = file->getFormat() ? file->getFormat()->getTagDescriptions(count) : nullptr;
    for (int i = 0; descs && i < count; i++) {
        kelTag tag(&descs[i]);
        char text[4096];
        if (tag.read(file) == kelOKAY)
            tag.encode(text, sizeof text);
    }
}

// Tiles of the image in the file's own layout and in a drawn one.
static void readPixels(kelFile* file, FuzzChoices& choices)
{
    kelSize size;
    file->getSize(size, file->getOrientation());
    size_t elements = size_t(size.x) * size_t(size.y) * size_t(size.z) * size_t(size.c);
    if (size.x < 1 || size.y < 1 || size.z < 1 || size.c < 1 || elements > kelFuzzMaxElements)
        return;
    std::vector<unsigned char> own(kelFuzzImageBytes(file->getDataType(), size) + 1);
    file->getTile(0, 0, 0, size.x, size.y, size.z, own.data());
    FuzzLayout layout;
    layout.draw(choices, size.c);
    std::vector<unsigned char> other(layout.bytes(size) + 1);
    file->getTile(0, 0, 0, size.x, size.y, size.z, other.data(), &layout.config);
    // A tile that may run past the edges.
    int x = int(choices.pick(unsigned(size.x))), y = int(choices.pick(unsigned(size.y)));
    std::vector<unsigned char> tile(layout.bytes(kelSize(3, 3, 1, 1)) + 1);
    file->getTile(x - 1, y - 1, 0, 3, 3, 1, tile.data(), &layout.config);
}

void kelFuzzReadEveryImage(kelFile* file, FuzzChoices& choices)
{
    int images = file->getNumImgs();
    for (int i = 0; i < images && i < 16; i++) {
        if (file->setCurrentImg(i) != kelOKAY)
            break;
        readItems(file);
        readPixels(file, choices);
    }
}

void kelFuzzReadImageBytes(const uint8_t* data, size_t size, const char* format, const char* args,
                           FuzzChoices& choices)
{
    std::string name = kelFuzzWriteFile("image", data, size);
    if (format)
        name += std::string("#") + format;
    if (args)
        name += args;
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!file)
        return;
    kelFuzzReadEveryImage(file, choices);
    file->close();
}
