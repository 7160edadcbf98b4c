// Run-length data, code by code: encoded and absolute runs with their
// padding, end of line, end of bitmap and deltas, including codes that
// would reach outside the page.
#include "bmp_test_support.h"

namespace {

struct RleCase {
    const char* what;
    int bits;
    int width;
    int height;
    std::vector<int> codes;
    Bytes picture; // bottom row first; 0 where no code sets a pixel
    kelStatus status;
};

std::ostream& operator<<(std::ostream& os, const RleCase& c)
{
    return os << c.what;
}

std::string bytesText(const std::vector<int>& codes)
{
    std::string s;
    for (int c : codes)
        s += char(c);
    return s;
}

class BmpRle : public BmpTest, public ::testing::WithParamInterface<RleCase> {};

// Read in the file's own layout, the image lands directly in a buffer full
// of 0xEE; pixels no code sets must still come out 0.
TEST_P(BmpRle, DecodesToThePicture)
{
    const RleCase& c = GetParam();
    BmpSpec s;
    s.bits = uint16_t(c.bits);
    s.compression = c.bits == 8 ? 1 : 2;
    s.width = c.width;
    s.height = c.height;
    s.palette = grayPalette(size_t(1) << c.bits);
    s.pixels = bytesText(c.codes);
    kelStatus sts;
    kelFile* f = openBmp(write("rle.bmp", s.build()), sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(kelUnknownCompression, f->getCompression());
    EXPECT_EQ(kelLowerLeftOrigin, f->getOrientation());
    Bytes image = readImage(f, kelLowerLeftOrigin, sts);
    EXPECT_EQ(c.status, sts);
    if (c.status == kelOKAY) {
        EXPECT_EQ(c.picture, image);
        // Again, through the framework's page buffer.
        EXPECT_EQ(flipRows(c.picture, c.width, c.height, 1), readImage(f, kelUpperLeftOrigin, sts));
    }
    f->close();
}

INSTANTIATE_TEST_SUITE_P(
    Codes, BmpRle,
    ::testing::Values(
        RleCase{"encoded runs and end of line", 8, 4, 2, {2, 7, 2, 9, 0, 0, 4, 5, 0, 1}, {7, 7, 9, 9, 5, 5, 5, 5},
                kelOKAY},
        RleCase{"absolute run of 3 and its padding, then the next row",
                8,
                4,
                2,
                {0, 3, 1, 2, 3, 0xAA, 0, 0, 1, 4, 0, 1},
                {1, 2, 3, 0, 4, 0, 0, 0},
                kelOKAY},
        RleCase{"absolute run of 4 has no padding", 8, 4, 2, {0, 4, 1, 2, 3, 4, 0, 0, 1, 8, 0, 1},
                {1, 2, 3, 4, 8, 0, 0, 0},
                kelOKAY},
        RleCase{"delta of (2, 1) moves right and up one row",
                8,
                4,
                3,
                {1, 5, 0, 2, 2, 1, 2, 6, 0, 1},
                {5, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0},
                kelOKAY},
        RleCase{"the bitmap may end without its end code", 8, 2, 2, {2, 1, 0, 0, 2, 3, 0, 0}, {1, 1, 3, 3}, kelOKAY},
        RleCase{"an encoded run past the row's end is cut, not wrapped",
                8,
                3,
                2,
                {6, 9, 0, 0, 0, 1},
                {9, 9, 9, 0, 0, 0},
                kelOKAY},
        RleCase{"an absolute run past the row's end is cut and its bytes used up",
                8,
                2,
                2,
                {0, 5, 1, 2, 3, 4, 5, 0, 1, 7, 0, 1},
                {1, 2, 0, 0},
                kelOKAY},
        RleCase{"a delta past the right edge drops pixels until the end of line",
                8,
                3,
                2,
                {1, 4, 0, 2, 255, 0, 3, 8, 0, 0, 1, 6, 0, 1},
                {4, 0, 0, 6, 0, 0},
                kelOKAY},
        RleCase{"a delta past the top row ends the bitmap",
                8,
                2,
                2,
                {1, 4, 0, 2, 0, 200, 2, 9, 2, 9},
                {4, 0, 0, 0},
                kelOKAY},
        RleCase{"end of line codes past the top row are not written",
                8,
                1,
                1,
                {1, 3, 0, 0, 0, 0, 1, 9, 0, 1},
                {3},
                kelOKAY},
        RleCase{"RLE4 encoded runs alternate the nibbles, high first",
                4,
                5,
                1,
                {5, 0x12, 0, 1},
                {1, 2, 1, 2, 1},
                kelOKAY},
        RleCase{"RLE4 absolute run of 3 pixels takes 2 bytes, no padding",
                4,
                4,
                2,
                {0, 3, 0x12, 0x3F, 0, 0, 1, 0x40, 0, 1},
                {1, 2, 3, 0, 4, 0, 0, 0},
                kelOKAY},
        RleCase{"RLE4 absolute run of 5 pixels takes 3 bytes and padding",
                4,
                6,
                1,
                {0, 5, 0x12, 0x34, 0x5F, 0xEE, 1, 0x70, 0, 1},
                {1, 2, 3, 4, 5, 7},
                kelOKAY},
        RleCase{"RLE4 delta and a run past the row's end",
                4,
                4,
                2,
                {0, 2, 3, 0, 9, 0x56, 0, 1},
                {0, 0, 0, 5, 0, 0, 0, 0},
                kelOKAY},
        RleCase{"data ending within a row", 8, 2, 2, {2, 1, 0}, {}, kelREADFAILED},
        RleCase{"data ending within an absolute run", 8, 4, 1, {0, 4, 1, 2}, {}, kelREADFAILED},
        RleCase{"data ending within a delta", 8, 4, 2, {0, 2, 1}, {}, kelREADFAILED},
        RleCase{"data ending before a delta's offsets", 4, 4, 2, {2, 0x11, 0, 2}, {}, kelREADFAILED},
        RleCase{"no data at all", 4, 4, 2, {}, {}, kelREADFAILED}));

} // namespace
