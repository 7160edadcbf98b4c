#include "kelGIFFormat.h"

#include <new>

#include "kelGIFFile.h"
#include "kelGIFLimits.h"

extern kelTagDescription kelGIFTagDescriptions[];
extern const int kelGIFTagCount;

// One channel of indices and one plane of at most 65535 x 65535 pixels, in
// one page.
static const kelFormatCaps gifCaps = {
    kelUChar,
    kelInterleaved,
    kelBitOf(kelUpperLeftOrigin),
    kelBitOf(kelRGBPalette),
    kelBitOf(kelLZW),
    kelUChar,
    kelInterleaved,
    kelUpperLeftOrigin,
    kelLZW,
    {kelRGBPalette, kelRGBPalette, kelRGBPalette, kelRGBPalette, kelRGBPalette, kelRGBPalette},
    1,
    kelGIFMaxWord,
    kelGIFMaxWord,
    1,
    kelBitOf(1),
    kelPageRule::WholeImage,
    {0, 0, 1, 1},
    0,
    0,
    0,
    2,
    1,
    kelGIFTagDescriptions,
    kelGIFTagCount,
};

kelGIFFormat theGIFformat;

kelGIFFormat::kelGIFFormat() : kelTableFormat("GIF", gifCaps) {}

kelFile* kelGIFFormat::newfileobj()
{
    return new (std::nothrow) kelGIFFile;
}
