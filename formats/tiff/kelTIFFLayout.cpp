#include "kelTIFFLayout.h"

#include <kel/kelColor.h>
#include <kel/kelDataSize.h>
#include <kel/kelError.h>

#include <vector>

namespace {

const struct {
    int code;
    kelCompression kel;
} compressions[] = {
    {COMPRESSION_NONE, kelNoCompression},      {COMPRESSION_LZW, kelLZW},
    {COMPRESSION_JPEG, kelJPEG},               {COMPRESSION_PACKBITS, kelPACKBITS},
    {COMPRESSION_ADOBE_DEFLATE, kelZIP},       {COMPRESSION_ZSTD, kelZSTD},
    {COMPRESSION_LZMA, kelLZMA},               {COMPRESSION_DEFLATE, kelZIP},
    {COMPRESSION_OJPEG, kelJPEG},              {COMPRESSION_CCITTFAX3, kelCCITTFAX3},
    {COMPRESSION_CCITTFAX4, kelCCITTFAX4},     {COMPRESSION_WEBP, kelWEBP},
};

int field16(TIFF* tif, ttag_t tag)
{
    uint16_t v = 0;
    TIFFGetFieldDefaulted(tif, tag, &v);
    return v;
}

// The kel type that holds samples of `bits` in `format`; 0 for none.
kelDataType typeOf(int bits, int format)
{
    if (format == SAMPLEFORMAT_IEEEFP)
        return bits == 16 || bits == 32 ? kelFloat : bits == 64 ? kelDouble : kelDataType(0);
    if (format == SAMPLEFORMAT_INT)
        return bits <= 8 ? kelChar : bits <= 16 ? kelShort : bits <= 32 ? kelInt : kelDataType(0);
    if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_VOID)
        return kelDataType(0);
    return bits == 1 ? kelBit : bits <= 8 ? kelUChar : bits <= 16 ? kelUShort : bits <= 32 ? kelUInt : kelDataType(0);
}

// Whether the one extra sample is alpha (associated or not); an
// unspecified one is a further channel.
bool alphaSample(TIFF* tif)
{
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    return TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) && count == 1 &&
           kinds[0] != EXTRASAMPLE_UNSPECIFIED;
}

// The model of `samples` channels, the last of which may be alpha.
kelColorModel modelOf(int photometric, int samples, bool alpha, int inkset)
{
    switch (photometric) {
    case PHOTOMETRIC_MINISWHITE:
        return samples == 1 ? kelNegative : kelMultiSpectral;
    case PHOTOMETRIC_MINISBLACK:
        return samples == 1 ? kelLuminance : samples == 2 && alpha ? kelLuminanceAlpha : kelMultiSpectral;
    case PHOTOMETRIC_RGB:
        return samples == 3 ? kelRGB : samples == 4 && alpha ? kelRGBA : kelMultiSpectral;
    case PHOTOMETRIC_PALETTE:
        return samples == 1 ? kelRGBPalette : kelColorModel(0);
    case PHOTOMETRIC_SEPARATED:
        return samples == 4 && inkset == INKSET_CMYK ? kelCMYK : kelMultiSpectral;
    }
    return kelColorModel(0);
}

kelStatus refuse(const char* name, const char* what, int value)
{
    kelError(kelSeverityWarning, "TIFF file %s: %s %d is not supported", name, what, value);
    return kelUNSUPPORTEDBYFORMAT;
}

// YCbCr (other than JPEG's), CIE Lab and the rest that libtiff turns into
// RGBA for us.
kelStatus viaRGBA(TIFF* tif, kelTIFFLayout& l, const char* name)
{
    char why[1024];
    if (!TIFFRGBAImageOK(tif, why)) {
        kelError(kelSeverityWarning, "TIFF file %s: %s", name, why);
        return kelUNSUPPORTEDBYFORMAT;
    }
    l.decode = kelTIFFDecode::RGBA;
    l.type = kelUChar;
    l.cm = kelRGBA;
    l.channels = 4;
    l.order = kelInterleaved;
    return kelOKAY;
}

