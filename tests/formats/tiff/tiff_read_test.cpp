// Files of other software (tests/data/README.md) read as tifffile reads
// them, or the file they were copied from, or libtiff's RGBA interface
// (tiff2rgba) for what kel reads through it; any box reads as the same box
// of the whole image.
#include "tiff_test_support.h"

namespace {

struct Fixture {
    const char* file;
    int image;
    const char* reference; // null: the file itself
    bool viaRGBA;          // the reference is tiff2rgba's copy
    kelColorModel model;
    kelDataType type;
};

void PrintTo(const Fixture& f, std::ostream* os)
{
    *os << f.file << ":" << f.image;
}

class TIFFFixture : public ::testing::TestWithParam<Fixture> {};

Bytes referencePixels(const Fixture& fx, int nc)
{
    std::string ref = fixture(fx.reference ? fx.reference : fx.file);
    if (!fx.viaRGBA)
        return tifffilePixels(ref, fx.image, nc);
    std::string copy = (::testing::TempDir() + "rgba_") + fx.file;
    if (system(("/usr/bin/tiff2rgba -c none '" + ref + "' '" + copy + "'").c_str()) != 0)
        return Bytes();
    Bytes pixels = tifffilePixels(copy, 0, nc);
    unlink(copy.c_str());
    return pixels;
}

void expectBoxOfWhole(kelFile* f, const Bytes& whole)
{
    kelSize s = storedSize(f);
    const size_t unit = f->getDataType() == kelBit ? 0 : kelDataSize(f->getDataType(), 1) * size_t(s.c);
    if (!unit)
        return;
    const int x = s.x / 3, y = s.y / 3, nx = s.x / 2 + 1, ny = s.y / 2 + 1;
    Bytes box(size_t(nx) * size_t(ny) * unit);
    kelConfig config(f->getDataType(), kelInterleaved, s.c);
    ASSERT_EQ(kelOKAY, f->getTile(x, y, 0, nx, ny, 1, box.data(), &config));
    for (int r = 0; r < ny; r++)
        EXPECT_EQ(0, memcmp(box.data() + size_t(r) * size_t(nx) * unit,
                            whole.data() + (size_t(y + r) * size_t(s.x) + size_t(x)) * unit, size_t(nx) * unit))
            << "row " << r << " of the box at " << x << ", " << y;
}

TEST_P(TIFFFixture, ReadsAsItsPeer)
{
    REQUIRE_PEER(TIFFFILE);
    if (GetParam().viaRGBA)
        REQUIRE_PEER(TIFF2RGBA);
    const Fixture& fx = GetParam();
    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::open(fixture(fx.file).c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, f) << sts;
    ASSERT_EQ(kelOKAY, f->setCurrentImg(fx.image));
    EXPECT_EQ(fx.model, f->getColorModel());
    EXPECT_EQ(fx.type, f->getDataType());
    Bytes pixels = readImage(f, kelOrientation(0), &sts);
    ASSERT_EQ(kelOKAY, sts);
    Bytes expected = referencePixels(fx, f->getCsize());
    ASSERT_EQ(expected.size(), pixels.size());
    EXPECT_TRUE(expected == pixels);
    expectBoxOfWhole(f, pixels);
    f->close();
}

const Fixture fixtures[] = {
    {"gray8_strips.tif", 0, nullptr, false, kelLuminance, kelUChar},
    {"rgb8_tiles.tif", 0, nullptr, false, kelRGB, kelUChar},
    {"rgb16_planar_strips.tif", 0, nullptr, false, kelRGB, kelUShort},
    {"rgb16_planar_tiles_zip.tif", 0, nullptr, false, kelRGB, kelUShort},
    {"types.tif", 0, nullptr, false, kelLuminance, kelChar},
    {"types.tif", 1, nullptr, false, kelLuminance, kelShort},
    {"types.tif", 2, nullptr, false, kelLuminance, kelUInt},
    {"types.tif", 3, nullptr, false, kelLuminance, kelInt},
    {"types.tif", 4, nullptr, false, kelLuminance, kelFloat},
    {"types.tif", 5, nullptr, false, kelLuminance, kelDouble},
    {"types.tif", 6, nullptr, false, kelLuminance, kelFloat},
    {"types.tif", 7, nullptr, false, kelLuminance, kelShort},
    {"types.tif", 8, nullptr, false, kelLuminance, kelDouble},
    {"bilevel.tif", 0, nullptr, false, kelLuminance, kelBit},
    {"bilevel_g3.tif", 0, "bilevel.tif", false, kelLuminance, kelBit},
    {"bilevel_g4.tif", 0, "bilevel.tif", false, kelLuminance, kelBit},
    {"rgba8.tif", 0, nullptr, false, kelRGBA, kelUChar},
    {"bigtiff.tif", 0, nullptr, false, kelLuminance, kelUShort},
    {"float.tif", 0, nullptr, false, kelLuminance, kelFloat},
    {"float_zip_pred3.tif", 0, "float.tif", false, kelLuminance, kelFloat},
    {"multispectral.tif", 0, nullptr, false, kelMultiSpectral, kelUChar},
    {"rgb8_lzw.tif", 0, "rgb8_tiles.tif", false, kelRGB, kelUChar},
    {"rgb8_packbits.tif", 0, "rgb8_tiles.tif", false, kelRGB, kelUChar},
    {"rgb8_zip.tif", 0, "rgb8_tiles.tif", false, kelRGB, kelUChar},
    {"rgb8_zstd.tif", 0, "rgb8_tiles.tif", false, kelRGB, kelUChar},
    {"rgb8_lzma.tif", 0, "rgb8_tiles.tif", false, kelRGB, kelUChar},
    {"rgb8_webp.tif", 0, nullptr, true, kelRGB, kelUChar},
    {"rgb8_jpeg.tif", 0, nullptr, true, kelRGB, kelUChar},
    {"jpeg_im.tif", 0, nullptr, true, kelRGB, kelUChar},
    {"lab.tif", 0, nullptr, true, kelRGBA, kelUChar},
    {"miniswhite.tif", 0, nullptr, false, kelNegative, kelUChar},
    {"palette.tif", 0, nullptr, false, kelRGBPalette, kelUChar},
    {"cmyk.tif", 0, nullptr, false, kelCMYK, kelUChar},
    {"gray4.tif", 0, nullptr, false, kelLuminance, kelUChar},
    {"gray12.tif", 0, nullptr, false, kelLuminance, kelUShort},
    {"orient6.tif", 0, nullptr, false, kelRGB, kelUChar},
};

INSTANTIATE_TEST_SUITE_P(Fixtures, TIFFFixture, ::testing::ValuesIn(fixtures));

} // namespace
