// JPEG files: the input is the file, read as every format is (its last
// bytes also choose the other layouts), and again by tiles at drawn places,
// each of which must hold the pixels of the whole read: skipping rows,
// cropping columns and starting over give what one pass from the top does.
// The ICC profile is read too. JPEG files open read-only.
#include <fcntl.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "fuzz_image.h"

static void readTiles(const std::string& name, FuzzChoices& choices)
{
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDONLY, &sts);
    if (!file)
        return;
    int size = 0;
    void* profile = nullptr;
    if (file->getICCProfile(size, profile) == kelOKAY && size > 0)
        choices.pick(1 + static_cast<unsigned char*>(profile)[size - 1]);
    kelSize s;
    file->getSize(s, file->getOrientation());
    const size_t row = size_t(s.x) * size_t(s.c);
    std::vector<unsigned char> whole(row * size_t(s.y));
    if (size_t(s.x) * size_t(s.y) <= kelFuzzMaxElements &&
        file->getTile(0, 0, 0, s.x, s.y, 1, whole.data()) == kelOKAY)
        for (int i = 0; i < 4; i++) {
            const int x = int(choices.pick(unsigned(s.x))), y = int(choices.pick(unsigned(s.y)));
            const int nx = 1 + int(choices.pick(unsigned(s.x - x))), ny = 1 + int(choices.pick(unsigned(s.y - y)));
            std::vector<unsigned char> tile(size_t(nx) * size_t(ny) * size_t(s.c));
            if (file->getTile(x, y, 0, nx, ny, 1, tile.data()) != kelOKAY)
                continue;
            for (int r = 0; r < ny; r++)
                if (memcmp(&tile[size_t(r) * size_t(nx) * size_t(s.c)], &whole[size_t(y + r) * row + size_t(x) * size_t(s.c)],
                           size_t(nx) * size_t(s.c)) != 0)
                    abort();
        }
    file->close();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices = FuzzChoices::fromTail(data, size, 32);
    kelFuzzReadImageBytes(data, size, "JPEG", nullptr, choices);
    readTiles(kelFuzzWriteFile("tiles", data, size) + "#JPEG", choices);
    return 0;
}
