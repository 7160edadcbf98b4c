#include "kelPNGFormat.h"

#include <limits.h>

#include <algorithm>
#include <new>

#include "kelPNGFile.h"

extern kelTagDescription kelPNGTagDescriptions[];
extern const int kelPNGTagCount;

namespace {

// One plane of one to four channels: gray (bits, bytes or 16-bit), gray and
// alpha, RGB, RGBA, or palette indices; upper-left, interleaved, deflate.
const kelFormatCaps pngCaps = {
    kelBit | kelUChar | kelUShort,
    kelInterleaved,
    kelBitOf(kelUpperLeftOrigin),
    kelBitOf(kelLuminance) | kelBitOf(kelLuminanceAlpha) | kelBitOf(kelRGB) | kelBitOf(kelRGBA) |
        kelBitOf(kelRGBPalette),
    kelBitOf(kelZIP),
    kelUChar,
    kelInterleaved,
    kelUpperLeftOrigin,
    kelZIP,
    {kelRGB, kelLuminance, kelLuminanceAlpha, kelRGB, kelRGBA, kelRGBA},
    1,
    INT_MAX,
    INT_MAX,
    1,
    kelBitOf(1) | kelBitOf(2) | kelBitOf(3) | kelBitOf(4),
    kelPageRule::AnyBox,
    {kelPNGFile::pageWidth, kelPNGFile::pageHeight, 1, 0},
    1,
    1,
    0,
    2,
    1,
    kelPNGTagDescriptions,
    kelPNGTagCount,
};

} // namespace

kelPNGFormat thePNGformat;

kelPNGFormat::kelPNGFormat() : kelTableFormat("PNG", pngCaps) {}

int kelPNGFormat::pageSizeIsSupported(int, int, int, int c, int px, int py, int pz, int pc, kelOrientation)
{
    return px >= 1 && py >= 1 && pz == 1 && pc == c;
}

void kelPNGFormat::getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                                        kelOrientation orientation)
{
    kelTableFormat::getPreferredPageSize(x, y, z, c, px, py, pz, pc, orientation);
    px = std::min(px, std::max(x, 1));
    py = std::min(py, std::max(y, 1));
    pz = 1;
    pc = c;
}

kelFile* kelPNGFormat::newfileobj()
{
    return new (std::nothrow) kelPNGFile;
}
