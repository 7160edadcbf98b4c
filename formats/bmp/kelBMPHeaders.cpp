// The file header and the info header: their fields, little-endian, byte by
// byte, and what a header must hold for its file to be read.
#include <limits.h>

#include "kelBMPFile.h"

namespace {

// The largest page the framework addresses.
const uint64_t maxPageBytes = INT_MAX;

// The V5 header's color space ("sRGB") and rendering intent (pictures).
const uint32_t srgbColorSpace = 0x73524742;
const uint32_t intentImages = 4;

template <class T>
kelStatus readField(kelByteReader& in, T& field)
{
    uint32_t v = 0;
    for (unsigned i = 0; i < sizeof(T); i++) {
        const int ch = in.getByte();
        if (ch < 0)
            return in.readFailure();
        v |= uint32_t(ch) << (8 * i);
    }
    field = T(v);
    return kelOKAY;
}

// Reads the fields in order, stopping at the first failure.
template <class... T>
kelStatus readFields(kelByteReader& in, T&... fields)
{
    kelStatus sts = kelOKAY;
    ((sts = sts == kelOKAY ? readField(in, fields) : sts), ...);
    return sts;
}

template <class... T>
void writeFields(kelByteWriter& out, const T&... fields)
{
    ((sizeof(T) == 2 ? out.putLE16(unsigned(fields)) : out.putLE32(uint32_t(fields))), ...);
}

// Depth and compression of the files this plug-in reads: none for 1 and 24
// bits, none or RLE4 for 4, none or RLE8 for 8, none or bit fields for 16
// and 32.
int isAcceptedCombination(unsigned bits, uint32_t compression)
{
    switch (bits) {
    case 1:
    case 24:
        return compression == 0;
    case 4:
        return compression == 0 || compression == 2;
    case 8:
        return compression == 0 || compression == 1;
    case 16:
    case 32:
        return compression == 0 || compression == kelBMPFile::InfoHeader::bitFields;
    default:
        return 0;
    }
}

} // namespace

kelStatus kelBMPFile::Header::read(kelByteReader& in)
{
    kelStatus sts = readFields(in, ImageFileType, FileSize, Reserved1, Reserved2, ImageDataOffset);
    if (sts == kelOKAY && ImageFileType != magic)
        return kelBADMAGIC;
    return sts;
}

void kelBMPFile::Header::write(kelByteWriter& out) const
{
    writeFields(out, ImageFileType, FileSize, Reserved1, Reserved2, ImageDataOffset);
}

// The color masks follow the 40-byte layout: inside headers of 52 bytes and
// more (alpha from 56), after the header of 40 bytes in bit-field files.
kelStatus kelBMPFile::InfoHeader::read(kelByteReader& in)
{
    kelStatus sts = readField(in, HeaderSize);
    if (sts != kelOKAY)
        return sts;
    if (HeaderSize >= 40) {
        sts = readFields(in, ImageWidth, ImageHeight, NumberOfImagePlanes, BitsPerPixel, CompressionMethod,
                         SizeOfBitmap, HorzResolution, VertResolution, NumColorsUsed, NumSignificantColors);
        if (sts == kelOKAY && (HeaderSize >= 52 || CompressionMethod == bitFields))
            sts = readFields(in, Masks[0], Masks[1], Masks[2]);
        if (sts == kelOKAY && HeaderSize >= 56)
            sts = readField(in, Masks[3]);
        if (sts == kelOKAY && CompressionMethod != bitFields)
            defaultMasks();
        return sts;
    }
    if (HeaderSize != 12)
        return kelBADIMGFMT;
    uint16_t width = 0, height = 0;
    sts = readFields(in, width, height, NumberOfImagePlanes, BitsPerPixel);
    ImageWidth = width;
    ImageHeight = height;
    CompressionMethod = SizeOfBitmap = NumColorsUsed = NumSignificantColors = 0;
    HorzResolution = VertResolution = 0;
    defaultMasks();
    return sts;
}

// 5-5-5 for 16 bits, 8-8-8 for 32 (the top byte unused), no alpha.
void kelBMPFile::InfoHeader::defaultMasks()
{
    const int wide = BitsPerPixel == 32;
    Masks[0] = wide ? 0xff0000 : 0x7c00;
    Masks[1] = wide ? 0x00ff00 : 0x03e0;
    Masks[2] = wide ? 0x0000ff : 0x001f;
    Masks[3] = 0;
}

void kelBMPFile::InfoHeader::write(kelByteWriter& out) const
{
    writeFields(out, HeaderSize, ImageWidth, ImageHeight, NumberOfImagePlanes, BitsPerPixel, CompressionMethod,
                SizeOfBitmap, HorzResolution, VertResolution, NumColorsUsed, NumSignificantColors);
    if (HeaderSize < v5Size)
        return;
    writeFields(out, Masks[0], Masks[1], Masks[2], Masks[3], srgbColorSpace);
    // Endpoints and gammas (unused with sRGB), then the intent, and no profile.
    for (int i = 0; i < 12; i++)
        out.putLE32(0);
    writeFields(out, intentImages, 0u, 0u, 0u);
}

long long kelBMPFile::InfoHeader::height() const
{
    return ImageHeight < 0 ? -(long long)ImageHeight : ImageHeight;
}

int kelBMPFile::InfoHeader::channels() const
{
    if (BitsPerPixel <= 8)
        return 1;
    return BitsPerPixel != 24 && Masks[3] ? 4 : 3;
}

uint64_t kelBMPFile::InfoHeader::rowStride() const
{
    return (uint64_t(uint32_t(ImageWidth)) * BitsPerPixel + 31) / 32 * 4;
}

uint32_t kelBMPFile::InfoHeader::paletteEntries() const
{
    if (BitsPerPixel > 8)
        return 0;
    const uint32_t all = 1u << BitsPerPixel;
    return NumColorsUsed == 0 || NumColorsUsed > all ? all : NumColorsUsed;
}

// Sizes are checked in 64 bits before anything is allocated from them; the
// page of one byte per pixel and channel must stay addressable.
kelStatus kelBMPFile::InfoHeader::check() const
{
    if (NumberOfImagePlanes != 1 || !isAcceptedCombination(BitsPerPixel, CompressionMethod))
        return kelBADIMGFMT;
    if (ImageWidth <= 0 || ImageHeight == 0 || ImageHeight == INT32_MIN)
        return kelBADIMGFMT;
    // Run-length data has no top-down form.
    if (isTopDown() && isRunLength())
        return kelBADIMGFMT;
    const uint64_t pageBytes = uint64_t(ImageWidth) * uint64_t(height()) * uint64_t(channels());
    return pageBytes > maxPageBytes ? kelStatus(kelBADIMGFMT) : kelStatus(kelOKAY);
}
