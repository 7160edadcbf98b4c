// The BMP items: the resolutions and the count of significant colors go
// along with a copy; the header size tells which header variant a file has.
#include <kel/kelBMPFile.h>

#include <limits.h>

#include "kelToolItems.h"

namespace {

const kelIntRangeSpec anyCount = {0, INT_MAX};

} // namespace

kelToolItem kelToolBMPItems[] = {
    {"horizontal_resolution",
     {kelBMPHorizResolution, 0x6371, "Horizontal resolution in pixels per meter", "Horizontal Resolution", "0",
      &anyCount},
     kelToolItemImage,
     true},
    {"vertical_resolution",
     {kelBMPVertResolution, 0x6371, "Vertical resolution in pixels per meter", "Vertical Resolution", "0",
      &anyCount},
     kelToolItemImage,
     true},
    {"significant_colors",
     {kelBMPSignificantColors, 0x6371, "Significant colors in color palette", "Significant colors", "0", &anyCount},
     kelToolItemImage,
     true},
    {"header_size",
     {kelBMPHeaderSize, kelTagInt | 1, "Bytes of the info header: 12, 40, 108, 124, ...", "Header size", nullptr,
      nullptr},
     kelToolItemFile,
     false},
};

const int kelToolBMPItemCount = int(sizeof kelToolBMPItems / sizeof kelToolBMPItems[0]);
