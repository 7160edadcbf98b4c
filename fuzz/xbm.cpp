// X bitmaps: the input is the text, read as every format is (its last bytes
// also choose the other layouts), then opened read-write and rewritten.
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices = FuzzChoices::fromTail(data, size, 16);
    kelFuzzReadImageBytes(data, size, "XBM", nullptr, choices);
    kelFuzzRewriteImage(kelFuzzPath("image") + "#XBM");
    return 0;
}
