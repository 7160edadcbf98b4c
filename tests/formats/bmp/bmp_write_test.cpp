// Writing: created files checked byte for byte (headers, offsets, palette,
// packing and padding), the palette and item rules, failures, and round
// trips of pictures at every depth.
#include <sys/stat.h>

#include "bmp_test_support.h"

namespace {

kelFormat* bmpFormat()
{
    return kelFormat::findByFormatName("BMP", 1);
}

kelFile* createBmp(const std::string& path, int width, int height, int channels, kelStatus& sts)
{
    kelSize size(width, height, 1, channels);
    kelFileConfig cfg(&size);
    sts = -1;
    return kelFile::create(path.c_str(), nullptr, &cfg, bmpFormat(), &sts);
}

kelColormap makeMap(const std::vector<Rgb>& colors, int first = 0)
{
    kelColormap map(3, kelUChar, first, first + int(colors.size()) - 1);
    for (size_t i = 0; i < colors.size(); i++)
        for (int c = 0; c < 3; c++)
            map.setVal(colors[i][c], first + double(i), c);
    return map;
}

// The header fields after the magic, in file order (reserved ones left out).
using Fields = std::vector<uint32_t>;

Fields fieldsOf(const Bytes& b)
{
    Fields f;
    for (size_t at : {2, 10, 14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50})
        f.push_back(getLE(b, at, at == 26 || at == 28 ? 2 : 4));
    return f;
}

class BmpWrite : public BmpTest {};

// The page's R, G, B become B, G, R; rows of 15 bytes get 1 byte of padding.
TEST_F(BmpWrite, Rgb24FileByteForByte)
{
    const std::string path = dir.file("rgb.bmp");
    const Bytes picture = testPicture(5, 2, 3, 24);
    kelStatus sts;
    kelFile* f = createBmp(path, 5, 2, 3, sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(kelRGB, f->getColorModel());
    EXPECT_EQ(kelLowerLeftOrigin, f->getOrientation());
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 5, 2, 1, picture.data()));
    ASSERT_EQ(kelOKAY, f->close());

    const Bytes b = fileBytes(path);
    ASSERT_EQ(86u, b.size());
    EXPECT_EQ('B', b[0]);
    EXPECT_EQ('M', b[1]);
    EXPECT_EQ(0u, getLE(b, 6, 4));
    // File size, data offset, header size, width, height, planes, bits,
    // compression, bitmap size, resolutions, colors used and significant.
    EXPECT_EQ((Fields{86, 54, 40, 5, 2, 1, 24, 0, 32, 2925, 2925, 0, 0}), fieldsOf(b));
    EXPECT_EQ(storedRows(picture, 5, 2, 24), std::string(b.begin() + 54, b.end()));
}

struct PaletteCase {
    size_t colors;
    int bits;
    uint32_t offset;
};

class BmpPaletteWrite : public BmpTest, public ::testing::WithParamInterface<PaletteCase> {};

// The depth is the smallest that indexes the palette; rows 10 pixels wide
// are padded to 4 bytes at every depth.
TEST_P(BmpPaletteWrite, DepthOffsetPaletteAndRows)
{
    const PaletteCase c = GetParam();
    const uint32_t w = 10, h = 3;
    const std::string path = dir.file("pal.bmp");
    Bytes picture = testPicture(w, h, 1, 8);
    for (unsigned char& v : picture)
        v = (unsigned char)(v % c.colors);
    const std::vector<Rgb> colors = grayPalette(c.colors);
    kelStatus sts;
    kelFile* f = createBmp(path, w, h, 1, sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(kelRGBPalette, f->getColorModel());
    kelColormap map = makeMap(colors);
    ASSERT_EQ(kelOKAY, f->setColormap(&map));
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, w, h, 1, picture.data()));
    ASSERT_EQ(kelOKAY, f->close());

    const Bytes b = fileBytes(path);
    const std::string rows = storedRows(picture, w, h, c.bits);
    const uint32_t bitmapSize = uint32_t(rows.size()), used = uint32_t(c.colors);
    EXPECT_EQ((Fields{c.offset + bitmapSize, c.offset, 40, w, h, 1, uint32_t(c.bits), 0, bitmapSize, 2925, 2925, used,
                      used}),
              fieldsOf(b));
    ASSERT_EQ(c.offset + rows.size(), b.size());
    for (size_t i = 0; i < c.colors; i++) {
        const unsigned char* e = &b[54 + 4 * i];
        EXPECT_EQ((Bytes{colors[i][2], colors[i][1], colors[i][0], 0}), Bytes(e, e + 4)) << "entry " << i;
    }
    EXPECT_EQ(rows, std::string(b.begin() + c.offset, b.end()));

    f = openBmp(path, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(colors, paletteOf(f));
    EXPECT_EQ(picture, readImage(f, kelLowerLeftOrigin, sts));
    f->close();
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpPaletteWrite,
                         ::testing::Values(PaletteCase{1, 1, 58}, PaletteCase{2, 1, 62}, PaletteCase{3, 4, 66},
                                           PaletteCase{16, 4, 118}, PaletteCase{17, 8, 122},
                                           PaletteCase{200, 8, 854}, PaletteCase{256, 8, 1078}));

