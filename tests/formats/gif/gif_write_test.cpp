// Writing GIF files: the bytes of small files, color tables, settings,
// several images, appending to existing files, and files read back.
#include <random>

#include <kel/kelORNColormap.h>

#include "gif_test_support.h"

namespace {

class GifWrite : public ::testing::Test {
protected:
    // Writes one image of `pixels` after `configure` set up the file.
    template <class Configure>
    Bytes writeOne(int width, int height, const Bytes& pixels, Configure configure, kelStatus* writeStatus = nullptr)
    {
        kelStatus sts;
        std::string path = dir.file("w.gif");
        kelFile* f = createGif(path, width, height, sts);
        EXPECT_EQ(kelOKAY, sts);
        if (!f)
            return {};
        configure(f);
        sts = f->setTile(0, 0, 0, width, height, 1, pixels.data());
        if (writeStatus)
            *writeStatus = sts;
        else
            EXPECT_EQ(kelOKAY, sts);
        EXPECT_EQ(kelOKAY, f->close());
        return fileBytes(path);
    }

    ScratchDir dir;
    QuietMessages quiet;
};

// A 1 x 1 image of pixel `v` below 4 with code size 2: clear 4, v, end 5,
// 3 bits each.
Bytes onePixelData(int v)
{
    return {2, 2, (unsigned char)(0x44 + 8 * v), 1, 0};
}

// Signature, 1 x 1 screen unless given, and a 2-entry table of makeColormap.
GifBytes oneByOneHeader(const char* sig, int packedExtra = 0, int width = 1, int height = 1, int bg = 0,
                        int aspect = 0)
{
    GifBytes g;
    g.text(sig).word(width).word(height).byte(0xF0 | packedExtra).byte(bg).byte(aspect);
    return g.bytes({0, 0, 0, 3, 5, 7});
}

struct LayoutCase {
    const char* what;
    void (*configure)(kelFile* f);
    GifBytes expected;
};

std::vector<LayoutCase> layoutCases()
{
    static const kelColormap two = makeColormap(2), four = makeColormap(4);
    std::vector<LayoutCase> cases;
    cases.push_back({"plain", [](kelFile* f) { f->setItem(kelGIFglobalMap, &two); },
                     oneByOneHeader("GIF87a").byte(',').word(0).word(0).word(1).word(1).byte(0).bytes(
                         onePixelData(1)).trailer()});
    cases.push_back({"transparent",
                     [](kelFile* f) {
                         f->setItem(kelGIFglobalMap, &two);
                         // setTag: a literal 0 would pick setItem's va_list form.
                         f->setTag(kelGIFtransparentIndex, 0);
                     },
                     oneByOneHeader("GIF89a").graphicControl(1, 0, 0).descriptor(0, 0, 1, 1, 0).bytes(
                         onePixelData(1)).trailer()});
    cases.push_back({"looping",
                     [](kelFile* f) {
                         f->setItem(kelGIFglobalMap, &two);
                         f->setItem(kelGIFloopCount, 70000);
                     },
                     oneByOneHeader("GIF87a").application("NETSCAPE2.0", {{1, 0xff, 0xff}}).descriptor(0, 0, 1, 1, 0)
                         .bytes(onePixelData(1)).trailer()});
    cases.push_back({"screen",
                     [](kelFile* f) {
                         f->setItem(kelGIFglobalMap, &two);
                         f->setItem(kelGIFscreenWidth, 5);
                         f->setItem(kelGIFscreenHeight, 300);
                         f->setItem(kelGIFbackgroundIndex, 1);
                         f->setItem(kelGIFaspectRatio, 1.0);
                     },
                     oneByOneHeader("GIF87a", 0, 5, 300, 1, 49).descriptor(0, 0, 1, 1, 0).bytes(onePixelData(1))
                         .trailer()});
    cases.push_back({"placed and timed",
                     [](kelFile* f) {
                         f->setItem(kelGIFglobalMap, &two);
                         f->setItem(kelGIFleftPosition, 3);
                         f->setItem(kelGIFtopPosition, 258);
                         f->setItem(kelGIFdelayTime, 7);
                         f->setItem(kelGIFdisposalMethod, 2);
                         f->setItem(kelGIFuserInput, 5);
                     },
                     oneByOneHeader("GIF87a").graphicControl(2 << 2 | 2, 7, 0xff).descriptor(3, 258, 1, 1, 0)
                         .bytes(onePixelData(1)).trailer()});
    cases.push_back({"local table",
                     [](kelFile* f) {
                         f->setItem(kelGIFglobalMap, &two);
                         f->setColormap(&four);
                     },
                     oneByOneHeader("GIF87a").descriptor(0, 0, 1, 1, 0x81).bytes({0, 0, 0, 3, 5, 7, 6, 10, 14, 9,
                                                                                  15, 21})
                         .bytes(onePixelData(1)).trailer()});
    cases.push_back({"only an image table", [](kelFile* f) { f->setColormap(&two); },
                     oneByOneHeader("GIF87a").descriptor(0, 0, 1, 1, 0).bytes(onePixelData(1)).trailer()});
    return cases;
}

class GifLayoutBytes : public GifWrite, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(GifLayoutBytes, OneByOneFiles)
{
    Bytes file = writeOne(1, 1, {1}, GetParam().configure);
    EXPECT_TRUE(file == GetParam().expected.data) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Settings, GifLayoutBytes, ::testing::ValuesIn(layoutCases()), caseName<LayoutCase>);

TEST_F(GifWrite, AspectRatiosAreStoredAsTheirByte)
{
    const kelColormap two = makeColormap(2);
    for (auto c : std::vector<std::pair<double, int>>{{1.0, 49}, {0.2, 0}, {5.0, 255}, {0.5, 17}}) {
        Bytes file = writeOne(1, 1, {0}, [&](kelFile* f) {
            f->setItem(kelGIFglobalMap, &two);
            f->setItem(kelGIFaspectRatio, c.first);
        });
        ASSERT_GT(file.size(), 12u);
        EXPECT_EQ(c.second, file[12]) << c.first;
    }
}

// Header tables made from colormaps: entry i is the color of pixel i.
struct TableCase {
    const char* what;
    kelColormap map;
    kelStatus status;
    Bytes table; // the header's table when written
};

std::vector<TableCase> tableCases()
{
    std::vector<TableCase> cases;
    Bytes five = {0, 0, 0, 3, 5, 7, 6, 10, 14, 9, 15, 21, 12, 20, 28};
    five.resize(24, 0);
    cases.push_back({"5 entries", makeColormap(5), kelOKAY, five});
    cases.push_back({"257 entries", makeColormap(257), kelBADPARAMS, {}});
    cases.push_back({"past pixel 255", makeColormap(11, 3, 250), kelBADPARAMS, {}});
    Bytes orn(3 * 256, 0);
    kelORNColormap ornMap;
    for (int i = 32; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            orn[size_t(3 * i + c)] = (unsigned char)ornMap.getVal(i, c);
    cases.push_back({"from pixel 32", ornMap, kelOKAY, orn});
    kelColormap wide(3, kelUShort, 0, 1);
    for (int c = 0; c < 3; ++c) {
        wide.setVal(0x1234 * (c + 1), 0, c);
        wide.setVal(0xFFFF, 1, c);
    }
    cases.push_back({"16-bit", wide, kelOKAY, {0x12, 0x24, 0x36, 0xff, 0xff, 0xff}});
    cases.push_back({"one entry", makeColormap(1), kelOKAY, {0, 0, 0, 0, 0, 0}});
    return cases;
}

class GifTables : public GifWrite, public ::testing::WithParamInterface<TableCase> {};

TEST_P(GifTables, HoldTheColorOfEachPixelValue)
{
    const TableCase& c = GetParam();
    kelStatus set = -1;
    Bytes file = writeOne(1, 1, {0}, [&](kelFile* f) {
        const kelColormap fallback = makeColormap(2);
        set = f->setItem(kelGIFglobalMap, &c.map);
        if (set != kelOKAY)
            f->setItem(kelGIFglobalMap, &fallback);
    });
    EXPECT_EQ(c.status, set) << c.what;
    if (c.status != kelOKAY)
        return;
    GifLayout layout = parseGif(file);
    ASSERT_EQ(13 + c.table.size(), layout.screen.size()) << c.what;
    EXPECT_TRUE(Bytes(layout.screen.begin() + 13, layout.screen.end()) == c.table) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Colormaps, GifTables, ::testing::ValuesIn(tableCases()), caseName<TableCase>);

TEST_F(GifWrite, AnAlphaChannelChoosesTheTransparentIndex)
{
    kelColormap map = makeColormap(8, 4);
    map.setVal(0, 7, 3);
    map.setVal(100, 2, 3);
    map.setVal(100, 5, 3);
    std::string path = dir.file("alpha.gif");
    kelStatus sts;
    kelFile* f = createGif(path, 1, 1, sts);
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(kelOKAY, f->setColormap(&map));
    EXPECT_EQ(7, intItem(f, kelGIFtransparentIndex, sts));
    // Once an index is chosen, the alpha channel leaves it alone.
    map.setVal(0, 3, 3);
    ASSERT_EQ(kelOKAY, f->setColormap(&map));
    EXPECT_EQ(7, intItem(f, kelGIFtransparentIndex, sts));
    unsigned char pixel = 7;
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 1, 1, 1, &pixel));
    f->close();
    f = openGif(path, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(7, intItem(f, kelGIFtransparentIndex, sts));
    f->close();
    // Without an alpha channel below 255 nothing is transparent.
    f = createGif(path, 1, 1, sts);
    kelColormap opaque = makeColormap(8, 4);
    ASSERT_EQ(kelOKAY, f->setColormap(&opaque));
    intItem(f, kelGIFtransparentIndex, sts);
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, sts);
    f->close();
}

