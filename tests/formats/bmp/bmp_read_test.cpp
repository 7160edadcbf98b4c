// Reading hand-built files: every depth with the padding of many row widths,
// both info-header layouts and the larger headers, top-down files, palette
// sizes, and the files that must be refused.
#include <limits.h>

#include "bmp_test_support.h"

namespace {

struct RowCase {
    int bits;
    int width;
    int height;
    uint32_t headerSize;
};

std::ostream& operator<<(std::ostream& os, const RowCase& c)
{
    return os << c.bits << " bits, " << c.width << " x " << c.height << ", header " << c.headerSize;
}

class BmpRows : public BmpTest, public ::testing::WithParamInterface<RowCase> {
protected:
    // A file of the case's geometry holding testPicture(); rows bottom first,
    // or top first for a negative height.
    BmpSpec spec(bool topDown) const
    {
        const RowCase c = GetParam();
        BmpSpec s;
        s.headerSize = c.headerSize;
        s.width = c.width;
        s.height = topDown ? -c.height : c.height;
        s.bits = uint16_t(c.bits);
        s.xres = 3780;
        s.yres = 2835;
        if (c.bits < 24)
            s.palette = grayPalette(size_t(1) << c.bits);
        const Bytes p = picture();
        s.pixels = storedRows(topDown ? flipRows(p, c.width, c.height, channels()) : p, c.width, c.height, c.bits);
        return s;
    }
    int channels() const { return GetParam().bits == 24 ? 3 : 1; }
    Bytes picture() const { return testPicture(GetParam().width, GetParam().height, channels(), GetParam().bits); }

