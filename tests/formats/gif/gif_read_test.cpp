// Reading GIF files built byte by byte: the signature, the screen and the
// tables, every form of extension, the scan and the selection of images,
// colormaps with transparency, items and their descriptions.
#include "gif_test_support.h"

namespace {

// One 2 x 2 image of pixels 0, 1, 2, 3 (code size 2).
const Bytes fourPixels = {0, 1, 2, 3};

Bytes fourPixelCodes()
{
    return lzwEncode(fourPixels, 2);
}

class GifRead : public ::testing::Test {
protected:
    kelFile* open(const GifBytes& gif, kelStatus& sts, const char* suffix = "")
    {
        std::string path = gif.write(dir, "t.gif") + suffix;
        return openGif(path, sts);
    }
    // Opens a file that must open; the test fails otherwise.
    kelFile* openOk(const GifBytes& gif)
    {
        kelStatus sts;
        kelFile* f = open(gif, sts);
        EXPECT_EQ(kelOKAY, sts);
        return f;
    }
    ScratchDir dir;
    QuietMessages quiet;
};

struct SignatureCase {
    const char* sig;
    kelStatus status;
};

class GifSignature : public GifRead, public ::testing::WithParamInterface<SignatureCase> {};

TEST_P(GifSignature, OpensOnlyGIFTwoDigitsAndALowerCaseLetter)
{
    GifBytes gif;
    gif.header(2, 2, 2, GetParam().sig).image(2, 2, 2, fourPixelCodes()).trailer();
    kelStatus sts;
    kelFile* f = open(gif, sts, "#GIF"); // past the database's own match rule
    EXPECT_EQ(GetParam().status, sts) << GetParam().sig;
    if (f)
        f->close();
}

INSTANTIATE_TEST_SUITE_P(Signatures, GifSignature,
                         ::testing::Values(SignatureCase{"GIF89a", kelOKAY}, SignatureCase{"GIF87a", kelOKAY},
                                           SignatureCase{"GIF12z", kelOKAY}, SignatureCase{"GIF8aa", kelBADMAGIC},
                                           SignatureCase{"GIF89A", kelBADMAGIC}, SignatureCase{"gif89a", kelBADMAGIC},
                                           SignatureCase{"GIF89", kelBADMAGIC}));

// Files that do not open, and why.
struct BrokenCase {
    const char* what;
    GifBytes gif;
    kelStatus status;
};

std::vector<BrokenCase> brokenFiles()
{
    const Bytes codes = fourPixelCodes();
    std::vector<BrokenCase> cases;
    GifBytes g;
    cases.push_back({"screen cut short", GifBytes().text("GIF89a").word(2).word(2), kelPREMATUREEOF});
    g = GifBytes().header(2, 2, 2);
    g.data.resize(g.data.size() - 1);
    cases.push_back({"global table cut short", g, kelPREMATUREEOF});
    cases.push_back({"no image at all", GifBytes().header(2, 2, 2).trailer(), kelBADIMGFMT});
    cases.push_back({"no table for the image", GifBytes().header(2, 2, 0).image(2, 2, 2, codes).trailer(),
                     kelBADIMGFMT});
    cases.push_back({"unknown block", GifBytes().header(2, 2, 2).byte('x').image(2, 2, 2, codes).trailer(),
                     kelCORRUPTED});
    cases.push_back({"descriptor cut short", GifBytes().header(2, 2, 2).byte(',').word(0).word(0), kelREADFAILED});
    g = GifBytes().header(2, 2, 0).descriptor(0, 0, 2, 2, 0x81).byte(1).byte(2);
    cases.push_back({"local table cut short", g, kelPREMATUREEOF});
    cases.push_back({"graphic control without terminator",
                     GifBytes().header(2, 2, 2).byte(0x21).byte(0xF9).byte(4).word(0).word(0).byte(5),
                     kelCORRUPTED});
    cases.push_back({"graphic control cut short", GifBytes().header(2, 2, 2).byte(0x21).byte(0xF9).byte(4).byte(0),
                     kelPREMATUREEOF});
    cases.push_back({"extension without label", GifBytes().header(2, 2, 2).byte(0x21), kelPREMATUREEOF});
    cases.push_back({"comment cut short", GifBytes().header(2, 2, 2).byte(0x21).byte(0xFE).byte(10).text("abc"),
                     kelPREMATUREEOF});
    g = GifBytes().header(2, 2, 2).byte(0x21).byte(0xFF).byte(11).text("NETSCAPE2.0").byte(3).byte(1).word(0);
    cases.push_back({"looping without terminator", g, kelPREMATUREEOF});
    g = GifBytes().header(2, 2, 2).byte(0x21).byte(0xFF).byte(11).text("ICCRGBG1012").byte(4).text("abcd");
    cases.push_back({"profile without terminator", g, kelPREMATUREEOF});
    return cases;
}

class GifBroken : public GifRead, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(GifBroken, FailsToOpenWithItsStatus)
{
    kelStatus sts;
    kelFile* f = open(GetParam().gif, sts);
    EXPECT_EQ(nullptr, f);
    EXPECT_EQ(GetParam().status, kelStatusMain(sts)) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Files, GifBroken, ::testing::ValuesIn(brokenFiles()), caseName<BrokenCase>);

// The image's graphic control and looping values after an extension block
// placed before it.
struct ExtensionCase {
    const char* what;
    GifBytes extension;
    int transIndex, delay, disposal, userInput, loopCount;
};

std::vector<ExtensionCase> extensionCases()
{
    std::vector<ExtensionCase> cases;
    cases.push_back({"graphic control", GifBytes().graphicControl(3 << 2 | 2 | 1, 300, 5), 5, 300, 3, 1, -1});
    cases.push_back({"graphic control without transparency", GifBytes().graphicControl(1 << 2, 7, 5), -1, 7, 1, 0,
                     -1});
    cases.push_back({"graphic control of size 0", GifBytes().byte(0x21).byte(0xF9).byte(0), -1, 0, 0, 0, -1});
    cases.push_back({"graphic control of 3 bytes",
                     GifBytes().byte(0x21).byte(0xF9).byte(3).byte(1).byte(9).byte(9).byte(0), -1, 0, 0, 0, -1});
    cases.push_back({"graphic control of 6 bytes",
                     GifBytes().byte(0x21).byte(0xF9).byte(6).byte(1).word(20).byte(3).word(0).byte(0), 3, 20, 0,
                     0, -1});
    cases.push_back({"looping", GifBytes().application("NETSCAPE2.0", {{1, 5, 1}}), -1, 0, 0, 0, 261});
    cases.push_back({"looping after buffering",
                     GifBytes().application("NETSCAPE2.0", {{2, 0, 0, 1, 0}, {1, 3, 0}}), -1, 0, 0, 0, 3});
    cases.push_back({"looping under its other name", GifBytes().application("ANIMEXTS1.0", {{1, 0, 0}}), -1, 0, 0,
                     0, 0});
    cases.push_back({"looping block of another kind", GifBytes().application("NETSCAPE2.0", {{2, 5, 1}}), -1, 0, 0,
                     0, -1});
    cases.push_back({"looping without blocks", GifBytes().application("NETSCAPE2.0", {}), -1, 0, 0, 0, -1});
    cases.push_back({"unknown application", GifBytes().application("XMP DataXMP", {Bytes(200, 1), Bytes(3, 0)}), -1,
                     0, 0, 0, -1});
    cases.push_back({"application with a short name", GifBytes().application("ABC", {{1, 2, 3}}), -1, 0, 0, 0, -1});
    cases.push_back({"comment of 200-byte blocks",
                     GifBytes().byte(0x21).byte(0xFE).subBlocks(Bytes(600, ',')), -1, 0, 0, 0, -1});
    cases.push_back({"empty unknown extension", GifBytes().byte(0x21).byte(0x2A).byte(0), -1, 0, 0, 0, -1});
    cases.push_back({"zero bytes between blocks", GifBytes().byte(0).byte(0), -1, 0, 0, 0, -1});
    return cases;
}

class GifExtension : public GifRead, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(GifExtension, SetsTheImageValues)
{
    const ExtensionCase& c = GetParam();
    GifBytes gif;
    gif.header(2, 2, 2).bytes(c.extension.data).image(2, 2, 2, fourPixelCodes()).trailer();
    kelFile* f = openOk(gif);
    ASSERT_NE(nullptr, f) << c.what;
    kelStatus sts;
    int trans = intItem(f, kelGIFtransparentIndex, sts);
    EXPECT_EQ(c.transIndex, sts == kelOKAY ? trans : -1) << c.what;
    EXPECT_EQ(c.delay, intItem(f, kelGIFdelayTime, sts)) << c.what;
    EXPECT_EQ(c.disposal, intItem(f, kelGIFdisposalMethod, sts)) << c.what;
    EXPECT_EQ(c.userInput, intItem(f, kelGIFuserInput, sts)) << c.what;
    int loops = intItem(f, kelGIFloopCount, sts);
    EXPECT_EQ(c.loopCount, sts == kelOKAY ? loops : -1) << c.what;
    EXPECT_TRUE(readPixels(f, sts) == fourPixels) << c.what; // the image after it is intact
    f->close();
}

INSTANTIATE_TEST_SUITE_P(Blocks, GifExtension, ::testing::ValuesIn(extensionCases()), caseName<ExtensionCase>);

// The profile extension in both forms.
struct ProfileCase {
    const char* what;
    std::vector<Bytes> blocks;
    Bytes profile;
};

Bytes numbered(size_t n)
{
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = (unsigned char)(i * 13 + 1);
    return b;
}

std::vector<Bytes> inBlocks(const Bytes& bytes, size_t len, std::vector<Bytes> blocks = {})
{
    for (size_t i = 0; i < bytes.size(); i += len)
        blocks.push_back(Bytes(bytes.begin() + long(i), bytes.begin() + long(std::min(bytes.size(), i + len))));
    return blocks;
}

std::vector<ProfileCase> profileCases()
{
    const Bytes p = numbered(600);
    return {
        {"bytes in sub-blocks", inBlocks(p, 255), p},
        {"size first", inBlocks(p, 200, {{0x58, 0x02, 0, 0}}), p},
        {"a 4-byte first block that is no size", inBlocks(p, 4), p},
        {"a size that does not count the bytes", inBlocks(p, 255, {{0x57, 0x02, 0, 0}}),
         [&] { Bytes b{0x57, 0x02, 0, 0}; b.insert(b.end(), p.begin(), p.end()); return b; }()},
        {"no bytes", {}, {}},
        {"a size of nothing", {{0, 0, 0, 0}}, {}},
    };
}

class GifProfile : public GifRead, public ::testing::WithParamInterface<ProfileCase> {};

TEST_P(GifProfile, ReadsEitherForm)
{
    const ProfileCase& c = GetParam();
    GifBytes gif;
    gif.header(2, 2, 2).application("ICCRGBG1012", c.blocks).image(2, 2, 2, fourPixelCodes()).trailer();
    kelFile* f = openOk(gif);
    ASSERT_NE(nullptr, f);
    int size = -1;
    void* profile = nullptr;
    kelStatus sts = ICCAccess::get(f, size, profile);
    if (c.profile.empty()) {
        EXPECT_EQ(kelBADPARAMS, sts) << c.what;
        EXPECT_EQ(0, size);
        EXPECT_EQ(nullptr, profile);
    } else {
        ASSERT_EQ(kelOKAY, sts) << c.what;
        const unsigned char* bytes = static_cast<const unsigned char*>(profile);
        EXPECT_TRUE(Bytes(bytes, bytes + size) == c.profile) << c.what;
        EXPECT_EQ(kelOKAY, ICCAccess::release(f, profile));
    }
    // The public call reaches the same profile.
    void* again = nullptr;
    ASSERT_EQ(sts, f->getICCProfile(size, again)) << c.what;
    if (sts == kelOKAY) {
        EXPECT_EQ(kelOKAY, f->freeICCProfile(again));
    }
    f->close();
}

INSTANTIATE_TEST_SUITE_P(Forms, GifProfile, ::testing::ValuesIn(profileCases()), caseName<ProfileCase>);

// Three images with their own placement and timing; the second has a
// local table and a transparent index.
GifBytes threeImages(bool trailer = true)
{
    GifBytes gif;
    gif.header(10, 8, 2, "GIF89a", 1, 49).application("NETSCAPE2.0", {{1, 2, 0}});
    gif.graphicControl(1 << 2, 10, 0).image(2, 2, 2, fourPixelCodes(), 0, 1, 2);
    gif.graphicControl(2 << 2 | 1, 20, 3).image(3, 1, 3, lzwEncode({7, 3, 0}, 3), 3, 4, 5);
    gif.comment().graphicControl(0, 30, 0).image(1, 2, 2, lzwEncode({2, 1}, 2), 0, 9, 6);
    return trailer ? gif.trailer() : gif;
}

struct ImageValues {
    kelSize size;
    int left, top, delay, disposal, transIndex;
    Bytes pixels;
};

void expectImage(kelFile* f, const ImageValues& v)
{
    kelStatus sts;
    kelSize size;
    f->getSize(size, f->getOrientation());
    EXPECT_EQ(v.size.x, size.x);
    EXPECT_EQ(v.size.y, size.y);
    EXPECT_EQ(v.left, intItem(f, kelGIFleftPosition, sts));
    EXPECT_EQ(v.top, intItem(f, kelGIFtopPosition, sts));
    EXPECT_EQ(v.delay, intItem(f, kelGIFdelayTime, sts));
    EXPECT_EQ(v.disposal, intItem(f, kelGIFdisposalMethod, sts));
    int trans = intItem(f, kelGIFtransparentIndex, sts);
    EXPECT_EQ(v.transIndex, sts == kelOKAY ? trans : -1);
    EXPECT_TRUE(readPixels(f, sts) == v.pixels);
    EXPECT_EQ(kelOKAY, sts);
}

const ImageValues firstImage = {kelSize(2, 2, 1, 1), 1, 2, 10, 1, -1, fourPixels};
const ImageValues secondImage = {kelSize(3, 1, 1, 1), 4, 5, 20, 2, 3, {7, 3, 0}};
const ImageValues thirdImage = {kelSize(1, 2, 1, 1), 9, 6, 30, 0, -1, {2, 1}};

TEST_F(GifRead, ScansEveryImageAndSelectsAnyInAnyOrder)
{
    kelFile* f = openOk(threeImages());
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(3, f->getNumImgs());
    EXPECT_EQ(0, f->getCurrentImg());
    expectImage(f, firstImage);
    ASSERT_EQ(kelOKAY, f->setCurrentImg(2));
    EXPECT_EQ(2, f->getCurrentImg());
    EXPECT_EQ(1, f->haveAttributesChanged());
    expectImage(f, thirdImage);
    ASSERT_EQ(kelOKAY, f->setCurrentImg(1));
    expectImage(f, secondImage);
    ASSERT_EQ(kelOKAY, f->setCurrentImg(0));
    expectImage(f, firstImage);
    // File-wide values are the same from every image.
    kelStatus sts;
    EXPECT_EQ(10, intItem(f, kelGIFscreenWidth, sts));
    EXPECT_EQ(8, intItem(f, kelGIFscreenHeight, sts));
    EXPECT_EQ(2, intItem(f, kelGIFloopCount, sts));
    f->close();
}

TEST_F(GifRead, AFailedSelectionKeepsTheCurrentImage)
{
    for (bool trailer : {true, false}) {
        kelFile* f = openOk(threeImages(trailer));
        ASSERT_NE(nullptr, f);
        ASSERT_EQ(kelOKAY, f->setCurrentImg(1));
        f->haveAttributesChanged();
        // Past the last image: the trailer, or the end of the file.
        EXPECT_EQ(trailer ? kelCORRUPTED : kelPREMATUREEOF, f->setCurrentImg(3));
        EXPECT_EQ(kelFILEINDEXOOB, f->setCurrentImg(-1));
        EXPECT_EQ(1, f->getCurrentImg());
        EXPECT_EQ(0, f->haveAttributesChanged());
        expectImage(f, secondImage);
        const kelColormap* map = nullptr;
        f->getColormap(map);
        EXPECT_EQ(8, map ? map->getLength() : 0);
        f->close();
    }
}

// Image 1's graphic control extension has a second sub-block, which a
// walk past it skips but its own selection refuses. Selections in any
// order, from either side of it, find the same images.
TEST_F(GifRead, ImagesAroundOneThatCannotBeSelected)
{
    GifBytes gif;
    gif.header(4, 4, 2);
    for (int i = 0; i < 4; ++i) {
        gif.byte(0x21).byte(0xF9).byte(4).byte(0).word(10 * i).byte(0);
        gif.byte(i == 1 ? 1 : 0);
        if (i == 1)
            gif.byte(7).byte(0);
        gif.image(1, 1, 2, lzwEncode({Bytes::value_type(i)}, 2));
    }
    kelFile* f = openOk(gif.trailer());
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(4, f->getNumImgs());
    kelStatus sts;
    for (int i : {3, 1, 0, 2, 1, 3, 0}) {
        if (i == 1) {
            EXPECT_EQ(kelCORRUPTED, f->setCurrentImg(i));
            continue;
        }
        ASSERT_EQ(kelOKAY, f->setCurrentImg(i));
        EXPECT_EQ(10 * i, intItem(f, kelGIFdelayTime, sts));
        EXPECT_TRUE(readPixels(f, sts) == Bytes{Bytes::value_type(i)});
    }
    f->close();
}

TEST_F(GifRead, AnImageIndexInTheNameSelectsTheImage)
{
    std::string path = threeImages().write(dir, "three.gif");
    kelStatus sts;
    kelFile* f = openGif(path + ":2", sts);
    ASSERT_EQ(kelOKAY, sts);
    expectImage(f, thirdImage);
    f->close();
}

TEST_F(GifRead, ColormapsMarkTheTransparentIndex)
{
    kelFile* f = openOk(threeImages());
    ASSERT_NE(nullptr, f);
    const kelColormap *map = nullptr, *global = nullptr;
    ASSERT_EQ(kelOKAY, f->getItem(kelGIFglobalMap, &global));
    // Without transparency the image's map is the global one itself.
    ASSERT_EQ(kelOKAY, f->getColormap(map));
    EXPECT_EQ(global, map);
    EXPECT_EQ(3, map->getNumChans());
    // A local table with a transparent index gets an alpha channel.
    ASSERT_EQ(kelOKAY, f->setCurrentImg(1));
    ASSERT_EQ(kelOKAY, f->getColormap(map));
    ASSERT_EQ(4, map->getNumChans());
    ASSERT_EQ(8, map->getLength());
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(GifBytes::red(i), map->getVal(i, 0));
        EXPECT_EQ(GifBytes::blue(i), map->getVal(i, 2));
        EXPECT_EQ(i == 3 ? 0 : 255, map->getVal(i, 3));
    }
    kelStatus sts;
    int r = 0, g = 0, b = 0;
    EXPECT_EQ(kelOKAY, f->getItem(kelGIFtransparentColor, &r, &g, &b));
    EXPECT_EQ(GifBytes::red(3), r);
    EXPECT_EQ(GifBytes::green(3), g);
    EXPECT_EQ(GifBytes::blue(3), b);
    EXPECT_EQ(3, intItem(f, kelGIFtransparentIndex, sts));
    f->close();
}