// A picture whose row y holds y in every pixel.
Bytes rowNumbers(int width, int height)
{
    Bytes pixels;
    for (int y = 0; y < height; ++y)
        pixels.insert(pixels.end(), size_t(width), (unsigned char)y);
    return pixels;
}

TEST_F(GifWrite, InterlacedRowsAreStoredInPassOrder)
{
    const kelColormap map = makeColormap(16);
    const Bytes pixels = rowNumbers(3, 10);
    Bytes file = writeOne(3, 10, pixels, [&](kelFile* f) {
        f->setItem(kelGIFglobalMap, &map);
        f->setItem(kelGIFinterlace, 1);
    });
    GifLayout layout = parseGif(file);
    ASSERT_EQ(1u, layout.blocks.size());
    EXPECT_EQ(0x40, layout.blocks[0].label & 0x40);
    Bytes data{(unsigned char)layout.blocks[0].codeSize};
    GifBytes framed;
    framed.subBlocks(layout.blocks[0].payload);
    data.insert(data.end(), framed.data.begin(), framed.data.end());
    Bytes stored = referenceDecode(data, pixels.size()).page;
    const int order[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(order[i], stored[size_t(i) * 3]) << "stored row " << i;
    kelStatus sts;
    kelFile* f = openGif(dir.file("w.gif"), sts);
    ASSERT_NE(nullptr, f);
    EXPECT_TRUE(readPixels(f, sts) == pixels);
    EXPECT_EQ(1, intItem(f, kelGIFinterlace, sts));
    f->close();
}

// The image data of a written file's only image, decoded by the rules.
ReferenceResult decodeWritten(const Bytes& file, size_t count, GifBlock* image = nullptr)
{
    GifLayout layout = parseGif(file);
    EXPECT_EQ(1u, layout.blocks.size());
    if (layout.blocks.empty())
        return {};
    const GifBlock& b = layout.blocks.back();
    if (image)
        *image = b;
    Bytes data{(unsigned char)b.codeSize};
    GifBytes framed;
    framed.subBlocks(b.payload);
    data.insert(data.end(), framed.data.begin(), framed.data.end());
    return referenceDecode(data, count);
}

TEST_F(GifWrite, DataGoesIn254ByteSubBlocksAndClearsWhenTheTableIsFull)
{
    const kelColormap map = makeColormap(256);
    const Bytes pixels = noise(300 * 300, 5);
    Bytes file = writeOne(300, 300, pixels, [&](kelFile* f) { f->setItem(kelGIFglobalMap, &map); });
    GifBlock image;
    ReferenceResult decoded = decodeWritten(file, pixels.size(), &image);
    EXPECT_TRUE(decoded.page == pixels);
    EXPECT_GE(decoded.clearCodes, 10);
    ASSERT_GT(image.sizes.size(), 2u);
    for (size_t i = 0; i + 1 < image.sizes.size(); ++i)
        ASSERT_EQ(254u, image.sizes[i]) << "sub-block " << i;
    EXPECT_LE(image.sizes.back(), 254u);
    EXPECT_EQ(8, image.codeSize);
}

TEST_F(GifWrite, ALongRunOfOneColorFillsTheTable)
{
    const kelColormap map = makeColormap(2);
    const Bytes pixels(3000 * 2900, 1); // strings of 1, 2, 3 ... pixels: 4090 of them
    Bytes file = writeOne(3000, 2900, pixels, [&](kelFile* f) { f->setItem(kelGIFglobalMap, &map); });
    ReferenceResult decoded = decodeWritten(file, pixels.size());
    EXPECT_TRUE(decoded.tableFilled);
    EXPECT_EQ(2, decoded.clearCodes);
    EXPECT_TRUE(decoded.page == pixels);
}

// Images of every code size, plain and interlaced, among them ones in which
// a probe ends on the string "0 0" and takes its slot.
TEST_F(GifWrite, TheEncoderFollowsTheHashedRulesByteForByte)
{
    std::mt19937 rng(17);
    int evictions = 0;
    for (int n = 0; n < 300; ++n) {
        const int bits = 1 + n % 8, codeSize = bits < 2 ? 2 : bits;
        const int width = 1 + int(rng() % 200), height = 1 + int(rng() % 150);
        const bool interlace = n % 5 == 0;
        // Noise of a few colors, zeros held back for a while, then runs.
        const int colors = 1 + int(rng() % unsigned(1 << bits));
        const size_t zeroFree = rng() % 3000;
        Bytes pixels(size_t(width) * size_t(height));
        for (size_t i = 0; i < pixels.size(); ++i) {
            int v = int(rng() % unsigned(colors));
            if (i < zeroFree && colors > 1)
                v = 1 + v % (colors - 1);
            else if (rng() % 4 == 0)
                v = 0;
            pixels[i] = (unsigned char)v;
        }
        const kelColormap map = makeColormap(1 << bits);
        Bytes file = writeOne(width, height, pixels, [&](kelFile* f) {
            f->setItem(kelGIFglobalMap, &map);
            f->setItem(kelGIFinterlace, int(interlace));
        });
        GifLayout layout = parseGif(file);
        ASSERT_EQ(1u, layout.blocks.size()) << n;
        ASSERT_EQ(codeSize, layout.blocks[0].codeSize);
        GifBytes written;
        for (size_t i = 0, at = 0; i < layout.blocks[0].sizes.size(); at += layout.blocks[0].sizes[i++])
            written.byte(int(layout.blocks[0].sizes[i]))
                .bytes(Bytes(layout.blocks[0].payload.begin() + long(at),
                             layout.blocks[0].payload.begin() + long(at + layout.blocks[0].sizes[i])));
        int lost = 0;
        ASSERT_TRUE(written.data == referenceEncode(pixels, width, height, interlace, codeSize + 1, &lost))
            << "image " << n;
        evictions += lost;
    }
    EXPECT_GT(evictions, 0);
}

TEST_F(GifWrite, PixelsPastTheCodeSizeAreRefusedBeforeAnythingIsWritten)
{
    const kelColormap map = makeColormap(2); // code size 2: pixels 0 to 3
    kelStatus sts = -1;
    Bytes file = writeOne(2, 1, {3, 0}, [&](kelFile* f) { f->setItem(kelGIFglobalMap, &map); });
    EXPECT_FALSE(file.empty());
    file = writeOne(2, 1, {1, 4}, [&](kelFile* f) { f->setItem(kelGIFglobalMap, &map); }, &sts);
    EXPECT_EQ(kelBADPARAMS, sts);
    EXPECT_TRUE(file.empty());
    // Without any table there is nothing to write.
    file = writeOne(2, 1, {1, 0}, [](kelFile*) {}, &sts);
    EXPECT_EQ(kelBADPARAMS, sts);
}

TEST_F(GifWrite, AFileClosedWithoutImagesStaysEmpty)
{
    kelStatus sts;
    kelFile* f = createGif(dir.file("empty.gif"), 4, 4, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(kelOKAY, f->close());
    EXPECT_TRUE(fileBytes(dir.file("empty.gif")).empty());
}

TEST_F(GifWrite, SizesAreLimitedToWhatTheFormatStores)
{
    kelStatus sts;
    EXPECT_EQ(nullptr, createGif(dir.file("big.gif"), 65536, 1, sts));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, sts);
    kelFile* f = createGif(dir.file("max.gif"), 65535, 1, sts);
    EXPECT_EQ(kelOKAY, sts);
    if (f)
        f->close();
}

// Settings outside what the fields hold, and read-only items.
TEST_F(GifWrite, SettingsAreCheckedAndFileSettingsPrecedeTheFirstImage)
{
    kelStatus sts;
    kelFile* f = createGif(dir.file("s.gif"), 1, 1, sts);
    ASSERT_NE(nullptr, f);
    const std::vector<std::pair<int, int>> bad = {
        {kelGIFleftPosition, 65536}, {kelGIFtopPosition, -1}, {kelGIFdelayTime, 65536}, {kelGIFdisposalMethod, 8},
        {kelGIFtransparentIndex, 256}, {kelGIFtransparentIndex, -2}, {kelGIFscreenWidth, 70000},
        {kelGIFbackgroundIndex, 256}, {kelGIFtransparentColor, 1}, {kelGIFbackgroundColor, 1}, {8, 1}, {27, 1}};
    for (auto b : bad)
        EXPECT_EQ(kelBADPARAMS, f->setItem(b.first, b.second)) << b.first << " " << b.second;
    EXPECT_EQ(kelBADPARAMS, f->setItem(kelGIFglobalMap, (const kelColormap*)nullptr));
    EXPECT_EQ(kelOKAY, f->setItem(kelGIFleftPosition, 65535));
    EXPECT_EQ(kelOKAY, f->setItem(kelGIFloopCount, 3));
    const kelColormap map = makeColormap(2);
    f->setItem(kelGIFglobalMap, &map);
    unsigned char pixel = 0;
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 1, 1, 1, &pixel));
    // The header is written: what only it holds cannot change any more.
    EXPECT_EQ(kelREADONLY, f->setItem(kelGIFloopCount, 5));
    EXPECT_EQ(kelREADONLY, f->setItem(kelGIFscreenWidth, 5));
    EXPECT_EQ(kelREADONLY, f->setItem(kelGIFaspectRatio, 2.0));
    EXPECT_EQ(kelREADONLY, ICCAccess::set(f, 4, "abcd"));
    EXPECT_EQ(3, intItem(f, kelGIFloopCount, sts));
    EXPECT_EQ(kelOKAY, f->setItem(kelGIFdelayTime, 9));
    f->close();
}

