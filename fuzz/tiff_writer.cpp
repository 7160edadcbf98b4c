// Writing TIFF files: the input decides the sample type, channels and
// color model, the order, the file's orientation, tiles or strips, the
// compression, its level and predictor, a few tags, the caller's exact
// layout and the pixels, written whole or as two bands in either order,
// and sometimes a second image after the first. Read back, every image, tag and pixel
// comes back as set (JPEG's pixels are only read).
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

namespace {

#define check(cond) ((cond) ? (void)0 : fail(__LINE__, #cond))
[[noreturn]] void fail(int line, const char* what)
{
    fprintf(stderr, "tiff_writer.cpp:%d: %s\n", line, what);
    abort();
}

const kelDataType types[] = {kelBit, kelUChar, kelChar, kelUShort, kelShort, kelUInt, kelInt, kelFloat, kelDouble};
// Not LZMA: libtiff starts an encoder for every block, whose tables liblzma
// allocates and clears (MiBs even at preset 0), a second per input; the
// round-trip test writes it.
const kelCompression codecs[] = {kelNoCompression, kelLZW, kelZIP, kelPACKBITS, kelZSTD, kelJPEG};

kelColorModel drawModel(FuzzChoices& c, int channels, kelDataType type)
{
    switch (channels) {
    case 1:
        return c.pick(3) == 0 ? kelNegative
               : c.pick(2) && (type == kelUChar || type == kelUShort) ? kelRGBPalette : kelLuminance;
    case 2:
        return c.pick(2) ? kelLuminanceAlpha : kelMultiSpectral;
    case 3:
        return c.pick(4) ? kelRGB : kelMultiSpectral;
    case 4:
        return c.pick(3) == 0 ? kelCMYK : c.pick(2) ? kelRGBA : kelMultiSpectral;
    }
    return kelMultiSpectral;
}

struct Image {
    kelSize size;
    kelSize page;
    kelFileConfig cfg;
    FuzzLayout layout;
    std::vector<unsigned char> pixels;
    std::string software;
    int predictor = 1;
    int level = 0; // 0: the codec's default
};

void drawImage(FuzzChoices& c, Image& im)
{
    const kelDataType type = types[c.pick(9)];
    const int channels = type == kelBit ? 1 : 1 + int(c.pick(5));
    const kelColorModel cm = drawModel(c, channels, type);
    const kelOrder order = c.pick(2) ? kelSeparate : kelInterleaved;
    kelCompression comp = codecs[c.pick(6)];
    if (comp == kelJPEG && (type != kelUChar || cm == kelRGBPalette || (channels != 1 && channels != 3)))
        comp = kelZIP;
    const kelOrientation orientation = kelOrientation(1 + c.pick(8));
    im.size = kelSize(1 + int(c.pick(70)), 1 + int(c.pick(70)), 1, channels);
    // Tiles of 16 or 32, or strips as wide as the stored rows.
    const bool tiled = c.pick(2);
    kelSize stored = im.size;
    kelMapSize(kelLowerLeftOrigin, stored.x, stored.y, orientation);
    im.page = tiled ? kelSize(16 << c.pick(2), 16 << c.pick(2), 1, 0) : kelSize(stored.x, 1 + int(c.pick(40)), 1, 0);
    im.page.c = order == kelSeparate ? 1 : channels;
    kelMapSize(orientation, im.page.x, im.page.y, kelLowerLeftOrigin);
    im.cfg = kelFileConfig(&im.size, type, order, cm, orientation, comp, &im.page);
    im.layout.drawExact(c, type, channels);
    im.pixels = kelFuzzDrawPixels(c, type, kelFuzzImageBytes(type, im.size));
    for (unsigned n = c.pick(12); n > 0; n--)
        im.software += char(' ' + c.pick(95));
    if (comp == kelZIP || comp == kelZSTD)
        im.level = 1 + int(c.pick(9));
    if (comp == kelLZW || comp == kelZIP || comp == kelZSTD)
        im.predictor = type == kelBit ? 1 : type & (kelFloat | kelDouble) ? 1 + 2 * int(c.pick(2)) : 1 + int(c.pick(2));
}

void writeImage(kelFile* out, Image& im, FuzzChoices& c)
{
    if (!im.software.empty())
        check(out->setItem(kelTIFFsoftware, im.software.c_str()) == kelOKAY);
    check(out->setItem(kelTIFFpredictor, im.predictor) == kelOKAY);
    if (im.level)
        check(out->setItem(kelTIFFcompressionLevel, im.level) == kelOKAY);
    check(kelFuzzWriteImage(out, im.layout, im.pixels, c) == kelOKAY);
}

void readImage(const std::string& name, int index, const Image& im)
{
    kelStatus sts = 0;
    kelFile* in = kelFile::open(name.c_str(), O_RDONLY, &sts);
    check(in && in->getNumImgs() >= index + 1 && in->setCurrentImg(index) == kelOKAY);
    kelSize back;
    in->getDimensions(back);
    check(back.x == im.size.x && back.y == im.size.y && back.c == im.size.c);
    check(in->getOrientation() == im.cfg.getOrientation() && in->getDataType() == im.cfg.getDataType());
    check(in->getColorModel() == im.cfg.getColorModel() && in->getCompression() == im.cfg.getCompression());
    char* software = nullptr;
    check(in->getItem(kelTIFFsoftware, &software) == (im.software.empty() ? kelUNSUPPORTEDBYFILE : kelOKAY));
    check(im.software.empty() || im.software == software);
    kelSize seen;
    in->getSize(seen, im.layout.config.orientation);
    std::vector<unsigned char> pixels(im.layout.bytes(seen));
    check(in->getTile(0, 0, 0, seen.x, seen.y, 1, pixels.data(), &im.layout.config) == kelOKAY);
    const size_t elements = size_t(seen.x) * size_t(seen.y) * size_t(seen.c);
    check(im.cfg.getCompression() == kelJPEG ||
          kelFuzzSamePixels(im.layout.config.dtype, elements, pixels.data(), im.pixels.data()));
    in->close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices c(data, size);
    Image images[2];
    const int count = 1 + int(c.pick(2));
    for (int i = 0; i < count; i++)
        drawImage(c, images[i]);
    const std::string name = kelFuzzPath("written.tif");
    kelStatus sts = 0;
    kelFile* out = kelFile::create(name.c_str(), nullptr, &images[0].cfg, nullptr, &sts);
    check(out != nullptr);
    writeImage(out, images[0], c);
    if (count == 2) {
        check(out->appendImg(nullptr, &images[1].cfg) == kelOKAY);
        writeImage(out, images[1], c);
    }
    check(out->close() == kelOKAY);
    for (int i = 0; i < count; i++)
        readImage(name, i, images[i]);
    return 0;
}
