#include "kelJPEGFormat.h"

#include <kel/kelOrientation.h>

#include <algorithm>
#include <new>

#include "kelJPEGFile.h"

extern kelTagDescription kelJPEGTagDescriptions[];
extern const int kelJPEGTagCount;

namespace {

// JPEG's largest dimension in libjpeg.
const int maxExtent = 65500;

// Luminance, RGB or CMYK bytes of one plane, any orientation (written as the
// EXIF orientation), in pages of any box.
const kelFormatCaps jpegCaps = {
    kelUChar,
    kelInterleaved,
    kelAnyOrientation,
    kelBitOf(kelLuminance) | kelBitOf(kelRGB) | kelBitOf(kelCMYK),
    kelBitOf(kelJPEG),
    kelUChar,
    kelInterleaved,
    kelUpperLeftOrigin,
    kelJPEG,
    {kelRGB, kelLuminance, kelLuminance, kelRGB, kelCMYK, kelRGB},
    1,
    maxExtent,
    maxExtent,
    1,
    kelBitOf(1) | kelBitOf(3) | kelBitOf(4),
    kelPageRule::AnyBox,
    {kelJPEGNewPageWidth, kelJPEGPageHeight, 1, 0},
    1,
    1,
    0,
    2,
    1,
    kelJPEGTagDescriptions,
    kelJPEGTagCount,
};

} // namespace

kelJPEGFormat theJPEGFormat;

kelJPEGFormat::kelJPEGFormat() : kelTableFormat("JPEG", jpegCaps) {}

int kelJPEGFormat::pageSizeIsSupported(int x, int y, int, int c, int px, int py, int pz, int pc, kelOrientation)
{
    return px >= 1 && py >= 1 && px <= x && py <= y && pz == 1 && pc == c;
}

// Sizes come upright; the preferred page's rows run along the stored rows.
// Extents the caller chose stay.
void kelJPEGFormat::getPreferredPageSize(int x, int y, int, int c, int& px, int& py, int& pz, int& pc,
                                         kelOrientation orientation)
{
    kelMapSize(kelLowerLeftOrigin, x, y, orientation);
    kelMapSize(kelLowerLeftOrigin, px, py, orientation);
    px = std::min(px > 0 ? px : int(kelJPEGNewPageWidth), x);
    py = std::min(py > 0 ? py : int(kelJPEGPageHeight), y);
    kelMapSize(orientation, px, py, kelLowerLeftOrigin);
    pz = 1;
    pc = c;
}

kelFile* kelJPEGFormat::newfileobj()
{
    return new (std::nothrow) kelJPEGFile;
}
