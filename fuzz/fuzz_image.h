// What the fuzz targets of the library share: its set-up for fuzzing and
// the reading that every image format target does.
#ifndef KEL_FUZZ_IMAGE_H
#define KEL_FUZZ_IMAGE_H

#include <kel/kel.h>

#include "fuzz_files.h"

// Quiet, never ending the process; the database of the build tree; a page
// limit that keeps every run within the fuzzer's memory.
void kelFuzzSetUp();

// A layout other than the file's for getTile and setTile: data type, order,
// orientation and a channel list drawn from `choices`. The channel list
// lives in the object.
struct FuzzLayout {
    kelConfig config;
    int channels[8];
    void draw(FuzzChoices& choices, int fileChannels);
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

enum { kelFuzzMaxElements = 1 << 16 };

#endif
