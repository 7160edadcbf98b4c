// What the fuzz targets of the library share: its set-up for fuzzing and
// the reading that every image format target does.
#ifndef KEL_FUZZ_IMAGE_H
#define KEL_FUZZ_IMAGE_H

#include <kel/kel.h>

#include <string>
#include <vector>

#include "fuzz_files.h"

// Every target that links this starts set up before its first input:
// quiet, never ending the process; the database of the build tree; a page
// limit that keeps every run within the fuzzer's memory.

// A layout other than the file's for getTile and setTile: data type, order,
// orientation and a channel list drawn from `choices`. The channel list
// lives in the object.
struct FuzzLayout {
    kelConfig config;
    int channels[8];
    void draw(FuzzChoices& choices, int fileChannels);
    // A layout that carries every pixel exactly: data type `type`, any
    // order and orientation, and all `fileChannels` in an order of its own.
    void drawExact(FuzzChoices& choices, kelDataType type, int fileChannels);
    size_t bytes(const kelSize& size) const;
};

// Every image of an open file: its items and tags, colormap and scales,
// the whole image in the file's layout and again in a drawn layout, and a
// few tiles. Images beyond `maxElements` elements are not read whole.
void kelFuzzReadEveryImage(kelFile* file, FuzzChoices& choices);

// Opens `data` as a file of `format` (with format arguments, or null) and
// reads it as above.
void kelFuzzReadImageBytes(const uint8_t* data, size_t size, const char* format, const char* args,
                           FuzzChoices& choices);

// The bytes of an image of `size` in the file's own layout.
size_t kelFuzzImageBytes(kelDataType type, const kelSize& size);

// Opens `name` read-write, reads its current image in the file's own layout
// and writes it back: what was written must read back unchanged.
void kelFuzzRewriteImage(const std::string& name);

// `bytes` of pixels of `type` taken from the input (zeros once it is used
// up). Not-a-number values are cleared: they need not keep their bits
// through a conversion.
std::vector<unsigned char> kelFuzzDrawPixels(FuzzChoices& choices, kelDataType type, size_t bytes);

// Writes the whole image of `out` from `pixels` in `layout`, at once or as
// two bands of rows, as the input decides; the first failing status.
kelStatus kelFuzzWriteImage(kelFile* out, const FuzzLayout& layout, const std::vector<unsigned char>& pixels,
                            FuzzChoices& choices);

// Whether `elements` pixels of `type` are the same in `a` and `b`; the bits
// after the last element of a bit image are no pixels.
bool kelFuzzSamePixels(kelDataType type, size_t elements, const unsigned char* a, const unsigned char* b);

// The image of the file `name`, opened again, read whole in `layout`
// (`bytes` of it); aborts when the file cannot be opened or read.
std::vector<unsigned char> kelFuzzReadBack(const std::string& name, const FuzzLayout& layout, size_t bytes);

enum { kelFuzzMaxElements = 1 << 16, kelFuzzMaxRewriteBytes = 4 << 20 };

#endif
