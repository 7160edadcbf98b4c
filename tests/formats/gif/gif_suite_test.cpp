// The public GIF suite: every file whose expected result says "decode" reads
// exactly as expected; every other file gives an error status or a partial
// image, and nothing crashes.
#include <dirent.h>

#include <algorithm>
#include <fstream>

#include <nlohmann/json.hpp>

#include "gif_test_support.h"

namespace {

const std::string suiteDir = KEL_GIF_SUITE_DIR;

std::vector<std::string> suiteFiles()
{
    std::vector<std::string> names;
    DIR* dir = opendir(suiteDir.c_str());
    for (struct dirent* e = dir ? readdir(dir) : nullptr; e; e = readdir(dir)) {
        std::string name = e->d_name;
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0)
            names.push_back(name.substr(0, name.size() - 5));
    }
    if (dir)
        closedir(dir);
    std::sort(names.begin(), names.end());
    if (names.empty())
        names.push_back("(missing)"); // one case, which fails
    return names;
}

Bytes paletteBytes(const nlohmann::json& palette)
{
    Bytes rgb;
    for (const nlohmann::json& color : palette)
        for (int c = 0; c < 3; ++c)
            rgb.push_back((unsigned char)color[c].get<int>());
    return rgb;
}

// An item the file lacks is null in the expectations.
nlohmann::json optionalItem(kelFile* f, int tag)
{
    kelStatus sts;
    int v = intItem(f, tag, sts);
    return sts == kelOKAY ? nlohmann::json(v) : nlohmann::json(nullptr);
}

class GifSuite : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        if (GetParam() == "(missing)")
            FAIL() << "the public GIF suite is missing or empty at " << suiteDir;
        std::ifstream in(suiteDir + "/" + GetParam() + ".json");
        expected = nlohmann::json::parse(in);
        path = suiteDir + "/" + expected["file"].get<std::string>();
    }

    void checkFile(kelFile* f);
    void checkImage(kelFile* f, const nlohmann::json& image);

    nlohmann::json expected;
    std::string path;
    QuietMessages quiet;
};

void GifSuite::checkFile(kelFile* f)
{
    kelStatus sts;
    EXPECT_EQ(expected["num_images"].get<int>(), f->getNumImgs());
    EXPECT_EQ(expected["width"].get<int>(), intItem(f, kelGIFscreenWidth, sts));
    EXPECT_EQ(expected["height"].get<int>(), intItem(f, kelGIFscreenHeight, sts));
    EXPECT_EQ(expected["loop_count"], optionalItem(f, kelGIFloopCount));
    const kelColormap* global = nullptr;
    sts = f->getItem(kelGIFglobalMap, &global);
    if (expected["global_palette"].is_null()) {
        EXPECT_EQ(kelUNSUPPORTEDBYFILE, sts);
    } else {
        ASSERT_EQ(kelOKAY, sts);
        EXPECT_EQ(paletteBytes(expected["global_palette"]), colormapRGB(global));
        EXPECT_EQ(expected["background_index"].get<int>(), intItem(f, kelGIFbackgroundIndex, sts));
    }
    int aspect = expected["pixel_aspect_byte"];
    float ratio = 0;
    sts = f->getItem(kelGIFaspectRatio, &ratio);
    if (aspect) {
        EXPECT_EQ(kelOKAY, sts);
        EXPECT_FLOAT_EQ((aspect + 15) / 64.0f, ratio);
    } else {
        EXPECT_EQ(kelUNSUPPORTEDBYFILE, sts);
    }
    int profileSize = 0;
    void* profile = nullptr;
    sts = ICCAccess::get(f, profileSize, profile);
    const nlohmann::json& icc = expected["icc_profile"];
    if (icc.is_null() || icc["length"].get<int>() == 0) {
        EXPECT_EQ(kelBADPARAMS, sts);
    } else {
        ASSERT_EQ(kelOKAY, sts);
        EXPECT_EQ(icc["length"].get<int>(), profileSize);
        // A profile begins with its own size, big-endian.
        const unsigned char* p = static_cast<const unsigned char*>(profile);
        EXPECT_EQ(unsigned(profileSize), unsigned(p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]));
    }
}

void GifSuite::checkImage(kelFile* f, const nlohmann::json& image)
{
    kelStatus sts;
    kelSize size;
    f->getSize(size, kelUpperLeftOrigin);
    EXPECT_EQ(image["width"].get<int>(), size.x);
    EXPECT_EQ(image["height"].get<int>(), size.y);
    EXPECT_EQ(image["left"].get<int>(), intItem(f, kelGIFleftPosition, sts));
    EXPECT_EQ(image["top"].get<int>(), intItem(f, kelGIFtopPosition, sts));
    EXPECT_EQ(image["interlaced"].get<bool>(), intItem(f, kelGIFinterlace, sts) != 0);
    EXPECT_EQ(image["delay"].get<int>(), intItem(f, kelGIFdelayTime, sts));
    EXPECT_EQ(image["disposal"].get<int>(), intItem(f, kelGIFdisposalMethod, sts));
    EXPECT_EQ(image["user_input"].get<bool>(), intItem(f, kelGIFuserInput, sts) != 0);
    EXPECT_EQ(image["transparent_index"], optionalItem(f, kelGIFtransparentIndex));
    const kelColormap* map = nullptr;
    ASSERT_EQ(kelOKAY, f->getColormap(map));
    int channels = 0;
    EXPECT_EQ(paletteBytes(image["palette"]), colormapRGB(map, &channels));
    EXPECT_EQ(image["transparent_index"].is_null() ? 3 : 4, channels);
    Bytes pixels = readPixels(f, sts);
    ASSERT_EQ(kelOKAY, sts);
    EXPECT_TRUE(pixels == fileBytes(suiteDir + "/" + image["pixels"].get<std::string>()))
        << "pixels of image " << image["index"];
}

TEST_P(GifSuite, ReadsAsExpected)
{
    kelStatus sts;
    kelFile* f = openGif(path, sts);
    const std::string expect = expected["expect"];
    if (expect != "decode") {
        // An error status or a partial image; a file without any whole
        // image does not open.
        if (expected["num_images"].get<int>() == 0) {
            EXPECT_EQ(nullptr, f);
            EXPECT_NE(kelOKAY, sts);
        }
        for (int i = 0; f && i < f->getNumImgs(); ++i)
            if (f->setCurrentImg(i) == kelOKAY)
                readPixels(f, sts);
        if (f)
            f->close();
        return;
    }
    ASSERT_EQ(kelOKAY, sts);
    checkFile(f);
    for (const nlohmann::json& image : expected["images"]) {
        SCOPED_TRACE("image " + image["index"].dump());
        ASSERT_EQ(kelOKAY, f->setCurrentImg(image["index"]));
        checkImage(f, image);
    }
    EXPECT_EQ(kelOKAY, f->close());
}

std::string fileCaseName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string name;
    for (char ch : info.param)
        name += isalnum((unsigned char)ch) ? ch : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Files, GifSuite, ::testing::ValuesIn(suiteFiles()), fileCaseName);

} // namespace
