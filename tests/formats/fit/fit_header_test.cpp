#include "fit_test_support.h"

namespace {

const unsigned char createdHeader[80] = {
    'I', 'T', '0', '2',                                 // magic, version
    0, 0, 0x01, 0x2c, 0, 0, 0, 0xc8, 0, 0, 0, 1, 0, 0, 0, 3, // 300 x 200 x 1 x 3
    0, 0, 0, 8,                                         // kelUShort
    0, 0, 0, 1,                                         // kelInterleaved
    0, 0, 0, 1,                                         // kelUpperLeftOrigin
    0, 0, 0, 3,                                         // kelRGB
    0, 0, 0, 128, 0, 0, 0, 128, 0, 0, 0, 1, 0, 0, 0, 3, // pages 128 x 128 x 1 x 3
    0, 0, 0, 0,                                         // zero
    0xbf, 0xf8, 0, 0, 0, 0, 0, 0,                       // -1.5
    0x40, 0x04, 0, 0, 0, 0, 0, 0,                       // 2.5
    0, 0, 0, 90,                                        // data offset: 80 + 10 bytes of user area
    0, 0, 0, 0};

TEST(FitHeader, CreatedFileRecordsItsWholeConfiguration)
{
    ScratchDir dir;
    const std::string path = dir.file("h.fit");
    kelStatus sts = -1;
    kelFile* f = createFit(path, kelSize(300, 200, 1, 3), kelUShort, kelInterleaved, kelSize(128, 128, 1, 3), sts,
                           kelRGB);
    ASSERT_TRUE(f) << sts;
    EXPECT_EQ(0, fileSize(path)); // the header waits for the final values
    EXPECT_EQ(0, f->setScaleMinMax(-1.5, 2.5));
    EXPECT_EQ(0, f->setItem(kelFITextensionData, "user bytes", 10));
    EXPECT_EQ(0, f->close());
    EXPECT_EQ(hex(std::string((const char*)createdHeader, 80)), hex(bytesAt(path, 0, 80)));
    EXPECT_EQ("user bytes", bytesAt(path, 80, 10));

    f = openFit(path, O_RDONLY, sts);
    ASSERT_TRUE(f) << sts;
    EXPECT_EQ(storedSize(f), kelSize(300, 200, 1, 3));
    EXPECT_EQ(storedPageSize(f), kelSize(128, 128, 1, 3));
    EXPECT_EQ(kelUShort, f->getDataType());
    EXPECT_EQ(kelRGB, f->getColorModel());
    EXPECT_EQ(kelNoCompression, f->getCompression());
    double lo = 0, hi = 0;
    EXPECT_EQ(0, f->getScaleMinMax(lo, hi));
    EXPECT_EQ(-1.5, lo);
    EXPECT_EQ(2.5, hi);
    EXPECT_EQ(kelREADONLY, f->setScaleMinMax(0, 1));
    f->close();
}

TEST(FitHeader, TransposedFileStoresItsOwnSizes)
{
    ScratchDir dir;
    const std::string path = dir.file("t.fit");
    kelStatus sts = -1;
    // upright 5 x 8; stored in a transposed orientation as 8 x 5
    kelFile* f = createFit(path, kelSize(5, 8, 2, 1), kelFloat, kelSeparate, kelSize(4, 2, 1, 1), sts,
                           kelLuminance, kelRightLowerOrigin);
    ASSERT_TRUE(f) << sts;
    double lo = 0, hi = 0;
    EXPECT_EQ(0, f->getScaleMinMax(lo, hi));
    EXPECT_EQ(kelDataMin(kelFloat), lo); // a new file's range is its type's
    EXPECT_EQ(kelDataMax(kelFloat), hi);
    f->close();
    HeaderFields h;
    h.size[0] = 8, h.size[1] = 5, h.size[2] = 2, h.size[3] = 1;
    h.page[0] = 2, h.page[1] = 4, h.page[2] = 1, h.page[3] = 1;
    h.dtype = kelFloat, h.order = kelSeparate, h.orientation = kelRightLowerOrigin, h.cm = kelLuminance;
    h.scaleMin = kelDataMin(kelFloat), h.scaleMax = kelDataMax(kelFloat);
    EXPECT_EQ(hex(headerBytes(h)), hex(bytesAt(path, 0, 80)));
}

TEST(FitHeader, VersionOneFileOpensWithItsLayout)
{
    ScratchDir dir;
    HeaderFields h;
    h.version = 1;
    h.size[0] = 2, h.size[1] = 2, h.size[3] = 1;
    h.page[0] = 2, h.page[1] = 2, h.page[3] = 1;
    h.dtype = kelShort;
    h.cm = 2; // stored less one: kelRGB
    h.dataOffset = 60;
    const std::string pixels = std::string("\xff\xfe\x00\x05\x12\x34\x80\x00", 8);
    const std::string path = dir.write("v1.fit", headerBytes(h) + "area" + pixels);
    kelStatus sts = -1;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts); // found by its magic number
    ASSERT_TRUE(f) << sts;
    EXPECT_STREQ("FIT", f->getFormat()->getName());
    EXPECT_EQ(kelRGB, f->getColorModel());
    EXPECT_EQ(storedSize(f), kelSize(2, 2, 1, 1));
    double lo = 0, hi = 0;
    EXPECT_EQ(0, f->getScaleMinMax(lo, hi));
    EXPECT_EQ(-32768.0, lo);
    EXPECT_EQ(32767.0, hi);
    int version = 0, area = 0;
    EXPECT_EQ(0, f->getItem(kelFITheaderVersion, &version));
    EXPECT_EQ(1, version);
    EXPECT_EQ(0, f->getItem(kelFITextensionSize, &area));
    EXPECT_EQ(4, area);
    char text[5] = {};
    EXPECT_EQ(0, f->getItem(kelFITextensionData, text, 4));
    EXPECT_STREQ("area", text);
    short values[4] = {};
    EXPECT_EQ(0, f->getTile(0, 0, 0, 2, 2, 1, values));
    EXPECT_EQ(-2, values[0]);
    EXPECT_EQ(5, values[1]);
    EXPECT_EQ(0x1234, values[2]);
    EXPECT_EQ(-32768, values[3]);
    f->close();
}