// A first sub-block of 4 bytes whose value counts the bytes after it would
// read as the older form's size: a 4-byte profile is split otherwise.
TEST_F(GifWrite, ProfilesAreWrittenAsBytesInSubBlocks)
{
    Bytes numbered(600);
    for (size_t i = 0; i < numbered.size(); ++i)
        numbered[i] = (unsigned char)(i * 31);
    const struct {
        Bytes profile;
        std::vector<size_t> sizes;
    } cases[] = {{numbered, {11, 255, 255, 90}}, {Bytes(4, 0), {11, 3, 1}}, {Bytes(5, 0), {11, 5}}};
    const kelColormap map = makeColormap(2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile.size());
        Bytes file = writeOne(1, 1, {0}, [&](kelFile* f) {
            f->setItem(kelGIFglobalMap, &map);
            EXPECT_EQ(kelBADPARAMS, ICCAccess::set(f, -1, c.profile.data()));
            EXPECT_EQ(kelOKAY, ICCAccess::set(f, int(c.profile.size()), c.profile.data()));
        });
        GifLayout layout = parseGif(file);
        ASSERT_EQ(2u, layout.blocks.size());
        const GifBlock& ext = layout.blocks[0];
        EXPECT_EQ(0xFF, ext.label);
        EXPECT_EQ(c.sizes, ext.sizes);
        EXPECT_TRUE(Bytes(ext.payload.begin(), ext.payload.begin() + 11) ==
                    Bytes({'I', 'C', 'C', 'R', 'G', 'B', 'G', '1', '0', '1', '2'}));
        EXPECT_TRUE(Bytes(ext.payload.begin() + 11, ext.payload.end()) == c.profile);
        kelStatus sts;
        kelFile* f = openGif(dir.file("w.gif"), sts);
        ASSERT_NE(nullptr, f);
        int size = 0;
        void* p = nullptr;
        ASSERT_EQ(kelOKAY, ICCAccess::get(f, size, p));
        EXPECT_TRUE(Bytes((unsigned char*)p, (unsigned char*)p + size) == c.profile);
        f->close();
    }
}

