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

// An item as JSON; null when the file lacks it.
template <class T, int N>
json item(kelFile* f, int tag)
{
    T v[4] = {};
    kelStatus sts = N == 1 ? f->getItem(tag, &v[0])
                    : N == 2 ? f->getItem(tag, &v[0], &v[1])
                    : N == 3 ? f->getItem(tag, &v[0], &v[1], &v[2])
                             : f->getItem(tag, &v[0], &v[1], &v[2], &v[3]);
    if (sts != kelOKAY)
        return nullptr;
    json values = json::array();
    for (int i = 0; i < N; ++i)
        values.push_back(v[i]);
    return values;
}

// The items libpng reports, as the expectations write them.
json items(kelFile* f, const json& want)
{
    json got = json::object();
    json v = item<double, 1>(f, kelPNGgamma);
    if (!v.is_null())
        got["gamma"] = int(v[0].get<double>() * 100000 + 0.5);
    if (!(v = item<int, 4>(f, kelPNGsignificantBits)).is_null())
        got["sbit"] = v;
    for (int tag : {kelPNGbackgroundGray, kelPNGbackgroundIndex, kelPNGbackgroundColor})
        if (!(v = tag == kelPNGbackgroundColor ? item<int, 3>(f, tag) : item<int, 1>(f, tag)).is_null())
            got["background"] = v;
    if (!(v = item<int, 1>(f, kelPNGtransparentGray)).is_null() ||
        !(v = item<int, 3>(f, kelPNGtransparentColor)).is_null())
        got["transparent"] = v;
    json chrm = json::array();
    for (int tag = kelPNGwhitePoint; tag <= kelPNGbluePrimary; ++tag)
        for (const json& x : item<double, 2>(f, tag))
            chrm.push_back(int(x.get<double>() * 100000 + 0.5));
    if (!chrm.empty())
        got["chromaticities"] = chrm;
    if (!(v = item<int, 1>(f, kelPNGsRGBIntent)).is_null())
        got["srgb_intent"] = v[0];
    if (!(v = item<int, 2>(f, kelPNGresolution)).is_null())
        got["resolution"] = {v[0], v[1], item<int, 1>(f, kelPNGresolutionUnit)[0]};
    const char* text = nullptr;
    if (f->getItem(kelPNGmodificationTime, &text) == kelOKAY)
        got["time"] = text;
    got["text"] = json::object();
    for (const auto& keyword : want["text"].items())
        if (f->getItem(kelPNGtext, keyword.key().c_str(), &text) == kelOKAY)
            got["text"][keyword.key()] = text;
    int size = 0;
    void* profile = nullptr;
    if (f->getICCProfile(size, profile) == kelOKAY)
        got["icc_length"] = size;
    return got;
}

json palette(kelFile* f)
{
    const kelColormap* map = nullptr;
    json entries = json::array();
    if (f->getColormap(map) != kelOKAY || !map)
        return entries;
    for (int i = 0; i < map->getLength(); ++i) {
        json entry = json::array();
        for (int c = 0; c < map->getNumChans(); ++c)
            entry.push_back(int(map->getVal(i, c)));
        entries.push_back(entry);
    }
    return entries;
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
    EXPECT_EQ(json::array({want["depth"]}), (item<int, 1>(f, kelPNGbitDepth)));
    EXPECT_EQ(json::array({want["interlaced"].get<bool>() ? 1 : 0}), (item<int, 1>(f, kelPNGinterlace)));
    EXPECT_EQ(want["sha256"], sha256(readImage(f, sts)));
    EXPECT_EQ(kelOKAY, sts);
    EXPECT_EQ(want.value("palette", json::array()), palette(f));
    json expectedItems = want;
    for (const char* layoutKey : {"width", "height", "model", "type", "depth", "interlaced", "sha256", "palette"})
        expectedItems.erase(layoutKey);
    EXPECT_EQ(expectedItems, items(f, want));
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