// A version-1 header is rewritten as it was: a longer one would overwrite
// the user area and the pages.
TEST(FitHeader, VersionOneFileKeepsItsLayoutWhenRewritten)
{
    ScratchDir dir;
    HeaderFields h;
    h.version = 1;
    h.cm = 1; // kelLuminance
    h.dataOffset = 70;
    const std::string original = headerBytes(h) + "fourteen bytes" + numberedBytes(12);
    const std::string path = dir.write("v1.fit", original);
    kelStatus sts = -1;
    kelFile* f = openFit(path, O_RDWR, sts);
    ASSERT_TRUE(f) << sts;
    EXPECT_EQ(kelLuminance, f->getColorModel());
    EXPECT_EQ(0, f->setScaleMinMax(10, 20));
    double lo = 0, hi = 0;
    EXPECT_EQ(0, f->getScaleMinMax(lo, hi));
    EXPECT_EQ(10, lo);
    EXPECT_EQ(20, hi);
    EXPECT_EQ(0, f->close());
    EXPECT_EQ(hex(original), hex(bytesAt(path, 0, 200)));
}

struct Refusal {
    const char* label;
    std::string bytes;
    kelStatus expected;
};

void PrintTo(const Refusal& r, std::ostream* os)
{
    *os << r.label;
}

template <class Change>
std::string changed(Change change, int version = 2)
{
    HeaderFields h;
    h.version = version;
    if (version == 1)
        h.dataOffset = 56;
    change(h);
    return headerBytes(h) + std::string(12, 'p');
}

class FitRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(FitRefusal, OpenFailsWithoutComputingFromTheHeader)
{
    ScratchDir dir;
    const std::string path = dir.write("bad.fit", GetParam().bytes);
    const int lowest = lowestFreeFd();
    kelStatus sts = -1;
    EXPECT_EQ(nullptr, openFit(path, O_RDONLY, sts));
    EXPECT_EQ(GetParam().expected, sts);
    EXPECT_EQ(lowest, lowestFreeFd());
}

const std::string good = changed([](HeaderFields&) {});

