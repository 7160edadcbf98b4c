#include <gtest/gtest.h>

#include <kel/kelTypeNames.h>

namespace {

TEST(TypeNames, DataTypes)
{
    EXPECT_STREQ("bit", kelDataTypeName(kelBit));
    EXPECT_STREQ("unsigned char", kelDataTypeName(kelUChar));
    EXPECT_STREQ("char", kelDataTypeName(kelChar));
    EXPECT_STREQ("unsigned short", kelDataTypeName(kelUShort));
    EXPECT_STREQ("short", kelDataTypeName(kelShort));
    EXPECT_STREQ("unsigned integer", kelDataTypeName(kelUInt));
    EXPECT_STREQ("integer", kelDataTypeName(kelInt));
    EXPECT_STREQ("unsigned integer", kelDataTypeName(kelULong));
    EXPECT_STREQ("integer", kelDataTypeName(kelLong));
    EXPECT_STREQ("float", kelDataTypeName(kelFloat));
    EXPECT_STREQ("double", kelDataTypeName(kelDouble));
    for (int v : {0, 3, 512, -1})
        EXPECT_STREQ("unknown", kelDataTypeName(kelDataType(v))) << v;
}

TEST(TypeNames, Orientations)
{
    EXPECT_STREQ("upper-left", kelOrientationName(kelUpperLeftOrigin));
    EXPECT_STREQ("upper-right", kelOrientationName(kelUpperRightOrigin));
    EXPECT_STREQ("lower-right", kelOrientationName(kelLowerRightOrigin));
    EXPECT_STREQ("lower-left", kelOrientationName(kelLowerLeftOrigin));
    EXPECT_STREQ("left-upper", kelOrientationName(kelLeftUpperOrigin));
    EXPECT_STREQ("right-upper", kelOrientationName(kelRightUpperOrigin));
    EXPECT_STREQ("right-lower", kelOrientationName(kelRightLowerOrigin));
    EXPECT_STREQ("left-lower", kelOrientationName(kelLeftLowerOrigin));
    for (int v : {0, 9, -1})
        EXPECT_STREQ("unknown", kelOrientationName(kelOrientation(v))) << v;
}

TEST(TypeNames, Orders)
{
    EXPECT_STREQ("interleaved", kelOrderName(kelInterleaved));
    EXPECT_STREQ("sequential", kelOrderName(kelSequential));
    EXPECT_STREQ("separate", kelOrderName(kelSeparate));
    for (int v : {0, 3, 8, -1})
        EXPECT_STREQ("unknown", kelOrderName(kelOrder(v))) << v;
}

TEST(TypeNames, ColorModels)
{
    EXPECT_STREQ("negative", kelColorModelName(kelNegative));
    EXPECT_STREQ("luminance", kelColorModelName(kelLuminance));
    EXPECT_STREQ("RGB", kelColorModelName(kelRGB));
    EXPECT_STREQ("palette", kelColorModelName(kelRGBPalette));
    EXPECT_STREQ("RGBA", kelColorModelName(kelRGBA));
    EXPECT_STREQ("HSV", kelColorModelName(kelHSV));
    EXPECT_STREQ("CMY", kelColorModelName(kelCMY));
    EXPECT_STREQ("CMYK", kelColorModelName(kelCMYK));
    EXPECT_STREQ("BGR", kelColorModelName(kelBGR));
    EXPECT_STREQ("ABGR", kelColorModelName(kelABGR));
    EXPECT_STREQ("multi-spectral", kelColorModelName(kelMultiSpectral));
    EXPECT_STREQ("YCC", kelColorModelName(kelYCC));
    EXPECT_STREQ("luminance-alpha", kelColorModelName(kelLuminanceAlpha));
    for (int v : {0, 14, -1})
        EXPECT_STREQ("unknown", kelColorModelName(kelColorModel(v))) << v;
}

TEST(TypeNames, Compressions)
{
    EXPECT_STREQ("none", kelCompressionName(kelNoCompression));
    EXPECT_STREQ("ORN-RLE", kelCompressionName(kelORNRLE));
    EXPECT_STREQ("CCITT Group 3", kelCompressionName(kelCCITTFAX3));
    EXPECT_STREQ("CCITT Group 4", kelCompressionName(kelCCITTFAX4));
    EXPECT_STREQ("Lempel-Ziv & Welch", kelCompressionName(kelLZW));
    EXPECT_STREQ("JPEG", kelCompressionName(kelJPEG));
    EXPECT_STREQ("Mac-RLE", kelCompressionName(kelPACKBITS));
    EXPECT_STREQ("ZIP deflate/inflate", kelCompressionName(kelZIP));
    for (int v : {int(kelUnknownCompression), 0, 13, -2})
        EXPECT_STREQ("unknown", kelCompressionName(kelCompression(v))) << v;
}

} // namespace
