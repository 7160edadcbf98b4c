// GIF files: the input is the file. Its last bytes also choose the layouts
// and the appended image (a reader stops at the trailer, so a fuzzer may
// put anything there). Read as every format is; then a copy opened
// read-write takes one more image at its end, which must read back
// exactly, and the file is opened again and its last image read. Every
// frame is composed as shown, the first again after the last (which must
// give it back unchanged), and the last one quantized.
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

enum { choiceBytes = 32 };

// The new image's colormap: its own, or none when the file has a global one.
static bool drawColormap(kelFile* file, FuzzChoices& choices, int& entries)
{
    const kelColormap* global = nullptr;
    if (choices.pick(2) && file->getItem(kelGIFglobalMap, &global) == kelOKAY) {
        entries = global->getLength();
        return true;
    }
    entries = 1 + int(choices.pick(256));
    kelColormap map(3, kelUChar, 0, entries - 1);
    for (int i = 0; i < entries; i++)
        for (int c = 0; c < 3; c++)
            map.setVal(choices.pick(256), i, c);
    return file->setColormap(&map) == kelOKAY;
}

static void readLastImage(const std::string& name)
{
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!file)
        return;
    kelSize size;
    if (file->setCurrentImg(file->getNumImgs() - 1) == kelOKAY) {
        file->getSize(size, file->getOrientation());
        if (size_t(size.x) * size_t(size.y) <= kelFuzzMaxElements) {
            std::vector<unsigned char> pixels(size_t(size.x) * size_t(size.y) + 1);
            file->getTile(0, 0, 0, size.x, size.y, 1, pixels.data());
        }
    }
    file->close();
}

static void append(const uint8_t* data, size_t size, FuzzChoices& choices)
{
    const std::string name = kelFuzzWriteFile("append", data, size) + "#GIF";
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDWR, &sts);
    if (!file)
        return;
    const int before = file->getNumImgs();
    kelSize dims(1 + int(choices.pick(24)), 1 + int(choices.pick(24)), 1, 1);
    kelFileConfig cfg(&dims);
    int entries = 0;
    if (file->appendImg(file, &cfg) != kelOKAY || !drawColormap(file, choices, entries)) {
        file->close();
        return;
    }
    file->setItem(kelGIFinterlace, int(choices.pick(2)));
    std::vector<unsigned char> pixels(size_t(dims.x) * size_t(dims.y));
    for (unsigned char& p : pixels)
        p = (unsigned char)choices.pick(unsigned(entries));
    if (file->setTile(0, 0, 0, dims.x, dims.y, 1, pixels.data()) == kelOKAY) {
        // The image just written is the current one, read from the file.
        std::vector<unsigned char> back(pixels.size());
        if (file->getNumImgs() != before + 1 || file->getCurrentImg() != before ||
            file->getTile(0, 0, 0, dims.x, dims.y, 1, back.data()) != kelOKAY || back != pixels)
            abort();
    }
    if (file->close() != kelOKAY)
        abort();
    readLastImage(name);
}

// The canvas's indices must lie in the colormap, dithered or not.
static void quantize(const std::vector<unsigned char>& rgba, int width, FuzzChoices& choices)
{
    kelQuantizer q(2 + int(choices.pick(255)), kelQuantizeAlpha(choices.pick(3)));
    const int rows = int(rgba.size() / 4 / size_t(width));
    if (q.addPixels(rgba.data(), kelUChar, 4, rgba.size() / 4) != kelOKAY || q.build() != kelOKAY)
        abort();
    kelDither dither(q, kelDitherMethod(choices.pick(3)), width);
    std::vector<unsigned char> indices(rgba.size() / 4);
    if (dither.mapRows(rgba.data(), kelUChar, 4, rows, indices.data()) != kelOKAY)
        abort();
    for (unsigned char i : indices)
        if (i >= q.getNumColors())
            abort();
}

static void compose(const uint8_t* data, size_t size, FuzzChoices& choices)
{
    const std::string name = kelFuzzWriteFile("compose", data, size) + "#GIF";
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!file)
        return;
    kelFrameComposer comp(*file);
    const size_t pixels = comp.init() == kelOKAY ? size_t(comp.getCanvasWidth()) * size_t(comp.getCanvasHeight()) : 0;
    if (pixels && pixels * size_t(comp.getNumFrames()) <= kelFuzzMaxElements) {
        std::vector<unsigned char> first(pixels * 4), canvas(pixels * 4);
        bool composed = comp.compose(0, first.data()) == kelOKAY;
        for (int f = 1; composed && f < comp.getNumFrames(); ++f)
            composed = comp.compose(f, canvas.data()) == kelOKAY;
        if (composed && comp.getNumFrames() > 1 && (comp.compose(0, canvas.data()) != kelOKAY || canvas != first))
            abort();
        if (composed)
            quantize(first, comp.getCanvasWidth(), choices);
    }
    file->close();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t tail = size < choiceBytes ? size : choiceBytes;
    FuzzChoices choices(data + size - tail, tail);
    kelFuzzReadImageBytes(data, size, "GIF", nullptr, choices);
    append(data, size, choices);
    compose(data, size, choices);
    return 0;
}
