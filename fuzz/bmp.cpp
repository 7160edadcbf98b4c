// BMP files: the input is the file, read as every format is; its last bytes
// also choose the other layouts. BMP files open read-only.
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices = FuzzChoices::fromTail(data, size, 16);
    kelFuzzReadImageBytes(data, size, "BMP", nullptr, choices);
    return 0;
}
