// The tag text codec: the first two bytes choose the value type and count,
// the rest is the text decoded. For integral types the text encoded from
// the values must decode to the same values again (strings may hold the
// separator, and floating-point text is rounded).
#include <stdlib.h>
#include <string.h>

#include <string>

#include "fuzz_image.h"

static const kelEnumSpec names[] = {{"none", 0}, {"packbits", 32773}, {"negative", -7}, {"n", 1}, {nullptr, 0}};

static const int tagTypes[] = {kelTagShort,  kelTagInt,      kelTagFloat,    kelTagString,
                               kelTagBoolean, kelTagEnumShort, kelTagEnumInt, kelTagLong,
                               kelTagReal,   kelTagDouble,    kelTagLongDouble};

static bool integral(int type)
{
    return type != kelTagFloat && type != kelTagReal && type != kelTagDouble && type != kelTagLongDouble &&
           type != kelTagString;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices(data, size);
    int type = tagTypes[choices.pick(11)];
    kelTagDescription desc = {1, unsigned(type) | choices.pick(16), "fuzzed", "Fuzzed", nullptr, names};
    std::string text(reinterpret_cast<const char*>(choices.rest()), choices.restSize());
    kelTag tag(&desc);
    if (tag.decode(text.c_str()) != kelOKAY)
        return 0;
    char first[4096], second[4096];
    if (tag.encode(first, sizeof first) != kelOKAY || !integral(type))
        return 0;
    kelTag again(&desc);
    if (again.decode(first) != kelOKAY || again.encode(second, sizeof second) != kelOKAY ||
        strcmp(first, second) != 0)
        abort();
    return 0;
}
