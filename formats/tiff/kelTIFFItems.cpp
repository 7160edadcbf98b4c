// The items of a TIFF image: its tags, read from and set into the current
// directory, and the encoder's settings while no block is written.
#include "kelTIFFFile.h"

#include <fcntl.h>

namespace {

const struct {
    int item;
    ttag_t field;
} stringItems[] = {
    {kelTIFFsoftware, TIFFTAG_SOFTWARE},   {kelTIFFdateTime, TIFFTAG_DATETIME},
    {kelTIFFdescription, TIFFTAG_IMAGEDESCRIPTION}, {kelTIFFartist, TIFFTAG_ARTIST},
    {kelTIFFcopyright, TIFFTAG_COPYRIGHT}, {kelTIFFpageName, TIFFTAG_PAGENAME},
};

ttag_t stringField(int item)
{
    for (const auto& s : stringItems)
        if (s.item == item)
            return s.field;
    return 0;
}

kelStatus putInt(va_list args, int value)
{
    int* p = va_arg(args, int*);
    if (!p)
        return kelBADPARAMS;
    *p = value;
    return kelOKAY;
}

// The codec's level field, 0 where the compression has none.
ttag_t levelField(int code)
{
    switch (code) {
    case COMPRESSION_ADOBE_DEFLATE:
        return TIFFTAG_ZIPQUALITY;
    case COMPRESSION_ZSTD:
        return TIFFTAG_ZSTD_LEVEL;
    case COMPRESSION_LZMA:
        return TIFFTAG_LZMAPRESET;
    }
    return 0;
}

int takesPredictor(int code)
{
    return code == COMPRESSION_LZW || code == COMPRESSION_ADOBE_DEFLATE || code == COMPRESSION_ZSTD ||
           code == COMPRESSION_LZMA;
}

} // namespace

// Coding settings go into a new image before its first block.
int kelTIFFFile::codingOpen() const
{
    return fresh && blocksWritten == 0;
}

kelStatus kelTIFFFile::getItem(int tag, va_list args)
{
    if (ttag_t field = stringField(tag)) {
        char** p = va_arg(args, char**);
        if (!p)
            return kelBADPARAMS;
        return TIFFGetField(tif, field, p) ? kelStatus(kelOKAY) : kelStatus(kelUNSUPPORTEDBYFILE);
    }
    switch (tag) {
    case kelTIFFresolution: {
        double* x = va_arg(args, double*);
        double* y = va_arg(args, double*);
        float fx = 0, fy = 0;
        if (!x || !y)
            return kelBADPARAMS;
        if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &fx) || !TIFFGetField(tif, TIFFTAG_YRESOLUTION, &fy))
            return kelUNSUPPORTEDBYFILE;
        *x = fx;
        *y = fy;
        return kelOKAY;
    }
    case kelTIFFresolutionUnit: {
        uint16_t unit = RESUNIT_INCH;
        TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        return putInt(args, unit);
    }
    case kelTIFFpageNumber: {
        int* page = va_arg(args, int*);
        int* count = va_arg(args, int*);
        uint16_t p = 0, n = 0;
        if (!page || !count)
            return kelBADPARAMS;
        if (!TIFFGetField(tif, TIFFTAG_PAGENUMBER, &p, &n))
            return kelUNSUPPORTEDBYFILE;
        *page = p;
        *count = n;
        return kelOKAY;
    }
    case kelTIFFsampleFormat:
        return putInt(args, layout.sampleFormat);
    case kelTIFFbitsPerSample:
        return putInt(args, layout.bits);
    case kelTIFFpredictor: {
        uint16_t predictor = PREDICTOR_NONE;
        if (!takesPredictor(layout.compressionCode))
            return va_arg(args, int*) ? kelUNSUPPORTEDBYFILE : kelBADPARAMS;
        TIFFGetFieldDefaulted(tif, TIFFTAG_PREDICTOR, &predictor);
        return putInt(args, predictor);
    }
    case kelTIFFcompressionLevel: {
        int level = 0;
        ttag_t field = levelField(layout.compressionCode);
        if (!fresh || !field)
            return va_arg(args, int*) ? kelUNSUPPORTEDBYFILE : kelBADPARAMS;
        TIFFGetField(tif, field, &level);
        return putInt(args, level);
    }
    case kelTIFFjpegQuality: {
        int quality = 75;
        if (!fresh || layout.compressionCode != COMPRESSION_JPEG)
            return va_arg(args, int*) ? kelUNSUPPORTEDBYFILE : kelBADPARAMS;
        TIFFGetField(tif, TIFFTAG_JPEGQUALITY, &quality);
        return putInt(args, quality);
    }
    case kelTIFFextraSamples: {
        uint16_t count = 0;
        uint16_t* kinds = nullptr;
        if ((cm != kelRGBA && cm != kelLuminanceAlpha) || !TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) ||
            count < 1)
            return va_arg(args, int*) ? kelUNSUPPORTEDBYFILE : kelBADPARAMS;
        return putInt(args, kinds[count - 1]);
    }
    case kelTIFFsubfileType: {
        uint32_t kind = 0;
        TIFFGetFieldDefaulted(tif, TIFFTAG_SUBFILETYPE, &kind);
        return putInt(args, int(kind & 7));
    }
    case kelTIFFcompressionCode:
        return putInt(args, layout.compressionCode);
    case kelTIFFbigTIFF:
        return putInt(args, TIFFIsBigTIFF(tif) != 0);
    }
    return kelBADPARAMS;
}

