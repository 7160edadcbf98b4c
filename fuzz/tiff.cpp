// TIFF files: the input is the file, read as every format is (every
// directory, its items, colormap and profile; its last bytes also choose
// the other layouts), then opened read-write with its first image read
// whole and written back, which must read back unchanged, also after the
// file is closed and opened again.
#include "fuzz_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzChoices choices = FuzzChoices::fromTail(data, size, 16);
    kelFuzzReadImageBytes(data, size, "TIFF", nullptr, choices);
    kelFuzzRewriteImage(kelFuzzWriteFile("rewrite", data, size) + "#TIFF");
    return 0;
}