// Packing keeps to the depth: a 4-bit value never spills into its
// neighbour, a 1-bit pixel is its low bit.
TEST_F(BmpWrite, PixelsAreMaskedToTheDepth)
{
    for (size_t colors : {2, 16}) {
        const std::string path = dir.file("mask.bmp");
        const Bytes picture = {0xF3, 0x2A, 0x10, 0xFF, 0x07};
        kelStatus sts;
        kelFile* f = createBmp(path, 5, 1, 1, sts);
        ASSERT_NE(nullptr, f);
        kelColormap map = makeMap(grayPalette(colors));
        ASSERT_EQ(kelOKAY, f->setColormap(&map));
        ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 5, 1, 1, picture.data()));
        ASSERT_EQ(kelOKAY, f->close());
        Bytes masked = picture;
        for (unsigned char& v : masked)
            v = (unsigned char)(v & (colors - 1));
        const Bytes b = fileBytes(path);
        const uint32_t offset = getLE(b, 10, 4);
        EXPECT_EQ(storedRows(masked, 5, 1, colors == 2 ? 1 : 4), std::string(b.begin() + offset, b.end()));
    }
}

// Indices outside the map's domain have no color and are written black.
TEST_F(BmpWrite, PaletteEntriesBelowTheDomainAreBlack)
{
    const std::string path = dir.file("dom.bmp");
    kelStatus sts;
    kelFile* f = createBmp(path, 2, 1, 1, sts);
    ASSERT_NE(nullptr, f);
    kelColormap map = makeMap({{10, 20, 30}, {40, 50, 60}}, 2);
    ASSERT_EQ(kelOKAY, f->setColormap(&map));
    const Bytes picture = {2, 3};
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 2, 1, 1, picture.data()));
    ASSERT_EQ(kelOKAY, f->close());
    const Bytes b = fileBytes(path);
    EXPECT_EQ(4u, fieldsOf(b)[11]) << "colors used";
    EXPECT_EQ(4u, fieldsOf(b)[6]) << "bits";
    EXPECT_EQ((Bytes{0, 0, 0, 0, 0, 0, 0, 0, 30, 20, 10, 0, 60, 50, 40, 0}), Bytes(b.begin() + 54, b.begin() + 70));
}

TEST_F(BmpWrite, ColormapRules)
{
    kelStatus sts;
    kelFile* rgb = createBmp(dir.file("rgb.bmp"), 2, 2, 3, sts);
    ASSERT_NE(nullptr, rgb);
    kelColormap good = makeMap(grayPalette(4));
    EXPECT_EQ(kelBADPARAMS, rgb->setColormap(&good));
    rgb->close(1);

    kelFile* f = createBmp(dir.file("pal.bmp"), 2, 2, 1, sts);
    ASSERT_NE(nullptr, f);
    kelColormap fourChannels(4, kelUChar, 0, 3);
    kelColormap shorts(3, kelUShort, 0, 3);
    kelColormap tooLong(3, kelUChar, 0, 256);
    kelColormap pastIndex255(3, kelUChar, 200, 256);
    EXPECT_EQ(kelBADPARAMS, f->setColormap(nullptr));
    EXPECT_EQ(kelBADPARAMS, f->setColormap(&fourChannels));
    EXPECT_EQ(kelBADPARAMS, f->setColormap(&shorts));
    EXPECT_EQ(kelBADPARAMS, f->setColormap(&tooLong));
    EXPECT_EQ(kelBADPARAMS, f->setColormap(&pastIndex255));
    EXPECT_EQ(kelOKAY, f->setColormap(&good));
    const Bytes picture(4, 1);
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 2, 2, 1, picture.data()));
    EXPECT_EQ(kelBADFIELDSET, f->setColormap(&good)) << "the pixels' place depends on the palette";
    const kelColormap* kept = nullptr;
    EXPECT_EQ(kelOKAY, f->getColormap(kept));
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(0, kept->isDiff(good));
    EXPECT_EQ(kelOKAY, f->close());
}