TEST_F(GifWrite, TwoPagesOfOneImageAreTwoImagesWithOneTrailer)
{
    kelStatus sts;
    std::string path = dir.file("two.gif");
    kelFile* f = createGif(path, 2, 1, sts);
    ASSERT_NE(nullptr, f);
    const kelColormap map = makeColormap(4);
    f->setColormap(&map);
    const unsigned char a[2] = {1, 2}, b[2] = {3, 0};
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 2, 1, 1, a));
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 2, 1, 1, b));
    EXPECT_EQ(2, f->getNumImgs());
    EXPECT_EQ(1, f->getCurrentImg());
    // The file reads back what was written, also while it is open.
    EXPECT_TRUE(readPixels(f, sts) == Bytes(b, b + 2));
    f->close();
    Bytes file = fileBytes(path);
    GifLayout layout = parseGif(file);
    EXPECT_EQ(2u, layout.blocks.size());
    EXPECT_EQ(file.size() - 1, layout.trailerOffset);
    f = openGif(path, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(2, f->getNumImgs());
    EXPECT_TRUE(readPixels(f, sts) == Bytes(a, a + 2));
    f->close();
}

TEST_F(GifWrite, AppendedImagesCountAndCarryTheirOwnTables)
{
    kelStatus sts;
    std::string path = dir.file("multi.gif");
    kelFile* f = createGif(path, 2, 2, sts);
    ASSERT_NE(nullptr, f);
    const kelColormap first = makeColormap(4);
    kelColormap shifted = makeColormap(4);
    shifted.setVal(99, 1, 0);
    const kelColormap* maps[3] = {&first, &shifted, &first};
    const Bytes pixels[3] = {{0, 1, 2, 3}, {3, 3, 1, 1}, {2, 0, 0, 2}};
    kelSize dims(2, 2, 1, 1);
    kelFileConfig cfg(&dims);
    for (int i = 0; i < 3; ++i) {
        if (i > 0) {
            EXPECT_EQ(kelOKAY, f->appendImg(nullptr, &cfg));
            EXPECT_EQ(i + 1, f->getNumImgs());
            EXPECT_EQ(i, f->getCurrentImg());
        }
        // The third image takes the file's table, the first image's.
        if (i < 2)
            f->setColormap(maps[i]);
        f->setItem(kelGIFdelayTime, 10 * (i + 1));
        ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 2, 2, 1, pixels[i].data()));
    }
    EXPECT_EQ(3, f->getNumImgs());
    // The images written are there to select while the file is open.
    for (int i : {0, 2, 1}) {
        ASSERT_EQ(kelOKAY, f->setCurrentImg(i));
        EXPECT_TRUE(readPixels(f, sts) == pixels[i]) << i;
    }
    f->close();
    // Only the image whose table differs from the header's carries one.
    GifLayout layout = parseGif(fileBytes(path));
    std::vector<int> localTables;
    for (const GifBlock& b : layout.blocks)
        if (b.kind == ',')
            localTables.push_back(b.label >> 7);
    EXPECT_EQ((std::vector<int>{0, 1, 0}), localTables);
    f = openGif(path, sts);
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(3, f->getNumImgs());
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(kelOKAY, f->setCurrentImg(i));
        EXPECT_TRUE(readPixels(f, sts) == pixels[i]) << i;
        const kelColormap* map = nullptr;
        f->getColormap(map);
        EXPECT_TRUE(colormapRGB(map) == colormapRGB(maps[i])) << i;
        EXPECT_EQ(10 * (i + 1), intItem(f, kelGIFdelayTime, sts));
    }
    f->close();
}