TEST(FitHeader, TheHeaderTheRefusalsChangeOpens)
{
    ScratchDir dir;
    for (int version : {1, 2}) {
        const std::string path = dir.write("good.fit", changed([](HeaderFields&) {}, version));
        kelStatus sts = -1;
        kelFile* f = openFit(path, O_RDONLY, sts);
        ASSERT_TRUE(f) << sts;
        EXPECT_EQ(storedSize(f), kelSize(4, 3, 1, 1));
        f->close();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, FitRefusal,
    ::testing::Values(
        Refusal{"other letters", "XT02" + good.substr(4), kelBADMAGIC},
        Refusal{"version 03", "IT03" + good.substr(4), kelBADIMGFMT},
        Refusal{"empty", "", kelREADFAILED},
        Refusal{"three bytes", "IT0", kelREADFAILED},
        Refusal{"version 2 cut short", good.substr(0, 79), kelREADFAILED},
        Refusal{"version 1 cut short", changed([](HeaderFields&) {}, 1).substr(0, 55), kelREADFAILED},
        Refusal{"width 0", changed([](HeaderFields& h) { h.size[0] = 0; }), kelBADIMGFMT},
        Refusal{"negative channels", changed([](HeaderFields& h) { h.size[3] = -1; }), kelBADIMGFMT},
        Refusal{"page depth 0", changed([](HeaderFields& h) { h.page[2] = 0; }), kelBADIMGFMT},
        Refusal{"negative page height", changed([](HeaderFields& h) { h.page[1] = -3; }), kelBADIMGFMT},
        Refusal{"data type 3", changed([](HeaderFields& h) { h.dtype = 3; }), kelBADIMGFMT},
        Refusal{"data type 512", changed([](HeaderFields& h) { h.dtype = 512; }), kelBADIMGFMT},
        Refusal{"order 3", changed([](HeaderFields& h) { h.order = 3; }), kelBADIMGFMT},
        Refusal{"orientation 0", changed([](HeaderFields& h) { h.orientation = 0; }), kelBADIMGFMT},
        Refusal{"orientation 9", changed([](HeaderFields& h) { h.orientation = 9; }), kelBADIMGFMT},
        Refusal{"color model 14", changed([](HeaderFields& h) { h.cm = 14; }), kelBADIMGFMT},
        Refusal{"interleaved pages of more channels",
                changed([](HeaderFields& h) { h.order = kelInterleaved, h.page[3] = 5963776; }), kelBADIMGFMT},
        Refusal{"sequential pages of fewer channels",
                changed([](HeaderFields& h) { h.order = kelSequential, h.size[3] = 3, h.page[3] = 1; }), kelBADIMGFMT},
        Refusal{"version 1 color model -1", changed([](HeaderFields& h) { h.cm = -1; }, 1), kelBADIMGFMT},
        Refusal{"version 1 color model at the int limit",
                changed([](HeaderFields& h) { h.cm = INT32_MAX; }, 1), kelBADIMGFMT},
        Refusal{"page elements beyond an int",
                changed([](HeaderFields& h) { h.page[0] = h.page[1] = 65536; }), kelBADIMGFMT},
        Refusal{"page bytes beyond 32 bits",
                changed([](HeaderFields& h) { h.page[0] = h.page[1] = 32768, h.dtype = kelDouble; }), kelBADIMGFMT},
        Refusal{"pages beyond 64-bit offsets",
                changed([](HeaderFields& h) {
                    h.size[0] = h.size[1] = h.size[2] = h.size[3] = INT32_MAX;
                    h.page[0] = h.page[1] = h.page[2] = h.page[3] = 1;
                }),
                kelBADIMGFMT},
        Refusal{"data offset inside the header", changed([](HeaderFields& h) { h.dataOffset = 79; }), kelBADIMGFMT},
        Refusal{"negative data offset", changed([](HeaderFields& h) { h.dataOffset = -80; }), kelBADIMGFMT},
        Refusal{"version 1 data offset inside the header",
                changed([](HeaderFields& h) { h.dataOffset = 55; }, 1), kelBADIMGFMT}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return "Case" + std::to_string(info.index); });

} // namespace
