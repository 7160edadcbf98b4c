// The descriptions of the JPEG items. Every item is the whole file's; the
// encoder's quality carries the common quality role, so that tools set it
// without knowing the format.
#include <kel/kelJPEGFile.h>
#include <kel/kelTag.h>

namespace {

const kelIntRangeSpec qualities = {1, 100};
const kelIntRangeSpec intervals = {0, 65535};
const kelIntRangeSpec densities = {1, 65535};

constexpr unsigned one(unsigned type)
{
    return 1 | type | kelTagFileWide;
}

constexpr unsigned readOnly(unsigned type)
{
    return one(type) | kelTagReadOnly;
}

} // namespace

kelTagDescription kelJPEGTagDescriptions[] = {
    {kelJPEGquality, one(kelTagInt) | unsigned(kelTagRoleQuality) << kelTagRoleShift,
     "Encoder quality, 100 best (not stored in the file)", "Quality", "90", &qualities},
    {kelJPEGsubsampling, one(kelTagEnumInt), "Chroma sampling against the luminance's", "Chroma subsampling",
     "4:2:0", kelJPEGSubsamplingNames},
    {kelJPEGprogressive, one(kelTagBoolean), "Progressive scans", "Progressive", "false", nullptr},
    {kelJPEGoptimize, one(kelTagBoolean), "Huffman tables made for the image (written files only)", "Optimize",
     "false", nullptr},
    {kelJPEGrestartInterval, one(kelTagInt), "MCUs between restart markers, 0 for none", "Restart interval", "0",
     &intervals},
    {kelJPEGdensity, 2 | kelTagInt | kelTagFileWide, "Horizontal and vertical pixel density", "Density", "1, 1",
     &densities},
    {kelJPEGdensityUnit, one(kelTagEnumInt), "Unit of the density", "Density unit", "None",
     kelJPEGDensityUnitNames},
    {kelJPEGcomment, one(kelTagString), "Comment (COM markers)", "Comment", nullptr, nullptr},
    {kelJPEGarithmetic, readOnly(kelTagBoolean), "Arithmetic coding", "Arithmetic coding", "false", nullptr},
    {kelJPEGadobeTransform, readOnly(kelTagEnumInt), "Color transform of the Adobe marker", "Adobe transform",
     nullptr, kelJPEGAdobeTransformNames},
    {kelJPEGexif, readOnly(kelTagBytes), "EXIF block (a TIFF structure)", "EXIF", nullptr, nullptr},
};

extern const int kelJPEGTagCount = int(sizeof kelJPEGTagDescriptions / sizeof kelJPEGTagDescriptions[0]);
