#include "kelFITFormat.h"

#include <kel/kelFITFile.h>
#include <kel/kelTagDescription.h>

#include <limits.h>

#include <new>

#include "kelFITFile.h"

// The user area goes along as one block of bytes; its size and the header's
// version are only shown (a copy gets a version-2 header).
static kelTagDescription fitTags[] = {
    {kelFITuserArea, kelTagBytes | 1 | kelTagFileWide, "Free bytes between the header and the pages", "User area",
     nullptr, nullptr},
    {kelFITextensionSize, kelTagInt | 1 | kelTagFileWide | kelTagReadOnly,
     "Bytes of the user area between header and pages", "User area size", nullptr, nullptr},
    {kelFITheaderVersion, kelTagInt | 1 | kelTagFileWide | kelTagReadOnly, "Version of the file header",
     "Header version", nullptr, nullptr},
};

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
    fitTags,
    int(sizeof fitTags / sizeof fitTags[0]),
};

kelFITFormat theFITFormat;

kelFITFormat::kelFITFormat() : kelTableFormat("FIT", fitCaps) {}

kelFile* kelFITFormat::newfileobj()
{
    return new (std::nothrow) kelFITFile;
}
