// The descriptions of the TIFF items. They belong to the current image;
// the encoder's JPEG quality carries the common quality role, so that tools
// set it without knowing the format.
#include <kel/kelTIFFFile.h>
#include <kel/kelTag.h>

namespace {

const kelIntRangeSpec qualities = {1, 100};
const kelIntRangeSpec levels = {1, 22};
const kelIntRangeSpec pages = {0, 65535};

constexpr unsigned one(unsigned type)
{
    return 1 | type;
}

constexpr unsigned readOnly(unsigned type)
{
    return one(type) | kelTagReadOnly;
}

} // namespace

kelTagDescription kelTIFFTagDescriptions[] = {
    {kelTIFFresolution, 2 | kelTagDouble, "Pixels per resolution unit, X and Y", "Resolution", nullptr, nullptr},
    {kelTIFFresolutionUnit, one(kelTagEnumInt), "Unit of the resolution", "Resolution unit", "Inch",
     kelTIFFResolutionUnitNames},
    {kelTIFFsoftware, one(kelTagString), "Software that made the image", "Software", nullptr, nullptr},
    {kelTIFFdateTime, one(kelTagString), "Date and time, YYYY:MM:DD HH:MM:SS", "Date time", nullptr, nullptr},
    {kelTIFFdescription, one(kelTagString), "Image description", "Description", nullptr, nullptr},
    {kelTIFFartist, one(kelTagString), "Artist", "Artist", nullptr, nullptr},
    {kelTIFFcopyright, one(kelTagString), "Copyright notice", "Copyright", nullptr, nullptr},
    {kelTIFFpageName, one(kelTagString), "Name of the page", "Page name", nullptr, nullptr},
    {kelTIFFpageNumber, 2 | kelTagInt, "Page number and page count", "Page number", nullptr, &pages},
    {kelTIFFsampleFormat, readOnly(kelTagEnumInt), "Sample format as stored", "Sample format", "Unsigned",
     kelTIFFSampleFormatNames},
    {kelTIFFbitsPerSample, readOnly(kelTagInt), "Bits per sample as stored", "Bits per sample", nullptr, nullptr},
    {kelTIFFpredictor, one(kelTagEnumInt), "Predictor of LZW, Deflate, ZSTD and LZMA", "Predictor", "None",
     kelTIFFPredictorNames},
    {kelTIFFcompressionLevel, one(kelTagInt), "Deflate, ZSTD or LZMA level (written files only)",
     "Compression level", nullptr, &levels},
    {kelTIFFjpegQuality, one(kelTagInt) | kelTagRoleFlags(kelTagRoleQuality),
     "JPEG encoder quality, 100 best (written files only)", "Quality", "75", &qualities},
    {kelTIFFextraSamples, one(kelTagEnumInt), "What the alpha channel is", "Alpha", "Unassociated",
     kelTIFFExtraSamplesNames},
    {kelTIFFsubfileType, readOnly(kelTagInt), "NewSubfileType: 1 reduced resolution, 2 page, 4 mask",
     "Subfile type", "0", nullptr},
    {kelTIFFcompressionCode, readOnly(kelTagInt), "TIFF compression code", "Compression code", nullptr, nullptr},
    {kelTIFFbigTIFF, readOnly(kelTagBoolean) | kelTagFileWide, "BigTIFF (64-bit offsets)", "BigTIFF", "false",
     nullptr},
};

extern const int kelTIFFTagCount = int(sizeof kelTIFFTagDescriptions / sizeof kelTIFFTagDescriptions[0]);
