// The Raw format: the first bytes of the input decide the format arguments
// (geometry, type, order, orientation, page size, offset), the rest is the
// file. It is read as every format is, then rewritten in place: what is
// written in the file's own layout must read back unchanged.
#include <string>

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    std::string args = arguments(choices);
    kelFuzzReadImageBytes(choices.rest(), choices.restSize(), "Raw", args.c_str(), choices);
    kelFuzzRewriteImage(kelFuzzPath("image") + "#Raw" + args);
    return 0;
}