TEST_F(BmpWrite, PaletteFileWithoutPaletteFailsToFlush)
{
    kelStatus sts;
    kelFile* f = createBmp(dir.file("nopal.bmp"), 2, 2, 1, sts);
    ASSERT_NE(nullptr, f);
    const Bytes picture(4, 0);
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 2, 2, 1, picture.data()));
    EXPECT_EQ(kelBADIMGFMT, f->flush());
    EXPECT_EQ(kelBADIMGFMT, f->close());
}

TEST_F(BmpWrite, ItemsGoIntoTheHeader)
{
    const std::string path = dir.file("items.bmp");
    kelStatus sts;
    kelFile* f = createBmp(path, 2, 2, 1, sts);
    ASSERT_NE(nullptr, f);
    int v = -1;
    EXPECT_EQ(kelOKAY, f->getItem(kelBMPSignificantColors, &v));
    EXPECT_EQ(256, v);
    EXPECT_EQ(kelBADFIELDSET, f->setItem(kelBMPSignificantColors, 257));
    EXPECT_EQ(kelBADFIELDSET, f->setItem(kelBMPSignificantColors, -1));
    EXPECT_EQ(kelBADFIELDSET, f->setItem(kelBMPHeaderSize, 12));
    EXPECT_EQ(kelBADFIELDGET, f->setItem(9, 1));
    EXPECT_EQ(kelOKAY, f->setItem(kelBMPSignificantColors, 200));
    // A smaller palette lowers the count of significant colors with it.
    kelColormap map = makeMap(grayPalette(16));
    ASSERT_EQ(kelOKAY, f->setColormap(&map));
    EXPECT_EQ(kelOKAY, f->getItem(kelBMPSignificantColors, &v));
    EXPECT_EQ(16, v);
    EXPECT_EQ(kelOKAY, f->setItem(kelBMPSignificantColors, 5));
    EXPECT_EQ(kelOKAY, f->setItem(kelBMPHorizResolution, 3780));
    EXPECT_EQ(kelOKAY, f->setItem(kelBMPVertResolution, 1234));
    const Bytes picture(4, 3);
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 2, 2, 1, picture.data()));
    ASSERT_EQ(kelOKAY, f->close());
    const Fields h = fieldsOf(fileBytes(path));
    EXPECT_EQ((Fields{3780, 1234, 16, 5}), Fields(h.begin() + 9, h.end()));
}

// Tiles that cover the image in parts: the page is read back and merged,
// blank before the first write.
TEST_F(BmpWrite, WritesTheImageInStrips)
{
    for (int channels : {1, 3, 4}) {
        const std::string path = dir.file("strips.bmp");
        const int w = 9, h = 7;
        const Bytes picture = testPicture(w, h, channels, channels == 1 ? 4 : 8);
        kelStatus sts;
        kelFile* f = createBmp(path, w, h, channels, sts);
        ASSERT_NE(nullptr, f);
        if (channels == 1) {
            kelColormap map = makeMap(grayPalette(16));
            ASSERT_EQ(kelOKAY, f->setColormap(&map));
        }
        const size_t row = size_t(w) * channels;
        ASSERT_EQ(kelOKAY, f->setTile(0, 3, 0, w, 4, 1, &picture[3 * row]));
        ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, w, 3, 1, picture.data()));
        ASSERT_EQ(kelOKAY, f->close());
        f = openBmp(path, sts);
        ASSERT_NE(nullptr, f);
        EXPECT_EQ(picture, readImage(f, kelLowerLeftOrigin, sts)) << channels << " channels";
        f->close();
    }
}

