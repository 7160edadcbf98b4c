#include "fit_test_support.h"

namespace {

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

} // namespace