kelStatus blocks(TIFF* tif, kelTIFFLayout& l)
{
    uint32_t w = 0, h = 0;
    if (l.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &w);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &h);
        l.blockBytes = size_t(TIFFTileSize64(tif));
    } else {
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &h);
        w = uint32_t(l.width);
        if (h > uint32_t(l.height))
            h = uint32_t(l.height);
        l.blockBytes = size_t(TIFFStripSize64(tif));
    }
    if (w < 1 || h < 1 || w > 0x7fffffff || h > 0x7fffffff || l.blockBytes == 0)
        return kelBADIMGFMT;
    l.blockW = int(w);
    l.blockH = int(h);
    return kelOKAY;
}

} // namespace

unsigned long long kelTIFFLayout::pageBytes() const
{
    unsigned long long n = (unsigned long long)blockW * (unsigned long long)blockH * (unsigned long long)pageChannels();
    return type == kelBit ? (n + 7) / 8 : n * kelDataSize(type, 1);
}

int kelTIFFCompressionCode(kelCompression c)
{
    for (const auto& e : compressions)
        if (e.kel == c)
            return e.code;
    return 0;
}

kelCompression kelTIFFCompressionOf(int code)
{
    for (const auto& e : compressions)
        if (e.code == code)
            return e.kel;
    return kelUnknownCompression;
}

kelStatus kelTIFFDescribe(TIFF* tif, kelTIFFLayout& l, const char* name)
{
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    if (w < 1 || h < 1 || w > 0x7fffffff || h > 0x7fffffff)
        return kelBADIMGFMT;
    l.width = int(w);
    l.height = int(h);
    l.bits = field16(tif, TIFFTAG_BITSPERSAMPLE);
    l.samples = field16(tif, TIFFTAG_SAMPLESPERPIXEL);
    l.sampleFormat = field16(tif, TIFFTAG_SAMPLEFORMAT);
    l.photometric = field16(tif, TIFFTAG_PHOTOMETRIC);
    l.planar = field16(tif, TIFFTAG_PLANARCONFIG);
    l.compressionCode = field16(tif, TIFFTAG_COMPRESSION);
    l.compression = kelTIFFCompressionOf(l.compressionCode);
    l.tiled = TIFFIsTiled(tif);
    int o = field16(tif, TIFFTAG_ORIENTATION);
    l.orientation = o >= 1 && o <= 8 ? kelOrientation(o) : kelUpperLeftOrigin;
    if (l.bits < 1 || l.samples < 1)
        return kelBADIMGFMT;
    if (!TIFFIsCODECConfigured(uint16_t(l.compressionCode)))
        return refuse(name, "compression", l.compressionCode);
    uint32_t depth = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_IMAGEDEPTH, &depth);
    if (depth > 1)
        return refuse(name, "image depth", int(depth));

    l.decode = kelTIFFDecode::Direct;
    l.order = l.planar == PLANARCONFIG_SEPARATE && l.samples > 1 ? kelSeparate : kelInterleaved;
    l.channels = l.samples;
    kelStatus sts = kelOKAY;
    if (l.photometric == PHOTOMETRIC_YCBCR && l.compressionCode == COMPRESSION_JPEG && l.samples == 3 &&
        l.bits == 8) {
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        l.cm = kelRGB;
        l.type = kelUChar;
    } else if (!(l.cm = modelOf(l.photometric, l.samples, alphaSample(tif), field16(tif, TIFFTAG_INKSET))) ||
               !(l.type = typeOf(l.bits, l.sampleFormat))) {
        sts = viaRGBA(tif, l, name);
    }
    if (sts != kelOKAY)
        return sts;
    if (l.decode == kelTIFFDecode::Direct && l.cm == kelRGBPalette && l.type == kelBit)
        l.type = kelUChar; // indices, not bits
    const bool whole = l.bits == 8 || l.bits == 16 || l.bits == 32 || l.bits == 64;
    if (l.decode == kelTIFFDecode::Direct && (l.type == kelBit ? false : !whole || (l.bits == 16 && l.type == kelFloat)))
        l.decode = kelTIFFDecode::Unpack;
    if ((sts = blocks(tif, l)) != kelOKAY)
        return sts;
    // Bit rows are padded to whole bytes in the file, never in kel's pages.
    if (l.type == kelBit && (l.blockW * l.pageChannels()) % 8 != 0)
        l.decode = kelTIFFDecode::Unpack;
    return kelOKAY;
}

