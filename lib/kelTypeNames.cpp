#include <kel/kelTypeNames.h>

extern "C" const char* kelDataTypeName(kelDataType type)
{
    switch (type) {
    case kelBit:
        return "bit";
    case kelUChar:
        return "unsigned char";
    case kelChar:
        return "char";
    case kelUShort:
        return "unsigned short";
    case kelShort:
        return "short";
    case kelUInt:
        return "unsigned integer";
    case kelInt:
        return "integer";
    case kelFloat:
        return "float";
    case kelDouble:
        return "double";
    default:
        return "unknown";
    }
}

extern "C" const char* kelOrientationName(kelOrientation orientation)
{
    static const char* const names[] = {"unknown",   "upper-left",  "upper-right", "lower-right", "lower-left",
                                        "left-upper", "right-upper", "right-lower", "left-lower"};
    return orientation >= kelUpperLeftOrigin && orientation <= kelLeftLowerOrigin ? names[orientation] : names[0];
}

extern "C" const char* kelOrderName(kelOrder order)
{
    switch (order) {
    case kelInterleaved:
        return "interleaved";
    case kelSequential:
        return "sequential";
    case kelSeparate:
        return "separate";
    default:
        return "unknown";
    }
}

extern "C" const char* kelColorModelName(kelColorModel cm)
{
    static const char* const names[] = {"unknown", "negative",  "luminance", "RGB",
                                        "palette", "RGBA",      "HSV",       "CMY",
                                        "CMYK",    "BGR",       "ABGR",      "multi-spectral",
                                        "YCC",     "luminance-alpha"};
    return cm >= kelNegative && cm <= kelLuminanceAlpha ? names[cm] : names[0];
}

extern "C" const char* kelCompressionName(kelCompression compress)
{
    static const char* const names[] = {"unknown", "none", "ORN-RLE", "CCITT Group 3", "CCITT Group 4",
                                        "Lempel-Ziv & Welch", "JPEG", "Mac-RLE", "ZIP deflate/inflate",
                                        "Zstandard", "LZMA", "WebP lossy", "WebP lossless"};
    return compress >= kelNoCompression && compress <= kelWEBPLossless ? names[compress] : names[0];
}