// What the format cannot store is refused before anything is written.
TEST_F(BmpWrite, RefusesLayoutsItCannotStore)
{
    struct {
        const char* what;
        kelSize size;
        kelColorModel cm;
        kelDataType type;
        kelOrientation orientation;
    } cases[] = {
        {"16-bit data", kelSize(4, 4, 1, 3), kelRGB, kelUShort, kelLowerLeftOrigin},
        {"top row first", kelSize(4, 4, 1, 3), kelRGB, kelUChar, kelUpperLeftOrigin},
        {"gray and alpha", kelSize(4, 4, 1, 2), kelLuminanceAlpha, kelUChar, kelLowerLeftOrigin},
        {"two planes", kelSize(4, 4, 2, 3), kelRGB, kelUChar, kelLowerLeftOrigin},
        {"one-channel RGB", kelSize(4, 4, 1, 1), kelRGB, kelUChar, kelLowerLeftOrigin},
        {"too wide", kelSize(65537, 1, 1, 1), kelRGBPalette, kelUChar, kelLowerLeftOrigin},
        {"past the header's 32-bit sizes", kelSize(65536, 65536, 1, 3), kelRGB, kelUChar, kelLowerLeftOrigin},
    };
    for (const auto& c : cases) {
        kelFileConfig cfg(&c.size, c.type, kelInterleaved, c.cm, c.orientation);
        kelStatus sts = -1;
        const std::string path = dir.file("no.bmp");
        EXPECT_EQ(nullptr, kelFile::create(path.c_str(), nullptr, &cfg, bmpFormat(), &sts)) << c.what;
        EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, sts) << c.what;
    }
}

// Writes that fail are failures, whether fwrite sees them or only the
// flush of the stream's buffer does.
TEST_F(BmpWrite, WritesThatFailAreReported)
{
    for (int width : {4, 1000}) {
        int fd = ::open("/dev/full", O_RDWR);
        if (fd < 0)
            GTEST_SKIP() << "no /dev/full";
        kelSize size(width, width, 1, 3);
        kelFileConfig cfg(&size);
        kelStatus sts = -1;
        kelFile* f = kelFile::create(fd, "/dev/full", nullptr, &cfg, bmpFormat(), &sts);
        ASSERT_NE(nullptr, f) << sts;
        const Bytes picture(size_t(width) * width * 3, 9);
        kelStatus set = f->setTile(0, 0, 0, width, width, 1, picture.data());
        kelStatus closed = f->close();
        EXPECT_EQ(kelWRITEFAILED, kelStatusMain(set != kelOKAY ? set : closed)) << width;
        EXPECT_EQ(ENOSPC, kelStatusErrno(set != kelOKAY ? set : closed)) << width;
    }
}

// A descriptor handed to create belongs to the file from then on and is
// closed once, by close.
TEST_F(BmpWrite, CreatesOverADescriptor)
{
    const std::string path = dir.file("fd.bmp");
    const int lowest = lowestFreeFd();
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    kelSize size(3, 2, 1, 3);
    kelFileConfig cfg(&size);
    kelStatus sts = -1;
    kelFile* f = kelFile::create(fd, path.c_str(), nullptr, &cfg, bmpFormat(), &sts);
    ASSERT_NE(nullptr, f) << sts;
    const Bytes picture = testPicture(3, 2, 3, 24);
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 3, 2, 1, picture.data()));
    EXPECT_EQ(kelOKAY, f->close());
    EXPECT_EQ(-1, fcntl(fd, F_GETFD));
    EXPECT_EQ(lowest, lowestFreeFd());
    f = openBmp(path, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(picture, readImage(f, kelLowerLeftOrigin, sts));
    f->close();
}

struct TripCase {
    int bits;
    int width;
    int height;
};

std::ostream& operator<<(std::ostream& os, const TripCase& c)
{
    return os << c.bits << " bits, " << c.width << " x " << c.height;
}

class BmpRoundTrip : public BmpTest, public ::testing::WithParamInterface<TripCase> {};

// Random pictures written top row first, as callers hold them, read back
// the same way and in the file's own layout.
TEST_P(BmpRoundTrip, ReadsBackWhatWasWritten)
{
    const TripCase c = GetParam();
    const int channels = c.bits == 24 ? 3 : 1;
    const std::string path = dir.file("trip.bmp");
    Bytes picture(size_t(c.width) * c.height * channels);
    srand(unsigned(c.width * 7919 + c.bits));
    for (unsigned char& v : picture)
        v = (unsigned char)(rand() % (c.bits == 24 ? 256 : 1 << c.bits));
    const std::vector<Rgb> colors = grayPalette(c.bits == 24 ? 0 : size_t(1) << c.bits);
    kelStatus sts;
    kelFile* f = createBmp(path, c.width, c.height, channels, sts);
    ASSERT_NE(nullptr, f) << sts;
    if (!colors.empty()) {
        kelColormap map = makeMap(colors);
        ASSERT_EQ(kelOKAY, f->setColormap(&map));
    }
    kelConfig topDown(kelUChar, kelInterleaved, channels, nullptr, 0, kelUpperLeftOrigin);
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, c.width, c.height, 1, picture.data(), &topDown));
    ASSERT_EQ(kelOKAY, f->close());

    f = openBmp(path, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(colors, paletteOf(f));
    EXPECT_EQ(picture, readImage(f, kelUpperLeftOrigin, sts));
    EXPECT_EQ(flipRows(picture, c.width, c.height, channels), readImage(f, kelLowerLeftOrigin, sts));
    f->close();
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpRoundTrip,
                         ::testing::Values(TripCase{1, 1, 1}, TripCase{1, 9, 4}, TripCase{1, 33, 5},
                                           TripCase{1, 300, 200}, TripCase{4, 1, 2}, TripCase{4, 7, 3},
                                           TripCase{4, 301, 200}, TripCase{8, 1, 1}, TripCase{8, 6, 5},
                                           TripCase{8, 300, 201}, TripCase{24, 1, 1}, TripCase{24, 7, 3},
                                           TripCase{24, 301, 200}, TripCase{24, 1024, 300}));

