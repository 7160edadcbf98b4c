#include "fit_test_support.h"

namespace {

kelFormat* fitFormat()
{
    return kelFormat::findByFormatName("FIT", 1);
}

TEST(FitFormat, StoresEveryLayoutUncompressed)
{
    kelFormat* fit = fitFormat();
    ASSERT_TRUE(fit);
    for (int t = kelBit; t <= kelDouble; t <<= 1)
        EXPECT_TRUE(fit->typeIsSupported(kelDataType(t)));
    for (kelOrder o : {kelInterleaved, kelSequential, kelSeparate})
        EXPECT_TRUE(fit->orderIsSupported(o));
    for (int o = kelUpperLeftOrigin; o <= kelLeftLowerOrigin; ++o)
        EXPECT_TRUE(fit->orientationIsSupported(kelOrientation(o)));
    for (int m = kelNegative; m <= kelLuminanceAlpha; ++m)
        EXPECT_TRUE(fit->colorModelIsSupported(kelColorModel(m)));
    EXPECT_TRUE(fit->compressionIsSupported(kelNoCompression));
    EXPECT_FALSE(fit->compressionIsSupported(kelLZW));
    EXPECT_TRUE(fit->randomAccessReadIsSupported() && fit->randomAccessWriteIsSupported());
    EXPECT_EQ(kelUChar, fit->getPreferredType());
    EXPECT_EQ(kelInterleaved, fit->getPreferredOrder());
    EXPECT_EQ(kelLowerLeftOrigin, fit->getPreferredOrientation());
    EXPECT_EQ(kelLuminanceAlpha, fit->getPreferredColorModel(2));
    EXPECT_EQ(kelRGB, fit->getPreferredColorModel(0));
    EXPECT_EQ(kelNoCompression, fit->getPreferredCompression());
}

struct PageChoice {
    kelOrder order;
    kelSize given, expected; // upright page sizes; 0: not chosen
    kelStatus status;
};

void PrintTo(const PageChoice& p, std::ostream* os)
{
    *os << "order " << p.order << ", page " << p.given.x << "x" << p.given.y << "x" << p.given.z << "x" << p.given.c;
}

class FitPageChoice : public ::testing::TestWithParam<PageChoice> {};

TEST_P(FitPageChoice, NewFilesPagesAndRefusals)
{
    const PageChoice& p = GetParam();
    ScratchDir dir;
    const std::string path = dir.file("c.fit");
    kelStatus sts = -1;
    kelFile* f = createFit(path, kelSize(300, 20, 1, 3), kelUChar, p.order, p.given, sts);
    EXPECT_EQ(p.status, sts);
    if (!f) {
        EXPECT_EQ(-1, fileSize(path)) << "a refused file is not made";
        return;
    }
    kelSize page;
    f->getPageDimensions(page);
    EXPECT_EQ(p.expected, page);
    f->close();
}

INSTANTIATE_TEST_SUITE_P(
    Pages, FitPageChoice,
    ::testing::Values(PageChoice{kelInterleaved, kelSize(0, 0, 0, 0), kelSize(128, 128, 1, 3), kelOKAY},
                      PageChoice{kelSeparate, kelSize(64, 0, 0, 0), kelSize(64, 128, 1, 3), kelOKAY},
                      PageChoice{kelSeparate, kelSize(16, 16, 1, 2), kelSize(16, 16, 1, 2), kelOKAY},
                      PageChoice{kelSequential, kelSize(16, 16, 1, 3), kelSize(16, 16, 1, 3), kelOKAY},
                      PageChoice{kelInterleaved, kelSize(16, 16, 1, 1), kelSize(), kelBADPARAMS},
                      PageChoice{kelSequential, kelSize(16, 16, 1, 4), kelSize(), kelBADPARAMS},
                      PageChoice{kelInterleaved, kelSize(65536, 65536, 1, 3), kelSize(), kelBADPARAMS}),
    [](const ::testing::TestParamInfo<PageChoice>& info) { return "Case" + std::to_string(info.index); });

TEST(FitFormat, ConfigurationsNoHeaderCanHoldAreRefused)
{
    ScratchDir dir;
    const std::string path = dir.file("bad.fit");
    const kelSize size(4, 4, 1, 1);
    for (kelFileConfig cfg : {kelFileConfig(&size, kelUChar, kelInterleaved, kelLuminance, kelOrientation(42)),
                              kelFileConfig(&size, kelUChar, kelOrder(3), kelLuminance, kelLowerLeftOrigin),
                              kelFileConfig(&size, kelDataType(3), kelInterleaved, kelLuminance, kelLowerLeftOrigin),
                              kelFileConfig(&size, kelUChar, kelInterleaved, kelColorModel(99), kelLowerLeftOrigin)}) {
        kelStatus sts = -1;
        EXPECT_EQ(nullptr, kelFile::create((path + "#FIT").c_str(), nullptr, &cfg, nullptr, &sts));
        EXPECT_EQ(kelBADPARAMS, sts);
        EXPECT_EQ(-1, fileSize(path));
    }
}

// A copy from another file takes the source's whole configuration, its scale
// range included.
TEST(FitFormat, NewFileTakesTheSourcesConfiguration)
{
    ScratchDir dir;
    const std::string source = dir.write("s.raw", numberedBytes(6 * 4 * 2 * 4)) +
                               "#Raw%size=6,4,2,4%type=short%order=sequential%orientation=rt%pagesize=3,2,1,4%"
                               "min=-7%max=9%colormodel=cmyk";
    kelStatus sts = -1;
    kelFile* src = kelFile::open(source.c_str(), O_RDONLY, &sts);
    ASSERT_TRUE(src) << sts;
    kelFile* f = kelFile::create((dir.file("d.fit")).c_str(), src, nullptr, nullptr, &sts);
    ASSERT_TRUE(f) << sts;
    EXPECT_STREQ("FIT", f->getFormat()->getName());
    EXPECT_EQ(storedSize(src), storedSize(f));
    EXPECT_EQ(storedPageSize(src), storedPageSize(f));
    EXPECT_EQ(kelShort, f->getDataType());
    EXPECT_EQ(kelSequential, f->getOrder());
    EXPECT_EQ(kelRightUpperOrigin, f->getOrientation());
    EXPECT_EQ(kelCMYK, f->getColorModel());
    double lo = 0, hi = 0;
    EXPECT_EQ(0, f->getScaleMinMax(lo, hi));
    EXPECT_EQ(-7, lo);
    EXPECT_EQ(9, hi);
    f->close();
    src->close();
}

} // namespace
