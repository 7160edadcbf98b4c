// WebP files: the input is the file, read as every format is (its last
// bytes also choose the other layouts): every frame, its items and the
// metadata chunks. WebP files open read-only.
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices = FuzzChoices::fromTail(data, size, 32);
    kelFuzzReadImageBytes(data, size, "WEBP", nullptr, choices);
    return 0;
}
