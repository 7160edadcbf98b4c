// BMP Suite, file by file, against the expected results beside each file:
// "decode" files read to exactly their pixels and palette (uncompressed
// ones stored top row first too), "decode_or_reject" files to their pixels
// or an error status, malformed files to an error or a partial image; none
// may crash (the sanitizer build runs this too).
#include <dirent.h>

#include <algorithm>
#include <fstream>

#include <nlohmann/json.hpp>

#include "bmp_test_support.h"

namespace {

const std::string suiteDir = KEL_BMP_SUITE_DIR;

// The expected-result files of the suite, relative to its folder; none
// when a folder is missing.
std::vector<std::string> suiteEntries()
{
    std::vector<std::string> names;
    for (const char* sub : {"", "bad/"}) {
        DIR* d = opendir((suiteDir + "/" + sub).c_str());
        if (!d)
            return {};
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n.size() > 5 && n.compare(n.size() - 5, 5, ".json") == 0)
                names.push_back(sub + n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string testName(const ::testing::TestParamInfo<std::string>& info)
{
    std::string n = info.param.substr(0, info.param.size() - 5);
    for (char& c : n)
        if (!isalnum((unsigned char)c))
            c = '_';
    return n;
}

class BmpSuite : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        if (GetParam().empty())
            FAIL() << "BMP Suite is missing or empty at " << suiteDir;
        std::ifstream in(suiteDir + "/" + GetParam());
        expected = nlohmann::json::parse(in);
        folder = suiteDir + "/" + GetParam().substr(0, GetParam().rfind('/') + 1);
    }

    std::string path(const std::string& name) const { return folder + name; }

    // The pixels read equal the expected ones where the file defines them
    // and are 0 where it leaves them undefined.
    void checkImage(kelFile* f, const nlohmann::json& image)
    {
        kelSize size;
        f->getDimensions(size);
        ASSERT_EQ(image["width"].get<int>(), size.x);
        ASSERT_EQ(image["height"].get<int>(), size.y);
        const std::string format = image["pixel_format"];
        ASSERT_EQ(format == "rgba32" ? 4 : format == "rgb24" ? 3 : 1, size.c);
        kelStatus sts;
        Bytes pixels = readImage(f, kelUpperLeftOrigin, sts);
        ASSERT_EQ(kelOKAY, sts);
        Bytes want = fileBytes(path(image["pixels"]));
        ASSERT_EQ(want.size(), pixels.size());
        Bytes mask = image.contains("defined_mask") ? fileBytes(path(image["defined_mask"])) : Bytes(want.size(), 1);
        ASSERT_EQ(want.size(), mask.size());
        size_t wrong = 0;
        for (size_t i = 0; i < want.size(); i++)
            wrong += mask[i] ? pixels[i] != want[i] : pixels[i] != 0;
        EXPECT_EQ(0u, wrong) << "pixels differ";

        std::vector<Rgb> palette;
        if (!image["palette"].is_null())
            for (const nlohmann::json& c : image["palette"])
                palette.push_back({c[0].get<unsigned char>(), c[1].get<unsigned char>(), c[2].get<unsigned char>()});
        EXPECT_EQ(palette, paletteOf(f));
    }

    // Whether the file has a top-down form: uncompressed rows, bottom first,
    // under a header with a signed height.
    bool hasTopDownForm() const
    {
        const nlohmann::json& b = expected["bmp"];
        return expected["expect"] == "decode" && (b["compression"] == "none" || b["compression"] == "BITFIELDS") &&
               b["header_size"].get<int>() >= 40 && !b["top_down"].get<bool>();
    }

    // A copy of the file with its rows in the other order and its height
    // negated: the same picture, stored top row first.
    std::string topDownCopy()
    {
        const nlohmann::json& b = expected["bmp"];
        const Bytes file = fileBytes(path(expected["file"]));
        const size_t stride = (b["width"].get<size_t>() * b["bits_per_pixel"].get<size_t>() + 31) / 32 * 4;
        const size_t at = b["bfOffBits"], height = b["height_field"];
        std::string copy(file.begin(), file.end());
        for (size_t y = 0; y < height; y++)
            std::copy_n(&file.at(at + (height - 1 - y) * stride), stride, &copy.at(at + y * stride));
        std::string negated;
        putLE(negated, uint64_t(-int64_t(height)), 4);
        copy.replace(22, 4, negated);
        return dir.write("topdown.bmp", copy);
    }

    nlohmann::json expected;
    std::string folder;
    ScratchDir dir;
};

TEST_P(BmpSuite, ReadsAsExpected)
{
    CapturedMessages messages;
    kelSetLocalErrorHandler quiet(CapturedMessages::handler, &messages);
    const std::string expect = expected["expect"];
    kelStatus sts;
    kelFile* f = openBmp(path(expected["file"]), sts);
    const bool hasPixels = expected.contains("images") && !expected["images"].empty();
    if (expect == "decode") {
        ASSERT_NE(nullptr, f) << "status " << sts;
    } else if (!f) {
        EXPECT_NE(kelOKAY, sts);
        return;
    }
    if (hasPixels) {
        checkImage(f, expected["images"][0]);
        kelFile* topDown = hasTopDownForm() ? openBmp(topDownCopy(), sts) : nullptr;
        if (topDown) {
            checkImage(topDown, expected["images"][0]);
            topDown->close();
        }
        EXPECT_EQ(!hasTopDownForm(), !topDown) << "status " << sts;
    } else {
        // Anything but a crash: an error status or a partial image.
        kelStatus readSts;
        readImage(f, kelLowerLeftOrigin, readSts);
    }
    f->close();
}

std::vector<std::string> suiteOrPlaceholder()
{
    std::vector<std::string> names = suiteEntries();
    return names.empty() ? std::vector<std::string>{""} : names;
}

INSTANTIATE_TEST_SUITE_P(Files, BmpSuite, ::testing::ValuesIn(suiteOrPlaceholder()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param.empty() ? std::string("SuiteMissing") : testName(info);
                         });

} // namespace
