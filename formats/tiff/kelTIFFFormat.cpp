#include "kelTIFFFormat.h"

#include <kel/kelOrientation.h>

#include <limits.h>

#include <algorithm>
#include <new>

#include "kelTIFFFile.h"

extern kelTagDescription kelTIFFTagDescriptions[];
extern const int kelTIFFTagCount;

namespace {

// Every type, both orders, every orientation (the Orientation tag), the
// models TIFF's photometric interpretations hold, in tiles or strips.
const kelFormatCaps tiffCaps = {
    kelAnyType,
    kelInterleaved | kelSeparate,
    kelAnyOrientation,
    kelBitOf(kelNegative) | kelBitOf(kelLuminance) | kelBitOf(kelRGB) | kelBitOf(kelRGBPalette) |
        kelBitOf(kelRGBA) | kelBitOf(kelCMYK) | kelBitOf(kelMultiSpectral) | kelBitOf(kelLuminanceAlpha),
    kelBitOf(kelNoCompression) | kelBitOf(kelLZW) | kelBitOf(kelJPEG) | kelBitOf(kelPACKBITS) |
        kelBitOf(kelZIP) | kelBitOf(kelZSTD) | kelBitOf(kelLZMA),
    kelUChar,
    kelInterleaved,
    kelUpperLeftOrigin,
    kelNoCompression,
    {kelRGB, kelLuminance, kelLuminanceAlpha, kelRGB, kelRGBA, kelMultiSpectral},
    1,
    INT_MAX,
    INT_MAX,
    1,
    0,
    kelPageRule::AnyBox,
    {0, 0, 1, 0},
    1,
    1,
    1,
    2,
    1,
    kelTIFFTagDescriptions,
    kelTIFFTagCount,
};

int isTile(int px, int py)
{
    return px >= kelTIFFTileUnit && py >= kelTIFFTileUnit && px % kelTIFFTileUnit == 0 &&
           py % kelTIFFTileUnit == 0;
}

} // namespace

kelTIFFFormat theTIFFFormat;

kelTIFFFormat::kelTIFFFormat() : kelTableFormat("TIFF", tiffCaps) {}

// Sizes come upright; tiles and strips lie along the stored rows. A page
// holds every channel, or one (a plane's) when there are several.
int kelTIFFFormat::pageSizeIsSupported(int x, int y, int, int c, int px, int py, int pz, int pc,
                                       kelOrientation orientation)
{
    kelMapSize(kelLowerLeftOrigin, x, y, orientation);
    kelMapSize(kelLowerLeftOrigin, px, py, orientation);
    if (pz != 1 || (pc != c && pc != 1) || py < 1)
        return 0;
    const bool strip = px == x && (long long)px * py * pc <= kelTIFFMaxStripElements;
    return strip || isTile(px, py);
}

// Tiles the caller chose stay; otherwise strips of about a quarter of a
// million samples, whole multiples of 16 rows where the image has them.
void kelTIFFFormat::getPreferredPageSize(int x, int y, int, int c, int& px, int& py, int& pz, int& pc,
                                         kelOrientation orientation)
{
    kelMapSize(kelLowerLeftOrigin, x, y, orientation);
    kelMapSize(kelLowerLeftOrigin, px, py, orientation);
    if (pc != 1)
        pc = c;
    const long long rowElements = (long long)x * std::max(pc, 1);
    if (!isTile(px, py) && rowElements > kelTIFFMaxStripElements) {
        px = py = 256; // no strip of one row fits: tiles
    } else if (!isTile(px, py)) {
        const long long rows = std::max(1LL, kelTIFFStripElements / rowElements);
        px = x;
        py = int(std::min<long long>(y, rows >= kelTIFFTileUnit ? rows / kelTIFFTileUnit * kelTIFFTileUnit : rows));
    }
    kelMapSize(orientation, px, py, kelLowerLeftOrigin);
    pz = 1;
}

kelFile* kelTIFFFormat::newfileobj()
{
    return new (std::nothrow) kelTIFFFile;
}