TEST(BmpFormat, AnswersForWhatItStores)
{
    kelFormat* f = bmpFormat();
    ASSERT_NE(nullptr, f);
    EXPECT_TRUE(f->sizeIsSupported(65536, 65535, 1, 1, kelLowerLeftOrigin));
    EXPECT_FALSE(f->sizeIsSupported(65536, 65536, 1, 1, kelLowerLeftOrigin));
    EXPECT_TRUE(f->sizeIsSupported(65536, 16384, 1, 3, kelLowerLeftOrigin));
    EXPECT_FALSE(f->sizeIsSupported(65536, 21846, 1, 3, kelLowerLeftOrigin));
    EXPECT_FALSE(f->sizeIsSupported(0, 5, 1, 1, kelLowerLeftOrigin));
    EXPECT_FALSE(f->sizeIsSupported(5, 65537, 1, 1, kelLowerLeftOrigin));
    EXPECT_FALSE(f->sizeIsSupported(5, 5, 1, 2, kelLowerLeftOrigin));
    EXPECT_TRUE(f->pageSizeIsSupported(5, 6, 1, 3, 5, 6, 1, 3, kelLowerLeftOrigin));
    EXPECT_FALSE(f->pageSizeIsSupported(5, 6, 1, 3, 5, 3, 1, 3, kelLowerLeftOrigin));
    EXPECT_FALSE(f->pagingIsSupported());
    EXPECT_EQ(kelRGBPalette, f->getPreferredColorModel(1));
    EXPECT_EQ(kelRGB, f->getPreferredColorModel(3));
    EXPECT_EQ(kelRGB, f->getPreferredColorModel(0));
    int px = 0, py = 0, pz = 0, pc = 0;
    f->getPreferredPageSize(7, 8, 1, 3, px, py, pz, pc, kelLowerLeftOrigin);
    EXPECT_EQ(kelSize(7, 8, 1, 3), kelSize(px, py, pz, pc));
}

// The descriptions, through the format's own table and through the public call.
struct TagPeek : kelFormat {
    using kelFormat::_getTagDescriptions;
};

TEST(BmpFormat, DescribesItsTags)
{
    kelFormat* f = bmpFormat();
    ASSERT_NE(nullptr, f);
    int count = -1;
    kelTagDescription* d = (f->*&TagPeek::_getTagDescriptions)(count);
    ASSERT_EQ(4, count);
    const char* names[] = {"Horizontal Resolution", "Vertical Resolution", "Significant colors"};
    const char* texts[] = {"Horizontal resolution in pixels per meter", "Vertical resolution in pixels per meter",
                           "Significant colors in color palette"};
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(i + 1, d[i].tag);
        EXPECT_EQ(0x6371u, d[i].flags);
        EXPECT_STREQ(names[i], d[i].name);
        EXPECT_STREQ(texts[i], d[i].description);
        EXPECT_STREQ("0", d[i].defaultValue);
        const kelIntRangeSpec* range = static_cast<const kelIntRangeSpec*>(d[i].spec);
        ASSERT_NE(nullptr, range);
        EXPECT_EQ(0, range->min);
        EXPECT_EQ(2147483647, range->max);
    }
    EXPECT_EQ(kelBMPHeaderSize, d[3].tag);
    EXPECT_EQ(unsigned(kelTagInt | 1 | kelTagReadOnly | kelTagFileWide), d[3].flags);
    EXPECT_STREQ("Header size", d[3].name);
    int publicCount = 0;
    EXPECT_EQ(d, f->getTagDescriptions(publicCount));
    EXPECT_EQ(count, publicCount);
}

} // namespace