kelStatus kelTIFFSetFields(TIFF* tif, kelTIFFLayout& l, const char* name)
{
    static const struct {
        kelColorModel cm;
        int photometric;
    } photometrics[] = {
        {kelNegative, PHOTOMETRIC_MINISWHITE}, {kelLuminance, PHOTOMETRIC_MINISBLACK},
        {kelLuminanceAlpha, PHOTOMETRIC_MINISBLACK}, {kelRGB, PHOTOMETRIC_RGB},
        {kelRGBA, PHOTOMETRIC_RGB}, {kelRGBPalette, PHOTOMETRIC_PALETTE},
        {kelCMYK, PHOTOMETRIC_SEPARATED}, {kelMultiSpectral, PHOTOMETRIC_MINISBLACK},
    };
    l.photometric = -1;
    for (const auto& p : photometrics)
        if (p.cm == l.cm)
            l.photometric = p.photometric;
    const int fixed = l.cm == kelMultiSpectral ? 0 : kelColorModelChans(l.cm);
    l.compressionCode = kelTIFFCompressionCode(l.compression);
    l.bits = l.type == kelBit ? 1 : int(kelDataSize(l.type, 1)) * 8;
    l.sampleFormat = l.type & (kelFloat | kelDouble) ? SAMPLEFORMAT_IEEEFP
                     : l.type & kelSignedTypes       ? SAMPLEFORMAT_INT
                                                     : SAMPLEFORMAT_UINT;
    if (l.photometric < 0 || (fixed && fixed != l.channels) || l.channels > 0xffff || !l.compressionCode ||
        (l.cm == kelRGBPalette && l.type != kelUChar && l.type != kelUShort) ||
        (l.compression == kelJPEG && l.type != kelUChar)) {
        kelError(kelSeverityWarning, "TIFF file %s: cannot store %d channels of model %d, type %d, compression %d",
                 name, l.channels, int(l.cm), int(l.type), int(l.compression));
        return kelBADPARAMS;
    }
    l.samples = l.channels;
    l.planar = l.order == kelSeparate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG;
    int ok = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(l.width)) &&
             TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(l.height)) &&
             TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, l.bits) &&
             TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, l.samples) &&
             TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, l.sampleFormat) &&
             TIFFSetField(tif, TIFFTAG_PLANARCONFIG, l.planar) &&
             TIFFSetField(tif, TIFFTAG_ORIENTATION, int(l.orientation)) &&
             TIFFSetField(tif, TIFFTAG_COMPRESSION, l.compressionCode);
    // RGB bytes are stored as JPEG's YCbCr (4:2:0) where whole MCUs fit the
    // blocks: tiles are multiples of 16, strips need rows of 16.
    const bool ycbcr = l.compression == kelJPEG && l.cm == kelRGB && l.order == kelInterleaved &&
                       (l.blockH % 16 == 0 || l.blockH >= l.height);
    if (ok && ycbcr)
        ok = TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR) &&
             TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    else if (ok)
        ok = TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, l.photometric);
    if (ok && l.cm == kelCMYK)
        ok = TIFFSetField(tif, TIFFTAG_INKSET, INKSET_CMYK);
    const int extra = l.cm == kelRGBA || l.cm == kelLuminanceAlpha ? 1 : l.cm == kelMultiSpectral ? l.channels - 1 : 0;
    if (ok && extra > 0) {
        std::vector<uint16_t> kinds(size_t(extra), EXTRASAMPLE_UNSPECIFIED);
        if (l.cm != kelMultiSpectral)
            kinds[0] = EXTRASAMPLE_UNASSALPHA;
        ok = TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(extra), kinds.data());
    }
    if (ok && l.tiled)
        ok = TIFFSetField(tif, TIFFTAG_TILEWIDTH, uint32_t(l.blockW)) &&
             TIFFSetField(tif, TIFFTAG_TILELENGTH, uint32_t(l.blockH));
    else if (ok)
        ok = TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(l.blockH));
    if (!ok)
        return kelBADPARAMS;
    l.blockBytes = size_t(l.tiled ? TIFFTileSize64(tif) : TIFFStripSize64(tif));
    l.decode = l.type == kelBit && (l.blockW * l.pageChannels()) % 8 != 0 ? kelTIFFDecode::Unpack
                                                                          : kelTIFFDecode::Direct;
    return kelOKAY;
}