TEST_F(GifRead, ATransparentIndexCopiesTheGlobalTableWithAlpha)
{
    GifBytes gif;
    gif.header(2, 2, 2).graphicControl(1, 0, 2).image(2, 2, 2, fourPixelCodes()).trailer();
    kelFile* f = openOk(gif);
    ASSERT_NE(nullptr, f);
    const kelColormap *map = nullptr, *global = nullptr;
    f->getItem(kelGIFglobalMap, &global);
    f->getColormap(map);
    ASSERT_NE(global, map);
    ASSERT_EQ(4, map->getNumChans());
    EXPECT_EQ(colormapRGB(global), colormapRGB(map));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(i == 2 ? 0 : 255, map->getVal(i, 3));
    f->close();
}

TEST_F(GifRead, ExtensionsOfEarlierImagesDoNotReachLaterOnes)
{
    GifBytes gif;
    gif.header(4, 4, 2).graphicControl(1, 50, 1).image(2, 2, 2, fourPixelCodes());
    gif.image(2, 2, 2, fourPixelCodes()).trailer();
    kelFile* f = openOk(gif);
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(kelOKAY, f->setCurrentImg(1));
    kelStatus sts;
    EXPECT_EQ(0, intItem(f, kelGIFdelayTime, sts));
    intItem(f, kelGIFtransparentIndex, sts);
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, sts);
    const kelColormap* map = nullptr;
    f->getColormap(map);
    EXPECT_EQ(3, map->getNumChans());
    f->close();
}