TEST_F(GifWrite, AppendingToAFileWritesOverItsTrailerOnly)
{
    const Bytes codes = lzwEncode({0, 1, 2, 3}, 2);
    GifBytes withTrailer, withoutTrailer, padded;
    withTrailer.header(2, 2, 2).image(2, 2, 2, codes).trailer();
    withoutTrailer.header(2, 2, 2).image(2, 2, 2, codes);
    padded.header(2, 2, 2).image(2, 2, 2, codes).byte(0).byte(0);
    for (const GifBytes* original : {&withTrailer, &withoutTrailer, &padded}) {
        std::string path = original->write(dir, "append.gif");
        kelStatus sts;
        kelFile* f = openGif(path, sts, O_RDWR);
        ASSERT_NE(nullptr, f);
        kelSize dims(1, 2, 1, 1);
        kelFileConfig cfg(&dims);
        ASSERT_EQ(kelOKAY, f->appendImg(f, &cfg));
        EXPECT_EQ(2, f->getNumImgs());
        const unsigned char pixels[2] = {3, 2};
        ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 1, 2, 1, pixels));
        f->close();
        Bytes file = fileBytes(path);
        // The original image is untouched; the new one follows it.
        size_t kept = withoutTrailer.data.size();
        ASSERT_GT(file.size(), kept);
        EXPECT_TRUE(Bytes(file.begin(), file.begin() + long(kept)) == withoutTrailer.data);
        GifLayout layout = parseGif(file);
        EXPECT_EQ(2u, layout.blocks.size());
        EXPECT_EQ(file.size() - 1, layout.trailerOffset);
        f = openGif(path, sts);
        ASSERT_NE(nullptr, f);
        ASSERT_EQ(kelOKAY, f->setCurrentImg(1));
        EXPECT_TRUE(readPixels(f, sts) == Bytes(pixels, pixels + 2));
        f->close();
    }
}

