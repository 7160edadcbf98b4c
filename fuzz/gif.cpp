// GIF files: the input is the file. Its last bytes also choose the layouts
// and the appended image (a reader stops at the trailer, so a fuzzer may
// put anything there). Read as every format is; then a copy opened
// read-write takes one more image at its end, which must read back
// exactly, and the file is opened again and its last image read.
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const size_t tail = size < choiceBytes ? size : choiceBytes;
    FuzzChoices choices(data + size - tail, tail);
    kelFuzzReadImageBytes(data, size, "GIF", nullptr, choices);
    append(data, size, choices);
    return 0;
}
