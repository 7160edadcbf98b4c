// PNG files: the input is the file, read as every format is; its last bytes
// also choose the other layouts. Then read again by tiles from the last up,
// so that the decoder starts over for each band above the rows it keeps,
// and with its texts by keyword. PNG files open read-only.
#include <fcntl.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

static void readBackwards(const uint8_t* data, size_t size, FuzzChoices& choices)
{
    const std::string name = kelFuzzWriteFile("tiles", data, size) + "#PNG";
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!file)
        return;
    kelSize s;
    file->getSize(s, file->getOrientation());
    const int tw = 1 + int(choices.pick(300)), th = 1 + int(choices.pick(300));
    std::vector<unsigned char> tile(kelFuzzImageBytes(file->getDataType(), kelSize(tw, th, 1, s.c)) + 1);
    for (long long y = (s.y - 1) / th * (long long)th, tiles = 0; y >= 0 && tiles < 64; y -= th)
        for (long long x = (s.x - 1) / tw * (long long)tw; x >= 0 && tiles < 64; x -= tw, ++tiles)
            file->getTile(int(x), int(y), 0, tw, th, 1, tile.data());
    const char* keywords = nullptr;
    if (file->getItem(kelPNGtextKeywords, &keywords) == kelOKAY) {
        const std::string first(keywords, strcspn(keywords, "\n"));
        const char* text = nullptr;
        file->getItem(kelPNGtext, first.c_str(), &text);
    }
    file->close();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices = FuzzChoices::fromTail(data, size, 16);
    kelFuzzReadImageBytes(data, size, "PNG", nullptr, choices);
    readBackwards(data, size, choices);
    return 0;
}
