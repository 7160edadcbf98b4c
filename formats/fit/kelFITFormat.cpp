#include "kelFITFormat.h"

#include <limits.h>

#include <new>

#include "kelFITFile.h"

// Pages of raw samples of any kind: everything but compression is stored.
// A new file's pages are 128 x 128 unless the caller chose otherwise.
static const kelFormatCaps fitCaps = {
    kelAnything,
    kelAnything,
    kelAnything,
    kelAnything,
    kelBitOf(kelNoCompression),
    kelUChar,
    kelInterleaved,
    kelLowerLeftOrigin,
    kelNoCompression,
    {kelRGB, kelLuminance, kelLuminanceAlpha, kelRGB, kelRGBA, kelMultiSpectral},
    INT_MIN,
    INT_MAX,
    INT_MAX,
    INT_MAX,
    0,
    kelPageRule::AnyBox,
    {128, 128, 1, 0},
    1,
    1,
    1,
    2,
    1,
    nullptr,
    0,
};

kelFITFormat theFITFormat;

kelFITFormat::kelFITFormat() : kelTableFormat("FIT", fitCaps) {}

kelFile* kelFITFormat::newfileobj()
{
    return new (std::nothrow) kelFITFile;
}