TEST_F(GifRead, InterlacedRowsComeOutInNaturalOrder)
{
    // Stored rows 0..9 hold the values of rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
    const int stored[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    Bytes rows;
    for (int r : stored)
        for (int x = 0; x < 3; ++x)
            rows.push_back((unsigned char)(r * 10 + x));
    GifBytes gif;
    gif.header(3, 10, 8).image(3, 10, 8, lzwEncode(rows, 8), 0, 0, 0, true).trailer();
    kelFile* f = openOk(gif);
    ASSERT_NE(nullptr, f);
    kelStatus sts;
    Bytes page = readPixels(f, sts);
    ASSERT_EQ(kelOKAY, sts);
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(y * 10, page[size_t(y) * 3]) << "row " << y;
    EXPECT_EQ(1, intItem(f, kelGIFinterlace, sts));
    f->close();
}

// Image data that ends early or goes wrong: what was decoded stays, the
// rest of the page is 0 whatever the buffer held.
struct DamageCase {
    const char* what;
    Bytes codes;   // for a 4 x 2 image of code size 2
    int truncate;  // bytes cut from the file's end
    Bytes pixels;
};

std::vector<DamageCase> damageCases()
{
    const Bytes all = {0, 1, 2, 3, 3, 2, 1, 0};
    const Bytes whole = lzwEncode(all, 2);
    // Widths of 3 bits at first: clear 4, end 5.
    return {
        {"whole", whole, 0, all},
        {"no end code", packCodes({{4, 3}, {1, 3}, {2, 3}}), 0, {1, 2, 0, 0, 0, 0, 0, 0}},
        {"end code early", packCodes({{4, 3}, {1, 3}, {5, 3}, {2, 3}}), 0, {1, 0, 0, 0, 0, 0, 0, 0}},
        {"a string code first", packCodes({{4, 3}, {6, 3}, {1, 3}}), 0, Bytes(8, 0)},
        {"a string code after a clear", packCodes({{4, 3}, {1, 3}, {4, 3}, {7, 3}, {2, 3}}), 0,
         {1, 0, 0, 0, 0, 0, 0, 0}},
        {"a code past the table is passed over", packCodes({{4, 3}, {1, 3}, {7, 3}, {2, 3}, {5, 3}}), 0,
         {1, 2, 0, 0, 0, 0, 0, 0}},
        {"no clear code", packCodes({{3, 3}, {3, 3}, {6, 3}, {5, 4}}), 0, {3, 3, 3, 3, 0, 0, 0, 0}},
        {"cut in the last sub-block", whole, 4, Bytes(8, 0)},
        {"cut after the last sub-block", whole, 2, all},
    };
}

class GifDamage : public GifRead, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(GifDamage, KeepsWhatWasDecoded)
{
    const DamageCase& c = GetParam();
    GifBytes gif;
    gif.header(4, 2, 2).image(4, 2, 2, c.codes).trailer();
    gif.data.resize(gif.data.size() - size_t(c.truncate));
    kelFile* f = openOk(gif);
    ASSERT_NE(nullptr, f) << c.what;
    // Through the core's page buffer too, with data of another type.
    for (kelDataType type : {kelUChar, kelUShort}) {
        std::vector<unsigned short> wide(8, 0xEEEE);
        Bytes narrow(8, 0xEE);
        kelConfig cfg(type, kelInterleaved, 1);
        void* buf = type == kelUChar ? (void*)narrow.data() : (void*)wide.data();
        ASSERT_EQ(kelOKAY, f->getTile(0, 0, 0, 4, 2, 1, buf, &cfg)) << c.what;
        if (type == kelUShort)
            narrow.assign(wide.begin(), wide.end());
        EXPECT_TRUE(narrow == c.pixels) << c.what;
    }
    f->close();
}

INSTANTIATE_TEST_SUITE_P(Streams, GifDamage, ::testing::ValuesIn(damageCases()), caseName<DamageCase>);

TEST_F(GifRead, CodeSizesOutsideOneToElevenAreRefused)
{
    for (int codeSize : {0, 1, 11, 12, 255}) {
        GifBytes gif;
        gif.header(1, 1, 1).descriptor(0, 0, 1, 1, 0).byte(codeSize).subBlocks(Bytes(3, 0)).trailer();
        kelFile* f = openOk(gif);
        ASSERT_NE(nullptr, f);
        Bytes page(1, 0xEE);
        kelStatus sts = f->getPage(page.data(), 0, 0, 0, 0, 1, 1, 1, 1);
        EXPECT_EQ(codeSize >= 1 && codeSize <= 11 ? kelStatus(kelOKAY) : kelStatus(kelBADIMGFMT), sts) << codeSize;
        EXPECT_EQ(0, page[0]);
        f->close();
    }
}

TEST_F(GifRead, OneBitCodesWidenAfterTheFirstEntry)
{
    // Code size 1: clear 2, end 3, the first entry is 4, and codes widen
    // to 3 bits right after it.
    const Bytes pixels = {1, 0, 1, 0, 1, 1};
    Bytes codes = lzwEncode(pixels, 1);
    EXPECT_TRUE(codes == packCodes({{2, 2}, {1, 2}, {0, 2}, {4, 3}, {1, 3}, {1, 3}, {3, 4}}));
    GifBytes gif;
    gif.header(6, 1, 1).image(6, 1, 1, codes).trailer();
    kelFile* f = openOk(gif);
    ASSERT_NE(nullptr, f);
    kelStatus sts;
    EXPECT_TRUE(readPixels(f, sts) == pixels);
    f->close();
}

TEST_F(GifRead, ItemsOfTheFileAndTheirStatuses)
{
    kelFile* f = openOk(threeImages());
    ASSERT_NE(nullptr, f);
    float ratio = 0;
    EXPECT_EQ(kelOKAY, f->getItem(kelGIFaspectRatio, &ratio));
    EXPECT_FLOAT_EQ(1.0f, ratio);
    kelStatus sts;
    EXPECT_EQ(1, intItem(f, kelGIFbackgroundIndex, sts));
    int r = -1, g = -1, b = -1;
    EXPECT_EQ(kelOKAY, f->getItem(kelGIFbackgroundColor, &r, &g, &b));
    EXPECT_EQ(GifBytes::red(1), r);
    EXPECT_EQ(GifBytes::green(1), g);
    EXPECT_EQ(GifBytes::blue(1), b);
    // Values the image lacks, bad pointers, unknown tags.
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelGIFtransparentColor, &r, &g, &b));
    EXPECT_EQ(kelBADPARAMS, f->getItem(kelGIFbackgroundColor, &r, nullptr, &b));
    EXPECT_EQ(kelBADPARAMS, f->getItem(kelGIFdelayTime, (int*)nullptr));
    EXPECT_EQ(kelBADPARAMS, f->getItem(kelGIFglobalMap, (const kelColormap**)nullptr));
    EXPECT_EQ(kelBADPARAMS, f->getItem(8, &r));
    EXPECT_EQ(kelBADPARAMS, f->getItem(27, &r));
    f->close();

    GifBytes plain;
    plain.header(2, 2, 0).image(2, 2, 2, fourPixelCodes(), 2).trailer();
    f = openOk(plain);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelGIFaspectRatio, &ratio));
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelGIFbackgroundIndex, &r));
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelGIFbackgroundColor, &r, &g, &b));
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelGIFloopCount, &r));
    const kelColormap* global = nullptr;
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelGIFglobalMap, &global));
    f->close();
}

