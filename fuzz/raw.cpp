// The Raw format: the first bytes of the input decide the format arguments
// (geometry, type, order, orientation, page size, offset), the rest is the
// file. It is read as every format is, then rewritten in place: what is
// written in the file's own layout must read back unchanged.
#include <fcntl.h>
#include <string.h>

#include <string>
#include <vector>

#include "fuzz_image.h"

static const char* const types[] = {"bit", "char", "uchar", "short", "ushort", "int", "uint", "float", "double"};
static const char* const orders[] = {"interleaved", "sequential", "separate"};
static const char* const orientations[] = {"tl", "tr", "bl", "br", "lt", "rt", "rb", "lb"};

static std::string arguments(FuzzChoices& c)
{
    int x = 1 + int(c.pick(24)), y = 1 + int(c.pick(24)), z = 1 + int(c.pick(3)), ch = 1 + int(c.pick(5));
    std::string args = "%size=" + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(z) + "," +
                       std::to_string(ch);
    args += "%pagesize=" + std::to_string(c.pick(unsigned(x) + 1)) + "," + std::to_string(c.pick(unsigned(y) + 1)) +
            "," + std::to_string(c.pick(unsigned(z) + 1)) + "," + std::to_string(c.pick(unsigned(ch) + 3));
    args += std::string("%type=") + types[c.pick(9)] + "%order=" + orders[c.pick(3)];
    args += std::string("%orientation=") + orientations[c.pick(8)] + "%offset=" + std::to_string(c.pick(16));
    return args;
}

static void rewrite(const std::string& name)
{
    kelStatus sts = 0;
    kelFile* file = kelFile::open(name.c_str(), O_RDWR, &sts);
    if (!file)
        return;
    kelSize size;
    file->getSize(size, file->getOrientation());
    std::vector<unsigned char> pixels(kelFuzzImageBytes(file->getDataType(), size) + 1);
    if (file->getTile(0, 0, 0, size.x, size.y, size.z, pixels.data()) == kelOKAY &&
        file->setTile(0, 0, 0, size.x, size.y, size.z, pixels.data()) == kelOKAY) {
        std::vector<unsigned char> again(pixels.size());
        if (file->getTile(0, 0, 0, size.x, size.y, size.z, again.data()) != kelOKAY ||
            memcmp(again.data(), pixels.data(), pixels.size() - 1) != 0)
            abort();
    }
    file->close();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = (kelFuzzSetUp(), true);
    (void)ready;
    FuzzChoices choices(data, size);
    std::string args = arguments(choices);
    kelFuzzReadImageBytes(choices.rest(), choices.restSize(), "Raw", args.c_str(), choices);
    rewrite(kelFuzzPath("image") + "#Raw" + args);
    return 0;
}