    void expectPicture(const std::string& path, kelOrientation stored)
    {
        const RowCase c = GetParam();
        kelStatus sts;
        kelFile* f = openBmp(path, sts);
        ASSERT_NE(nullptr, f) << "status " << sts;
        kelSize size;
        f->getDimensions(size);
        EXPECT_EQ(kelSize(c.width, c.height, 1, channels()), size);
        EXPECT_EQ(stored, f->getOrientation());
        EXPECT_EQ(c.bits == 24 ? kelRGB : kelRGBPalette, f->getColorModel());
        EXPECT_EQ(kelNoCompression, f->getCompression());
        EXPECT_EQ(picture(), readImage(f, kelLowerLeftOrigin, sts));
        EXPECT_EQ(kelOKAY, sts);
        EXPECT_EQ(flipRows(picture(), c.width, c.height, channels()), readImage(f, kelUpperLeftOrigin, sts));
        EXPECT_EQ(kelOKAY, sts);
        EXPECT_EQ(c.bits == 24 ? std::vector<Rgb>() : grayPalette(size_t(1) << c.bits), paletteOf(f));
        int xres = 0, yres = 0, headerSize = 0;
        EXPECT_EQ(kelOKAY, f->getItem(kelBMPHorizResolution, &xres));
        EXPECT_EQ(kelOKAY, f->getItem(kelBMPVertResolution, &yres));
        EXPECT_EQ(kelOKAY, f->getItem(kelBMPHeaderSize, &headerSize));
        EXPECT_EQ(c.headerSize == 12 ? 0 : 3780, xres);
        EXPECT_EQ(c.headerSize == 12 ? 0 : 2835, yres);
        EXPECT_EQ(int(c.headerSize), headerSize);
        EXPECT_EQ(kelOKAY, f->close());
    }
};

TEST_P(BmpRows, ReadsEveryPixelOfBottomUpRows)
{
    expectPicture(write("a.bmp", spec(false).build()), kelLowerLeftOrigin);
}

// The 12-byte layout has no sign for the height.
class BmpTopDownRows : public BmpRows {};

TEST_P(BmpTopDownRows, ReadsTopDownRowsAsTheSamePicture)
{
    expectPicture(write("a.bmp", spec(true).build()), kelUpperLeftOrigin);
}

// Rows run short at the end of the file.
TEST_P(BmpRows, CutRowsAreAReadFailure)
{
    BmpSpec s = spec(false);
    s.pixels.resize(s.pixels.size() - 1);
    kelStatus sts;
    kelFile* f = openBmp(write("a.bmp", s.build()), sts);
    ASSERT_NE(nullptr, f);
    readImage(f, kelLowerLeftOrigin, sts);
    EXPECT_EQ(kelREADFAILED, sts);
    f->close();
}

// Widths around every padding of every depth; tall images cross the
// plug-in's blocks of rows, and the 24-bit ones end in rows that go
// through scratch.
const RowCase rowCases[] = {
    {1, 1, 3, 40}, {1, 7, 2, 40}, {1, 8, 2, 40}, {1, 10, 3, 40}, {1, 31, 2, 40}, {1, 32, 2, 40}, {1, 33, 2, 12},
    {1, 2001, 1100, 40},
    {4, 1, 2, 40}, {4, 2, 2, 40}, {4, 3, 3, 12}, {4, 8, 2, 40}, {4, 9, 2, 108}, {4, 1001, 600, 40},
    {8, 1, 3, 40}, {8, 2, 2, 52}, {8, 3, 2, 56}, {8, 4, 2, 40}, {8, 5, 3, 64}, {8, 7, 2, 12}, {8, 1001, 300, 124},
    {24, 1, 3, 40}, {24, 2, 2, 40}, {24, 3, 2, 12}, {24, 4, 2, 40}, {24, 5, 2, 108}, {24, 5, 100, 40},
    {24, 1001, 300, 124}, {24, 1024, 200, 40}};

std::vector<RowCase> longHeaderCases()
{
    std::vector<RowCase> cases;
    for (const RowCase& c : rowCases)
        if (c.headerSize != 12)
            cases.push_back(c);
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpRows, ::testing::ValuesIn(rowCases));
INSTANTIATE_TEST_SUITE_P(Depths, BmpTopDownRows, ::testing::ValuesIn(longHeaderCases()));

class BmpRead : public BmpTest {};

// The palette has NumColorsUsed entries, all the depth allows when that is
// 0 or more than the depth can index.
TEST_F(BmpRead, PaletteSizeFollowsTheColorCount)
{
    struct {
        uint16_t bits;
        uint32_t colorsUsed;
        size_t stored;
        size_t expected;
    } cases[] = {{4, 0, 16, 16}, {4, 5, 5, 5}, {8, 0, 256, 256}, {8, 300, 300, 256}, {1, 1, 1, 1}, {8, 2, 2, 2}};
    for (const auto& c : cases) {
        BmpSpec s;
        s.bits = c.bits;
        s.colorsUsed = c.colorsUsed;
        s.palette = grayPalette(c.stored);
        s.pixels = std::string(4, '\0');
        kelStatus sts;
        kelFile* f = openBmp(write("a.bmp", s.build()), sts);
        ASSERT_NE(nullptr, f) << c.bits << " bits, " << c.colorsUsed << " colors";
        std::vector<Rgb> want = grayPalette(c.expected);
        EXPECT_EQ(want, paletteOf(f)) << c.bits << " bits, " << c.colorsUsed << " colors";
        f->close();
    }
}

// The 12-byte layout has no color count: pixel data that starts early
// leaves room for fewer entries.
TEST_F(BmpRead, ShortHeaderPaletteEndsWhereThePixelsStart)
{
    BmpSpec s;
    s.headerSize = 12;
    s.width = 4;
    s.palette = grayPalette(7);
    s.pixels = std::string("\x06\x00\x05\x01", 4);
    kelStatus sts;
    kelFile* f = openBmp(write("a.bmp", s.build()), sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(grayPalette(7), paletteOf(f));
    EXPECT_EQ(Bytes({6, 0, 5, 1}), readImage(f, kelLowerLeftOrigin, sts));
    f->close();
}

// Pixels are found at ImageDataOffset, whatever lies between the palette
// and them; a 24-bit file's palette is not read.
TEST_F(BmpRead, PixelsStartAtTheirOffset)
{
    for (uint16_t bits : {8, 24}) {
        BmpSpec s;
        s.bits = bits;
        s.width = 2;
        s.colorsUsed = 3;
        s.palette = grayPalette(3);
        s.offset = 200;
        s.pixels = bits == 8 ? std::string("\x01\x02\0\0", 4) : std::string("\x01\x02\x03\x04\x05\x06\0\0", 8);
        kelStatus sts;
        kelFile* f = openBmp(write("a.bmp", s.build()), sts);
        ASSERT_NE(nullptr, f) << sts;
        EXPECT_EQ(bits == 8 ? Bytes({1, 2}) : Bytes({3, 2, 1, 6, 5, 4}), readImage(f, kelLowerLeftOrigin, sts));
        EXPECT_EQ(bits == 8 ? grayPalette(3) : std::vector<Rgb>(), paletteOf(f));
        f->close();
    }
}

TEST_F(BmpRead, CutPaletteWarnsAndFails)
{
    BmpSpec s;
    s.bits = 4;
    std::string file = s.build();
    file.resize(14 + 40 + 4 * 15 + 3);
    const std::string path = write("cut.bmp", file);
    kelStatus sts;
    EXPECT_EQ(nullptr, openBmp(path, sts));
    EXPECT_EQ(kelOPENFAILED, sts);
    EXPECT_TRUE(messages.has("Palette not complete in BMP file " + path)) << messages.texts.size();
}

struct Refusal {
    const char* what;
    BmpSpec spec;
    kelStatus status;
};

BmpSpec with(void (*change)(BmpSpec&))
{
    BmpSpec s;
    s.width = 2;
    s.height = 2;
    s.palette = grayPalette(256);
    s.pixels = std::string(8, '\0');
    change(s);
    return s;
}

// A bit-field file; alpha needs a header of 56 bytes.
BmpSpec bitFields(uint16_t bits, std::vector<uint32_t> masks)
{
    BmpSpec s = with([](BmpSpec&) {});
    s.bits = bits;
    s.compression = 3;
    s.headerSize = masks.size() > 3 ? 56 : 40;
    s.masks = masks;
    return s;
}

TEST_F(BmpRead, RefusesWhatItCannotRead)
{
    const Refusal refusals[] = {
        {"header size 0", with([](BmpSpec& s) { s.headerSize = 0; }), kelBADIMGFMT},
        {"header size 11", with([](BmpSpec& s) { s.headerSize = 11; }), kelBADIMGFMT},
        {"header size 16", with([](BmpSpec& s) { s.headerSize = 16; }), kelBADIMGFMT},
        {"header size 39", with([](BmpSpec& s) { s.headerSize = 39; }), kelBADIMGFMT},
        {"2 planes", with([](BmpSpec& s) { s.planes = 2; }), kelBADIMGFMT},
        {"0 bits", with([](BmpSpec& s) { s.bits = 0; }), kelBADIMGFMT},
        {"2 bits", with([](BmpSpec& s) { s.bits = 2; }), kelBADIMGFMT},
        {"16 bits, RLE8", with([](BmpSpec& s) { s.bits = 16, s.compression = 1; }), kelBADIMGFMT},
        {"32 bits, alpha bit fields", with([](BmpSpec& s) { s.bits = 32, s.compression = 6; }), kelBADIMGFMT},
        {"16 bits, masks overlap", bitFields(16, {0xf800, 0x0fe0, 0x1f}), kelBADIMGFMT},
        {"16 bits, mask past the pixel", bitFields(16, {0x1f0000, 0x3e0, 0x1f}), kelBADIMGFMT},
        {"32 bits, mask with a gap", bitFields(32, {0xff0000, 0xf0f0, 0xff}), kelBADIMGFMT},
        {"32 bits, no blue", bitFields(32, {0xff0000, 0xff00, 0}), kelBADIMGFMT},
        {"32 bits, alpha overlaps red", bitFields(32, {0xff0000, 0xff00, 0xff, 0xff800000}), kelBADIMGFMT},
        {"1 bit, RLE4", with([](BmpSpec& s) { s.bits = 1, s.compression = 2; }), kelBADIMGFMT},
        {"4 bits, RLE8", with([](BmpSpec& s) { s.bits = 4, s.compression = 1; }), kelBADIMGFMT},
        {"8 bits, RLE4", with([](BmpSpec& s) { s.bits = 8, s.compression = 2; }), kelBADIMGFMT},
        {"8 bits, bit fields", with([](BmpSpec& s) { s.compression = 3; }), kelBADIMGFMT},
        {"24 bits, RLE8", with([](BmpSpec& s) { s.bits = 24, s.compression = 1; }), kelBADIMGFMT},
        {"24 bits, JPEG", with([](BmpSpec& s) { s.bits = 24, s.compression = 4; }), kelBADIMGFMT},
        {"width 0", with([](BmpSpec& s) { s.width = 0; }), kelBADIMGFMT},
        {"height 0", with([](BmpSpec& s) { s.height = 0; }), kelBADIMGFMT},
        {"negative width", with([](BmpSpec& s) { s.width = -2; }), kelBADIMGFMT},
        {"smallest height", with([](BmpSpec& s) { s.height = INT32_MIN; }), kelBADIMGFMT},
        {"page past 2^31 bytes", with([](BmpSpec& s) { s.width = 65536, s.height = 32768; }), kelBADIMGFMT},
        {"24-bit page past 2^31 bytes", with([](BmpSpec& s) { s.bits = 24, s.width = 30000, s.height = -30000; }),
         kelBADIMGFMT},
        {"widest row", with([](BmpSpec& s) { s.bits = 24, s.width = INT32_MAX, s.height = 1; }), kelBADIMGFMT},
        {"top-down run-length data", with([](BmpSpec& s) { s.compression = 1, s.height = -2; }), kelBADIMGFMT},
        {"magic", with([](BmpSpec&) {}), kelBADMAGIC},
    };
    for (const Refusal& r : refusals) {
        std::string file = r.spec.build();
        if (r.status == kelBADMAGIC)
            file[1] = 'A';
        kelStatus sts;
        EXPECT_EQ(nullptr, openBmp(write("a.bmp", file), sts)) << r.what;
        EXPECT_EQ(r.status, sts) << r.what;
    }
}

TEST_F(BmpRead, CutHeadersAreAReadFailure)
{
    const std::string file = with([](BmpSpec&) {}).build();
    for (size_t length : {2, 13, 14, 17, 20, 53}) {
        kelStatus sts;
        EXPECT_EQ(nullptr, openBmp(write("a.bmp", file.substr(0, length)), sts)) << length;
        EXPECT_EQ(kelREADFAILED, sts) << length << " bytes";
    }
}

// Files are only read: the framework then tries the name again itself,
// and is refused again.
TEST_F(BmpRead, OpensReadOnlyOnly)
{
    const std::string path = write("a.bmp", with([](BmpSpec&) {}).build());
    kelStatus sts;
    EXPECT_EQ(nullptr, kelFile::open(path.c_str(), O_RDWR, &sts));
    EXPECT_EQ(kelUNSUPPORTEDBYLIBRARY, sts);
}

TEST_F(BmpRead, ItemsOfAReadFile)
{
    BmpSpec s = with([](BmpSpec& s) {
        s.xres = 1000;
        s.yres = 2000;
        s.importantColors = 17;
    });
    kelStatus sts;
    kelFile* f = openBmp(write("a.bmp", s.build()), sts);
    ASSERT_NE(nullptr, f);
    int v = 0;
    EXPECT_EQ(kelOKAY, f->getItem(kelBMPSignificantColors, &v));
    EXPECT_EQ(17, v);
    EXPECT_EQ(kelBADFIELDGET, f->getItem(0, &v));
    EXPECT_EQ(kelBADFIELDGET, f->getItem(5, &v));
    EXPECT_EQ(kelBADPARAMS, f->getItem(kelBMPVertResolution, (int*)nullptr));
    EXPECT_EQ(kelREADONLY, f->setItem(kelBMPHorizResolution, 5));
    kelColormap map(3, kelUChar, 0, 3);
    EXPECT_EQ(kelREADONLY, f->setColormap(&map));
    double lo = -1, hi = -1;
    EXPECT_EQ(kelOKAY, f->getScaleMinMax(lo, hi));
    EXPECT_EQ(0.0, lo);
    EXPECT_EQ(255.0, hi);
    f->close();
}

// A descriptor handed to open stays the caller's when the open fails, and
// is closed exactly once by close when it succeeds.
TEST_F(BmpRead, DescriptorIsClosedOnceAndOnlyByItsOwner)
{
    const std::string good = write("good.bmp", with([](BmpSpec&) {}).build());
    const std::string bad = write("bad.bmp", with([](BmpSpec& s) { s.bits = 2; }).build());
    const int lowest = lowestFreeFd();

    int fd = ::open(bad.c_str(), O_RDONLY);
    kelStatus sts;
    EXPECT_EQ(nullptr, kelFile::open(fd, bad.c_str(), O_RDONLY, nullptr, &sts));
    EXPECT_EQ(kelBADIMGFMT, sts);
    EXPECT_NE(-1, fcntl(fd, F_GETFD)) << "the caller's descriptor was closed";
    ::close(fd);

    fd = ::open(good.c_str(), O_RDONLY);
    kelFile* f = kelFile::open(fd, good.c_str(), O_RDONLY, nullptr, &sts);
    ASSERT_NE(nullptr, f) << sts;
    readImage(f, kelLowerLeftOrigin, sts);
    EXPECT_EQ(kelOKAY, sts);
    EXPECT_EQ(kelOKAY, f->close()) << "a descriptor closed twice fails the second close";
    EXPECT_EQ(-1, fcntl(fd, F_GETFD));
    EXPECT_EQ(lowest, lowestFreeFd()) << "a descriptor leaked";
}

} // namespace
