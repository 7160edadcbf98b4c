// Files of other software (tests/data/README.md) read as djpeg, which runs
// the same library, and Pillow decode them, pixel for pixel, with their
// items; tiles read in any order equal the whole image; every EXIF
// orientation reads upright as Pillow turns it; damaged files give their
// pixels with a warning, or an error.
#include "jpeg_test_support.h"

namespace {

struct Fixture {
    const char* file;
    kelColorModel model;
    int subsampling; // -1: none (one component)
    int progressive, arithmetic, restart;
    int adobe;       // -1: no Adobe marker
    int unit, dx, dy; // unit -1: no density
    const char* comment;
    int warnings;
};

void PrintTo(const Fixture& f, std::ostream* os)
{
    *os << f.file;
}

class JPEGFixture : public ::testing::TestWithParam<Fixture> {};

void expectItems(kelFile* f, const Fixture& fx)
{
    EXPECT_EQ(fx.subsampling, intItem(f, kelJPEGsubsampling));
    EXPECT_EQ(fx.progressive, intItem(f, kelJPEGprogressive));
    EXPECT_EQ(fx.arithmetic, intItem(f, kelJPEGarithmetic));
    EXPECT_EQ(fx.restart, intItem(f, kelJPEGrestartInterval));
    EXPECT_EQ(fx.adobe, intItem(f, kelJPEGadobeTransform));
    EXPECT_EQ(fx.unit, intItem(f, kelJPEGdensityUnit));
    int x = -1, y = -1;
    f->getItem(kelJPEGdensity, &x, &y);
    EXPECT_EQ(fx.unit < 0 ? -1 : fx.dx, x);
    EXPECT_EQ(fx.unit < 0 ? -1 : fx.dy, y);
    char* comment = nullptr;
    EXPECT_EQ(fx.comment ? kelStatus(kelOKAY) : kelStatus(kelUNSUPPORTEDBYFILE), f->getItem(kelJPEGcomment, &comment));
    EXPECT_STREQ(fx.comment, comment);
}

// Tiles that skip rows, crop columns (wide.jpg has two pages a band) and
// go back, so that the decoder starts over.
void expectTilesOfWhole(kelFile* f, const Bytes& whole)
{
    kelSize s = storedSize(f);
    const int boxes[][4] = {{s.x - 16, s.y - 16, 16, 16}, {s.x - 60, 9, 50, 11}, {s.x / 2, 3, s.x / 2, 20},
                            {0, 0, 17, 9},                {1, s.y - 5, s.x - 2, 5}};
    for (const int* b : boxes) {
        Bytes tile(size_t(b[2]) * size_t(b[3]) * size_t(s.c));
        ASSERT_EQ(kelOKAY, f->getTile(b[0], b[1], 0, b[2], b[3], 1, tile.data()));
        for (int r = 0; r < b[3]; r++)
            EXPECT_TRUE(std::equal(tile.begin() + long(size_t(r * b[2] * s.c)),
                                   tile.begin() + long(size_t((r + 1) * b[2] * s.c)),
                                   whole.begin() + long((size_t(b[1] + r) * size_t(s.x) + size_t(b[0])) * size_t(s.c))))
                << "tile at " << b[0] << ", " << b[1] << ", row " << r;
    }
}

TEST_P(JPEGFixture, ReadsAsThePeersDecodeIt)
{
    const Fixture& fx = GetParam();
    REQUIRE_PEER(DJPEG);
    REQUIRE_PEER(PILLOW);
    CapturedMessages messages;
    kelSetLocalErrorHandler guard(CapturedMessages::handler, &messages);
    kelStatus sts;
    kelFile* f = kelFile::open(fixture(fx.file).c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(fx.model, f->getColorModel());
    EXPECT_EQ(kelJPEG, f->getCompression());
    const Bytes whole = readPixels(f, kelOrientation(0), &sts);
    EXPECT_EQ(kelOKAY, sts);
    // djpeg turns CMYK into RGB; Pillow gives the inks, turning Adobe's
    // inverted ones back as kel does.
    EXPECT_TRUE(whole == (fx.model == kelCMYK ? pillowPixels(fixture(fx.file)) : djpegPixels(fixture(fx.file))));
    expectItems(f, fx);
    expectTilesOfWhole(f, whole);
    EXPECT_EQ(fx.warnings, int(messages.texts.size()));
    EXPECT_EQ(kelOKAY, f->close());
}

const char* byCjpeg = nullptr;
INSTANTIATE_TEST_SUITE_P(
    Files, JPEGFixture,
    ::testing::Values(Fixture{"gray.jpg", kelLuminance, -1, 0, 0, 0, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"s444.jpg", kelRGB, kelJPEGsub444, 0, 0, 0, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"s422.jpg", kelRGB, kelJPEGsub422, 0, 0, 0, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"s420.jpg", kelRGB, kelJPEGsub420, 0, 0, 0, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"s411.jpg", kelRGB, kelJPEGsub411, 0, 0, 0, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"progressive.jpg", kelRGB, kelJPEGsub420, 1, 0, 0, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"restart.jpg", kelRGB, kelJPEGsub420, 0, 0, 5, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"arithmetic.jpg", kelRGB, kelJPEGsub420, 0, 1, 0, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"cmyk.jpg", kelCMYK, kelJPEGsub444, 0, 0, 0, kelJPEGadobeNone, -1, 0, 0, byCjpeg, 0},
                      Fixture{"ycck.jpg", kelCMYK, kelJPEGsub420, 0, 0, 0, kelJPEGadobeYCCK, -1, 0, 0, byCjpeg, 0},
                      Fixture{"comment.jpg", kelRGB, kelJPEGsub420, 0, 0, 0, -1, 0, 1, 1, "made by cjpeg", 0},
                      Fixture{"density.jpg", kelRGB, kelJPEGsub420, 0, 0, 0, -1, 1, 300, 150, byCjpeg, 0},
                      Fixture{"truncated.jpg", kelRGB, kelJPEGsub420, 1, 0, 0, -1, 0, 1, 1, byCjpeg, 1},
                      Fixture{"wide.jpg", kelRGB, kelJPEGsub420, 0, 0, 0, -1, 0, 1, 1, byCjpeg, 0},
                      Fixture{"wide-progressive.jpg", kelRGB, kelJPEGsub444, 1, 0, 0, -1, 0, 1, 1, byCjpeg, 0}));

// EXIF's eight orientations are kel's eight: read in kelUpperLeftOrigin,
// each fixture shows the picture as Pillow turns it upright.
class JPEGOrientation : public ::testing::TestWithParam<int> {};

TEST_P(JPEGOrientation, ReadsUprightAsPillowTurnsIt)
{
    REQUIRE_PEER(PILLOW);
    const std::string path = fixture("orient-" + std::to_string(GetParam()) + ".jpg");
    kelStatus sts;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(GetParam(), f->getOrientation());
    EXPECT_TRUE(readPixels(f, kelUpperLeftOrigin) == pillowPixels(path, "ImageOps.exif_transpose(im)"));
    f->close();
}

INSTANTIATE_TEST_SUITE_P(Exif, JPEGOrientation, ::testing::Range(1, 9));

// s420.jpg with bytes replaced after a marker: an error where the header
// is broken, a warning and djpeg's pixels where the scan data is.
struct Damage {
    const char* what;
    int marker;
    long at; // from the marker
    Bytes bytes;
    kelStatus opened;
    int severity;
};

void PrintTo(const Damage& d, std::ostream* os)
{
    *os << d.what;
}

class JPEGDamage : public ::testing::TestWithParam<Damage> {
protected:
    ScratchDir dir;
};

TEST_P(JPEGDamage, GivesAnErrorOrAWarningAndThePixels)
{
    const Damage& d = GetParam();
    REQUIRE_PEER(DJPEG);
    Bytes file = fileBytes(fixture("s420.jpg"));
    const Bytes marker = {0xff, (unsigned char)d.marker};
    const auto at = std::search(file.begin(), file.end(), marker.begin(), marker.end()) + d.at;
    std::copy(d.bytes.begin(), d.bytes.end(), at);
    const std::string path = dir.write("damaged.jpg", std::string(file.begin(), file.end()));
    CapturedMessages messages;
    kelSetLocalErrorHandler guard(CapturedMessages::handler, &messages);
    kelStatus sts;
    kelFile* f = kelFile::open((path + "#JPEG").c_str(), O_RDONLY, &sts);
    EXPECT_EQ(d.opened, sts);
    if (f) {
        EXPECT_TRUE(readPixels(f, kelOrientation(0), &sts) == djpegPixels(path));
        EXPECT_EQ(kelOKAY, sts);
        f->close();
    }
    ASSERT_EQ(1u, messages.severities.size());
    EXPECT_EQ(d.severity, messages.severities[0]) << messages.texts[0];
}

INSTANTIATE_TEST_SUITE_P(
    Files, JPEGDamage,
    ::testing::Values(Damage{"no SOI", 0xd8, 0, {0x00, 0x00}, kelBADMAGIC, kelSeverityError},
                      Damage{"12-bit samples", 0xc0, 4, {12}, kelBADIMGFMT, kelSeverityError},
                      Damage{"restart marker in the scan", 0xda, 300, {0xff, 0xd3}, kelOKAY, kelSeverityWarning}));

} // namespace