kelStatus kelTIFFFile::setItem(int tag, va_list args)
{
    if (accessmode != O_RDWR)
        return kelREADONLY;
    int ok;
    if (ttag_t field = stringField(tag)) {
        const char* s = va_arg(args, const char*);
        if (!s)
            return kelBADPARAMS;
        ok = TIFFSetField(tif, field, s);
    } else if (tag == kelTIFFresolution) {
        const double x = va_arg(args, double), y = va_arg(args, double);
        if (!(x > 0) || !(y > 0) || x > 4e9 || y > 4e9)
            return kelBADPARAMS;
        ok = TIFFSetField(tif, TIFFTAG_XRESOLUTION, x) && TIFFSetField(tif, TIFFTAG_YRESOLUTION, y);
    } else if (tag == kelTIFFresolutionUnit) {
        const int unit = va_arg(args, int);
        if (unit < RESUNIT_NONE || unit > RESUNIT_CENTIMETER)
            return kelBADPARAMS;
        ok = TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, unit);
    } else if (tag == kelTIFFpageNumber) {
        const int page = va_arg(args, int), count = va_arg(args, int);
        if (page < 0 || page > 0xffff || count < 0 || count > 0xffff)
            return kelBADPARAMS;
        ok = TIFFSetField(tif, TIFFTAG_PAGENUMBER, page, count);
    } else if (tag == kelTIFFextraSamples) {
        const int kind = va_arg(args, int);
        if (kind != EXTRASAMPLE_ASSOCALPHA && kind != EXTRASAMPLE_UNASSALPHA)
            return kelBADPARAMS;
        if ((cm != kelRGBA && cm != kelLuminanceAlpha) || !codingOpen())
            return cm == kelRGBA || cm == kelLuminanceAlpha ? kelREADONLY : kelUNSUPPORTEDBYFILE;
        const uint16_t kinds[1] = {uint16_t(kind)};
        ok = TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, kinds);
    } else if (tag == kelTIFFpredictor || tag == kelTIFFcompressionLevel || tag == kelTIFFjpegQuality) {
        return setCoding(tag, va_arg(args, int));
    } else {
        return tag >= kelTIFFsampleFormat && tag <= kelTIFFbigTIFF ? kelREADONLY : kelBADPARAMS;
    }
    return ok ? kelStatus(kelOKAY) : failure(kelBADPARAMS);
}

// The predictor fits the samples (horizontal for integers of whole bytes,
// floating point for floats); levels and quality their codec.
kelStatus kelTIFFFile::setCoding(int tag, int value)
{
    if (!codingOpen())
        return kelREADONLY;
    const int code = layout.compressionCode;
    const bool floating = layout.sampleFormat == SAMPLEFORMAT_IEEEFP;
    ttag_t field = 0;
    int lo = 1, hi = 1;
    if (tag == kelTIFFpredictor) {
        field = takesPredictor(code) ? TIFFTAG_PREDICTOR : 0;
        hi = floating ? PREDICTOR_FLOATINGPOINT : layout.bits >= 8 ? PREDICTOR_HORIZONTAL : PREDICTOR_NONE;
        if (value == PREDICTOR_HORIZONTAL && floating)
            return kelBADPARAMS;
    } else if (tag == kelTIFFcompressionLevel) {
        field = levelField(code);
        hi = code == COMPRESSION_ZSTD ? 22 : code == COMPRESSION_LZMA ? 9 : 12;
        lo = code == COMPRESSION_LZMA ? 0 : 1;
    } else {
        field = code == COMPRESSION_JPEG ? TIFFTAG_JPEGQUALITY : 0;
        hi = 100;
    }
    if (!field)
        return tag == kelTIFFpredictor && value == PREDICTOR_NONE ? kelStatus(kelOKAY) : kelStatus(kelUNSUPPORTEDBYFILE);
    if (value < lo || value > hi)
        return kelBADPARAMS;
    return TIFFSetField(tif, field, value) ? kelStatus(kelOKAY) : failure(kelBADPARAMS);
}
