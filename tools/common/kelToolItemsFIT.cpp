// FIT: the size of the user area and the header's version. Neither is
// carried: a copy gets a version-2 header, and its user area goes along
// whole with kelToolCarryFITUserArea.
#include <kel/kelFITFile.h>
#include <kel/kelFile.h>
#include <kel/kelFormat.h>

#include <string.h>

#include <memory>
#include <new>

#include "kelToolItems.h"

kelToolItem kelToolFITItems[] = {
    {"user_area_size",
     {kelFITextensionSize, kelTagInt | 1, "Bytes of the user area between header and pages", "user area size",
      nullptr, nullptr},
     kelToolItemFile,
     false},
    {"header_version",
     {kelFITheaderVersion, kelTagInt | 1, "Version of the file header", "header version", nullptr, nullptr},
     kelToolItemFile,
     false}};

const int kelToolFITItemCount = sizeof kelToolFITItems / sizeof kelToolFITItems[0];

kelStatus kelToolCarryFITUserArea(kelFile& src, kelFile& dst)
{
    int bytes = 0;
    const char* name = src.getFormat() ? src.getFormat()->getName() : nullptr;
    if (!name || strcmp(name, "FIT") != 0 || src.getItem(kelFITextensionSize, &bytes) != kelOKAY || bytes <= 0)
        return kelOKAY;
    std::unique_ptr<char[]> data(new (std::nothrow) char[bytes]);
    if (!data)
        return kelMALLOCFAILED;
    kelStatus sts = src.getItem(kelFITextensionData, data.get(), bytes);
    return sts != kelOKAY ? sts : dst.setItem(kelFITextensionData, data.get(), bytes);
}
