#include "kelWEBPFormat.h"

#include <new>

#include "kelWEBPFile.h"
#include "kelWEBPLimits.h"

extern kelTagDescription kelWEBPTagDescriptions[];
extern const int kelWEBPTagCount;

namespace {

// RGB or RGBA bytes of one plane, upper-left origin, in one page: the
// codec decodes and encodes whole images.
const kelFormatCaps webpCaps = {
    kelUChar,
    kelInterleaved,
    kelBitOf(kelUpperLeftOrigin),
    kelBitOf(kelRGB) | kelBitOf(kelRGBA),
    kelBitOf(kelWEBP) | kelBitOf(kelWEBPLossless),
    kelUChar,
    kelInterleaved,
    kelUpperLeftOrigin,
    kelWEBP,
    {kelRGB, kelRGB, kelRGBA, kelRGB, kelRGBA, kelRGBA},
    1,
    kelWEBPMaxExtent,
    kelWEBPMaxExtent,
    1,
    kelBitOf(3) | kelBitOf(4),
    kelPageRule::WholeImage,
    {0, 0, 1, 0},
    0,
    0,
    0,
    2,
    1,
    kelWEBPTagDescriptions,
    kelWEBPTagCount,
};

} // namespace

kelWEBPFormat theWEBPFormat;

kelWEBPFormat::kelWEBPFormat() : kelTableFormat("WEBP", webpCaps) {}

kelFile* kelWEBPFormat::newfileobj()
{
    return new (std::nothrow) kelWEBPFile;
}
