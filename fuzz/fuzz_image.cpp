#include "fuzz_image.h"

#include <fcntl.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <utility>
#include <vector>

static void quietHandler(void*, int, const char*, va_list) {}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kelSetErrorHandler(quietHandler, nullptr);
    setenv("KEL_DATABASE", KEL_FUZZ_DATABASE, 1);
    kelSetMaxPageBytes(64 << 20);
    return 0;
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

void FuzzLayout::drawExact(FuzzChoices& choices, kelDataType type, int fileChannels)
{
    for (int i = 0; i < fileChannels; i++)
        channels[i] = i;
    for (int i = fileChannels - 1; i > 0; i--)
        std::swap(channels[i], channels[choices.pick(unsigned(i) + 1)]);
    config = kelConfig(type, orders[choices.pick(3)], fileChannels, channels, 0,
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

// The image of an open file in its own layout (with a spare byte), or none
// when it is too large to read whole or cannot be read.
static bool readWhole(kelFile* file, std::vector<unsigned char>& pixels)
{
    kelSize size;
    file->getSize(size, file->getOrientation());
    const size_t elements = size_t(size.x) * size_t(size.y) * size_t(size.z) * size_t(size.c);
    if (elements > kelFuzzMaxElements)
        return false;
    pixels.assign(kelFuzzImageBytes(file->getDataType(), size) + 1, 0);
    return file->getTile(0, 0, 0, size.x, size.y, size.z, pixels.data()) == kelOKAY;
}

static bool writeWhole(kelFile* file, const std::vector<unsigned char>& pixels)
{
    kelSize size;
    file->getSize(size, file->getOrientation());
    return file->setTile(0, 0, 0, size.x, size.y, size.z, pixels.data()) == kelOKAY;
}

// Whether rewriting an image that was read whole (so of few pages) stays
// within a few megabytes: a tiny image may lie in pages declared far larger,
// which a writer must store whole, and that work says nothing about how the
// input is handled.
static bool pagesAreSmall(kelFile* file)
{
    kelSize size, page;
    file->getSize(size, file->getOrientation());
    file->getPageSize(page, file->getOrientation());
    if (page.x < 1 || page.y < 1 || page.z < 1 || page.c < 1)
        return false;
    const size_t pages = size_t((size.x + page.x - 1) / page.x) * size_t((size.y + page.y - 1) / page.y) *
                         size_t((size.z + page.z - 1) / page.z) * size_t((size.c + page.c - 1) / page.c);
    return kelFuzzImageBytes(file->getDataType(), page) <= kelFuzzMaxRewriteBytes / pages;
}

// Read back in the same object, and again after the close.
void kelFuzzRewriteImage(const std::string& name)
{
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDWR, &sts);
    if (!file)
        return;
    std::vector<unsigned char> pixels, again;
    const bool rewritten = readWhole(file, pixels) && pagesAreSmall(file) && writeWhole(file, pixels);
    if (rewritten && (!readWhole(file, again) || again != pixels))
        abort();
    if (file->close() != kelOKAY && rewritten)
        abort();
    if (!rewritten)
        return;
    file = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!file || !readWhole(file, again) || again != pixels)
        abort();
    file->close();
}

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

std::vector<unsigned char> kelFuzzDrawPixels(FuzzChoices& choices, kelDataType type, size_t bytes)
{
    std::vector<unsigned char> pixels(bytes);
    for (size_t i = 0; i < bytes && choices.restSize() > 0; i++)
        pixels[i] = (unsigned char)choices.pick(256);
    if (type == kelFloat)
        clearNaNs<float>(pixels);
    if (type == kelDouble)
        clearNaNs<double>(pixels);
    return pixels;
}

// Two bands of rows need whole rows at a byte boundary of the buffer.
static int drawBand(FuzzChoices& choices, const kelConfig& config, const kelSize& seen)
{
    const size_t rowElements = size_t(seen.x) * size_t(config.nchans);
    if (!choices.pick(2) || config.order != kelInterleaved || seen.z != 1 || seen.y < 2 ||
        (config.dtype == kelBit && rowElements % 8 != 0))
        return 0;
    return 1 + int(choices.pick(unsigned(seen.y - 1)));
}

// The box is given as the caller's orientation sees the image; the lower
// band may go first, so that its page is read before any pixel is in it.
kelStatus kelFuzzWriteImage(kelFile* out, const FuzzLayout& layout, const std::vector<unsigned char>& pixels,
                            FuzzChoices& choices)
{
    const kelConfig& config = layout.config;
    kelSize seen;
    out->getSize(seen, config.orientation);
    const int band = drawBand(choices, config, seen);
    if (band == 0)
        return out->setTile(0, 0, 0, seen.x, seen.y, seen.z, pixels.data(), &config);
    const unsigned char* second = pixels.data() + layout.bytes(kelSize(seen.x, band, 1, 1));
    if (choices.pick(2)) {
        kelStatus sts = out->setTile(0, band, 0, seen.x, seen.y - band, 1, second, &config);
        return sts ? sts : out->setTile(0, 0, 0, seen.x, band, 1, pixels.data(), &config);
    }
    kelStatus sts = out->setTile(0, 0, 0, seen.x, band, 1, pixels.data(), &config);
    return sts ? sts : out->setTile(0, band, 0, seen.x, seen.y - band, 1, second, &config);
}

bool kelFuzzSamePixels(kelDataType type, size_t elements, const unsigned char* a, const unsigned char* b)
{
    if (type != kelBit)
        return memcmp(a, b, elements * kelDataSize(type, 1)) == 0;
    const size_t whole = elements / 8;
    if (memcmp(a, b, whole) != 0)
        return false;
    const unsigned char used = (unsigned char)(0xff00 >> (elements % 8));
    return used == 0 || ((a[whole] ^ b[whole]) & used) == 0;
}

std::vector<unsigned char> kelFuzzReadBack(const std::string& name, const FuzzLayout& layout, size_t bytes)
{
    kelStatus sts = 0;
    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!in)
        abort();
    kelSize seen;
    in->getSize(seen, layout.config.orientation);
    std::vector<unsigned char> back(bytes);
    if (in->getTile(0, 0, 0, seen.x, seen.y, seen.z, back.data(), &layout.config) != kelOKAY)
        abort();
    in->close();
    return back;
}
