// The descriptions of the PNG items; kelPNGtext, which takes a keyword, has
// none.
#include <kel/kelPNGFile.h>
#include <kel/kelTag.h>

namespace {

const kelIntRangeSpec levels = {0, 9};

const kelEnumSpec filterNames[] = {
    {"Default", kelPNGfilterDefault}, {"None", kelPNGfilterNone},   {"Sub", kelPNGfilterSub},
    {"Up", kelPNGfilterUp},           {"Average", kelPNGfilterAverage}, {"Paeth", kelPNGfilterPaeth},
    {"Adaptive", kelPNGfilterAdaptive}, {nullptr, 0},
};

const kelEnumSpec intentNames[] = {
    {"Perceptual", kelPNGintentPerceptual}, {"Relative colorimetric", kelPNGintentRelative},
    {"Saturation", kelPNGintentSaturation}, {"Absolute colorimetric", kelPNGintentAbsolute},
    {nullptr, 0},
};

const kelEnumSpec unitNames[] = {{"Unknown", 0}, {"Metre", 1}, {nullptr, 0}};

const unsigned readOnly = kelTagReadOnly;

} // namespace

kelTagDescription kelPNGTagDescriptions[] = {
    {kelPNGbitDepth, kelTagInt | 1, "Bits per sample (of a palette index)", "Bit depth", nullptr, nullptr},
    {kelPNGinterlace, kelTagBoolean | 1, "Rows are stored in Adam7 interlace", "Interlace", "false", nullptr},
    {kelPNGcompressionLevel, kelTagInt | 1, "Deflate level of the encoder, 0 to 9", "Compression level", "6",
     &levels},
    {kelPNGfilter, kelTagEnumInt | 1, "Row filters the encoder tries", "Filter", "Default", filterNames},
    {kelPNGtransparentGray, kelTagInt | 1, "Gray value that is transparent (tRNS)", "Transparent gray", nullptr,
     nullptr},
    {kelPNGtransparentColor, kelTagInt | 3, "R, G, B that is transparent (tRNS)", "Transparent color", nullptr,
     nullptr},
    {kelPNGsignificantBits, kelTagInt | 4, "Significant bits of each channel (sBIT)", "Significant bits", nullptr,
     nullptr},
    {kelPNGgamma, kelTagDouble | 1, "Gamma of the samples (gAMA)", "Gamma", nullptr, nullptr},
    {kelPNGwhitePoint, kelTagDouble | 2, "x, y of the white point (cHRM)", "White point", nullptr, nullptr},
    {kelPNGredPrimary, kelTagDouble | 2, "x, y of the red primary (cHRM)", "Red primary", nullptr, nullptr},
    {kelPNGgreenPrimary, kelTagDouble | 2, "x, y of the green primary (cHRM)", "Green primary", nullptr, nullptr},
    {kelPNGbluePrimary, kelTagDouble | 2, "x, y of the blue primary (cHRM)", "Blue primary", nullptr, nullptr},
    {kelPNGsRGBIntent, kelTagEnumInt | 1, "sRGB color space with this rendering intent (sRGB)", "sRGB intent",
     nullptr, intentNames},
    {kelPNGresolution, kelTagInt | 2, "Pixels per unit, x and y (pHYs)", "Resolution", nullptr, nullptr},
    {kelPNGresolutionUnit, kelTagEnumInt | 1, "Unit of the resolution (pHYs)", "Resolution unit", "Metre",
     unitNames},
    {kelPNGmodificationTime, kelTagString | 1, "Last modification, UTC (tIME)", "Modification time", nullptr,
     nullptr},
    {kelPNGbackgroundGray, kelTagInt | 1, "Background gray (bKGD)", "Background gray", nullptr, nullptr},
    {kelPNGbackgroundColor, kelTagInt | 3, "Background R, G, B (bKGD)", "Background color", nullptr, nullptr},
    {kelPNGbackgroundIndex, kelTagInt | 1, "Background palette index (bKGD)", "Background index", nullptr, nullptr},
    {kelPNGtitle, kelTagString | 1, "Short title or caption", "Title", nullptr, nullptr},
    {kelPNGauthor, kelTagString | 1, "Name of the image's creator", "Author", nullptr, nullptr},
    {kelPNGdescription, kelTagString | 1, "Description of the image", "Description", nullptr, nullptr},
    {kelPNGcopyright, kelTagString | 1, "Copyright notice", "Copyright", nullptr, nullptr},
    {kelPNGcreationTime, kelTagString | 1, "Time of the original image's creation", "Creation time", nullptr,
     nullptr},
    {kelPNGsoftware, kelTagString | 1, "Software that created the image", "Software", nullptr, nullptr},
    {kelPNGdisclaimer, kelTagString | 1, "Legal disclaimer", "Disclaimer", nullptr, nullptr},
    {kelPNGwarning, kelTagString | 1, "Warning of the nature of the content", "Warning", nullptr, nullptr},
    {kelPNGsource, kelTagString | 1, "Device that created the image", "Source", nullptr, nullptr},
    {kelPNGcomment, kelTagString | 1, "Miscellaneous comment", "Comment", nullptr, nullptr},
    {kelPNGxmp, kelTagString | 1, "XMP packet (iTXt XML:com.adobe.xmp)", "XMP", nullptr, nullptr},
    {kelPNGtextKeywords, kelTagString | 1 | readOnly, "Keywords of the text chunks, one a line", "Text keywords",
     nullptr, nullptr},
    {kelPNGexif, kelTagBytes | 1 | readOnly, "EXIF data (eXIf)", "EXIF", nullptr, nullptr},
    {kelPNGanimated, kelTagBoolean | 1 | readOnly, "An animation (acTL): its default image is read", "Animated",
     "false", nullptr},
};

extern const int kelPNGTagCount = int(sizeof kelPNGTagDescriptions / sizeof kelPNGTagDescriptions[0]);
