#include <gtest/gtest.h>

#include <kel/kelColor.h>

namespace {

struct ModelInfo {
    kelColorModel model;
    int chans;
    int alpha;
};

const ModelInfo models[] = {
    {kelNegative, 1, 0},      {kelLuminance, 1, 0}, {kelRGB, 3, 0},        {kelRGBPalette, 1, 0},
    {kelRGBA, 4, 1},          {kelHSV, 3, 0},       {kelCMY, 3, 0},        {kelCMYK, 4, 0},
    {kelBGR, 3, 0},           {kelABGR, 4, 1},      {kelMultiSpectral, 0, 0}, {kelYCC, 3, 0},
    {kelLuminanceAlpha, 2, 1},
};

TEST(ColorModel, ChannelsAndAlpha)
{
    for (const ModelInfo& m : models) {
        EXPECT_EQ(m.chans, kelColorModelChans(m.model)) << m.model;
        EXPECT_EQ(m.alpha, kelColorModelHasAlpha(m.model)) << m.model;
    }
}

TEST(ColorModel, ValuesThatAreNoModel)
{
    for (int v : {0, 14, -1, 100}) {
        EXPECT_EQ(-1, kelColorModelChans(kelColorModel(v))) << v;
        EXPECT_EQ(0, kelColorModelHasAlpha(kelColorModel(v))) << v;
    }
}

TEST(ColorModel, FromChannelCount)
{
    EXPECT_EQ(kelLuminance, kelColorModelFromChans(1));
    EXPECT_EQ(kelLuminanceAlpha, kelColorModelFromChans(2));
    EXPECT_EQ(kelRGB, kelColorModelFromChans(3));
    EXPECT_EQ(kelRGBA, kelColorModelFromChans(4));
    for (int n : {0, -1, 5, 1000})
        EXPECT_EQ(kelMultiSpectral, kelColorModelFromChans(n)) << n;
    // The model chosen for a count has that many channels.
    for (int n = 1; n <= 4; n++)
        EXPECT_EQ(n, kelColorModelChans(kelColorModelFromChans(n)));
}

} // namespace