// The format's tag descriptions, which the interface version keeps from
// callers, reached through the plug-in's own implementation.
struct TagAccess : kelFormat {
    static kelTagDescription* get(kelFormat* f, int& count)
    {
        return (f->*(&TagAccess::_getTagDescriptions))(count);
    }
};

TEST(GifFormat, DescribesItsTags)
{
    setenv("KEL_DATABASE", KEL_TEST_DATABASE, 0);
    kelFormat* format = kelFormat::findByFormatName("GIF", 1);
    ASSERT_NE(nullptr, format);
    struct Row {
        int tag;
        unsigned flags;
        const char* name;
        const char* description;
        const char* defaultValue;
    };
    const unsigned file = kelTagFileWide, ro = kelTagReadOnly;
    const Row rows[] = {
        {0, 0x6311, "Transparent index", "Index value that is considered transparent", "-1"},
        {1, 0x14113 | ro, "Transparent color", "R,G,B value that is considered transparent", nullptr},
        {2, 0x6341, "Interlace", "The image is stored in interlaced format", "false"},
        {3, 0x6311 | 5u << 26, "Delay time", "Delay time in 1/100th's of a second for current frame", "0"},
        {4, 0x6361 | 7u << 26, "Disposal method", "How the graphic is treated after being displayed", "Unspecified"},
        {5, 0x6341, "User input", "User input is expected before continuing after this image", "false"},
        {6, 0x6311 | 3u << 26, "Left position", "Position of left edge of this image in the logical screen", "0"},
        {7, 0x6311 | 4u << 26, "Top position", "Position of top edge of this image in the logical screen", "0"},
        {20, 0x6311 | file | 1u << 26, "Screen width", "Logical screen width for all sub-images", nullptr},
        {21, 0x6311 | file | 2u << 26, "Screen height", "Logical screen height for all sub-images", nullptr},
        {22, 0x6321 | file, "Pixel aspect ratio", "Quotient of pixel's width over its height", "1"},
        {24, 0x12311 | file, "Background index", "Background color index for the logical screen", nullptr},
        {25, 0x14113 | file | ro, "Background color", "R,G,B value that is used for background of logical screen",
         nullptr},
        {26, 0x6311 | file | 9u << 26, "Loop count", "The number of iterations an animated file should execute",
         nullptr},
    };
    int count = -1;
    const kelTagDescription* d = TagAccess::get(format, count);
    ASSERT_EQ(14, count);
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(rows[i].tag, d[i].tag);
        EXPECT_EQ(rows[i].flags, d[i].flags);
        EXPECT_STREQ(rows[i].name, d[i].name);
        EXPECT_STREQ(rows[i].description, d[i].description);
        EXPECT_STREQ(rows[i].defaultValue, d[i].defaultValue);
        EXPECT_EQ(rows[i].tag == 4, d[i].spec != nullptr);
    }
    const kelEnumSpec* disposal = static_cast<const kelEnumSpec*>(d[4].spec);
    const char* names[] = {"Unspecified", "Leave image", "Restore background color", "Restore prior content"};
    for (int v = 0; v < 4; ++v) {
        EXPECT_STREQ(names[v], disposal[v].name);
        EXPECT_EQ(v, disposal[v].value);
    }
    EXPECT_EQ(nullptr, disposal[4].name);
    // Callers see the same table through the public call.
    int publicCount = 0;
    EXPECT_EQ(d, format->getTagDescriptions(publicCount));
    EXPECT_EQ(count, publicCount);
}

} // namespace
