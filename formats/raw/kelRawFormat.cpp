#include "kelRawFormat.h"

#include <limits.h>

#include <new>

#include "kelRawFile.h"

// Pages of raw samples of any kind: everything but compression is stored.
// A new file is one page unless its arguments say otherwise.
static const kelFormatCaps rawCaps = {
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
    {0, 0, 0, 0},
    0,
    1,
    1,
    1,
    3,
    nullptr,
    0,
};

kelRawFormat theRawFormat;

kelRawFormat::kelRawFormat() : kelTableFormat("Raw", rawCaps) {}

kelFile* kelRawFormat::newfileobj()
{
    return new (std::nothrow) kelRawFile;
}
