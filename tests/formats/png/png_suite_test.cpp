// PngSuite: every file that libpng refuses gives an error status; every
// other file reads with exactly the layout, pixels, palette and items that
// libpng gives (tests/data/png/pngsuite-expected.json, made with libpng).
#include <fstream>

#include <nlohmann/json.hpp>

#include "png_test_support.h"

namespace {

using nlohmann::json;

const json& expectations()
{
    static const json all = json::parse(std::ifstream(KEL_PNG_EXPECTED));
    return all;
}

std::vector<std::string> suiteFiles()
{
    std::vector<std::string> names;
    for (const auto& entry : expectations().items())
        names.push_back(entry.key());
    return names;
}

class PngSuite : public ::testing::TestWithParam<std::string> {
protected:
    QuietMessages quiet;
};

TEST_P(PngSuite, ReadsAsLibpng)
{
    const json& want = expectations()[GetParam()];
    kelStatus sts;
    kelFile* f = openPng(std::string(KEL_PNG_SUITE_DIR) + "/" + GetParam(), sts);
    if (want == "error") {
        if (f) {
            readImage(f, sts);
            f->close();
        }
        EXPECT_NE(kelOKAY, sts);
        return;
    }
    ASSERT_NE(nullptr, f) << sts;
    const std::map<std::string, kelColorModel> models = {{"luminance", kelLuminance},
                                                          {"luminance_alpha", kelLuminanceAlpha},
                                                          {"rgb", kelRGB},
                                                          {"rgba", kelRGBA},
                                                          {"palette", kelRGBPalette}};
    const std::map<std::string, kelDataType> types = {{"bit", kelBit}, {"uchar", kelUChar}, {"ushort", kelUShort}};
    kelSize s = storedSize(f);
    EXPECT_EQ(want["width"].get<int>(), s.x);
    EXPECT_EQ(want["height"].get<int>(), s.y);
    EXPECT_EQ(models.at(want["model"]), f->getColorModel());
    EXPECT_EQ(types.at(want["type"]), f->getDataType());
    int depth = 0, interlaced = -1;
    EXPECT_EQ(kelOKAY, f->getItem(kelPNGbitDepth, &depth));
    EXPECT_EQ(kelOKAY, f->getItem(kelPNGinterlace, &interlaced));
    EXPECT_EQ(want["depth"].get<int>(), depth);
    EXPECT_EQ(want["interlaced"].get<bool>(), interlaced != 0);
    EXPECT_EQ(want["sha256"], sha256(readImage(f, sts)));
    EXPECT_EQ(kelOKAY, sts);
    EXPECT_EQ(want.value("palette", json::array()), pngPalette(f));
    json expectedItems = want;
    for (const char* layoutKey : {"width", "height", "model", "type", "depth", "interlaced", "sha256", "palette"})
        expectedItems.erase(layoutKey);
    EXPECT_EQ(expectedItems, pngItems(f, want));
    EXPECT_EQ(kelOKAY, f->close());
}

std::string caseName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name;
    for (char ch : info.param)
        name += isalnum((unsigned char)ch) ? ch : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, PngSuite, ::testing::ValuesIn(suiteFiles()), caseName);

} // namespace