TEST_F(GifWrite, AReadOnlyFileTakesNoImages)
{
    std::string path = GifBytes().header(2, 2, 2).image(2, 2, 2, lzwEncode({0, 1, 2, 3}, 2)).trailer().write(dir,
                                                                                                         "ro.gif");
    kelStatus sts;
    kelFile* f = openGif(path, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(kelREADONLY, f->appendImg(nullptr, nullptr));
    const unsigned char pixels[4] = {0, 0, 0, 0};
    EXPECT_EQ(kelREADONLY, f->setPage(pixels, 0, 0, 0, 0, 2, 2, 1, 1));
    f->close();
}

TEST_F(GifWrite, NoDescriptorIsLeftOpen)
{
    const int before = lowestFreeFd();
    kelStatus sts;
    std::string path = dir.file("fd.gif");
    kelFile* f = createGif(path, 2, 2, sts);
    const kelColormap map = makeColormap(4);
    f->setColormap(&map);
    const unsigned char pixels[4] = {0, 1, 2, 3};
    f->setTile(0, 0, 0, 2, 2, 1, pixels);
    f->close();
    f = openGif(path, sts, O_RDWR);
    ASSERT_NE(nullptr, f);
    kelSize dims(2, 2, 1, 1);
    kelFileConfig cfg(&dims);
    f->appendImg(nullptr, &cfg);
    f->setTile(0, 0, 0, 2, 2, 1, pixels);
    f->close();
    EXPECT_EQ(nullptr, openGif(GifBytes().header(2, 2, 2).trailer().write(dir, "none.gif"), sts));
    EXPECT_EQ(before, lowestFreeFd());
}

// Random animations and settings, written and read back.
TEST_F(GifWrite, RoundTripsKeepPixelsColorsAndSettings)
{
    std::mt19937 rng(11);
    for (int n = 0; n < 40; ++n) {
        SCOPED_TRACE("round trip " + std::to_string(n));
        Animation a = randomAnimation(rng);
        writeWithKel(dir.file("rt.gif"), a);
        expectKelReads(dir.file("rt.gif"), a);
    }
}

} // namespace
