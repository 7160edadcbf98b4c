// kelinfo and kelcp with FIT files: the header's items, copies that keep the
// configuration and the user area, and big images copied tile by tile.
#include <fcntl.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <kel/kelFITFile.h>
#include <kel/kelFile.h>

#include "rawImages.h"
#include "toolRun.h"

namespace {

nlohmann::json describe(const std::string& name)
{
    ToolResult r = runTool(KELINFO_PROGRAM, {"--json", name});
    EXPECT_EQ(0, r.status) << r.err;
    return nlohmann::json::parse(r.out)["files"][0];
}

ToolResult copy(const std::vector<std::string>& args)
{
    ToolResult r = runTool(KELCP_PROGRAM, args);
    EXPECT_EQ(0, r.status) << r.err;
    return r;
}

// A FIT file with a user area, written through the library.
void writeFitWithUserArea(const std::string& path, const std::string& area)
{
    kelStatus sts = kelOKAY;
    std::string source = writePatternImage(path + ".raw", 9, 6, 3);
    kelFile* src = kelFile::open(source.c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, src) << sts;
    kelFile* fit = kelFile::create((path + "#FIT").c_str(), src, nullptr, nullptr, &sts);
    ASSERT_NE(nullptr, fit) << sts;
    EXPECT_EQ(kelOKAY, fit->setItem(kelFITextensionData, area.data(), int(area.size())));
    std::vector<unsigned char> pixels(9 * 6 * 3);
    EXPECT_EQ(kelOKAY, src->getTile(0, 0, 0, 9, 6, 1, pixels.data()));
    EXPECT_EQ(kelOKAY, fit->setTile(0, 0, 0, 9, 6, 1, pixels.data()));
    EXPECT_EQ(kelOKAY, fit->close());
    src->close();
}

std::string userArea(const std::string& path)
{
    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    EXPECT_NE(nullptr, f) << sts;
    if (!f)
        return "";
    int bytes = 0;
    EXPECT_EQ(kelOKAY, f->getItem(kelFITextensionSize, &bytes));
    std::string area(size_t(bytes), '\0');
    EXPECT_EQ(kelOKAY, f->getItem(kelFITextensionData, &area[0], bytes));
    f->close();
    return area;
}

TEST(KelinfoFit, ShowsTheUserAreaSizeAndHeaderVersion)
{
    ScratchDir dir;
    writeFitWithUserArea(dir / "u.fit", "application data");
    nlohmann::json file = describe(dir / "u.fit");
    EXPECT_EQ("FIT", file["format"].get<std::string>());
    EXPECT_EQ(nlohmann::json({{"header_version", 2}, {"user_area", "YXBwbGljYXRpb24gZGF0YQ=="}, {"user_area_size", 16}}),
              file["items"]);

    // version 1, written byte by byte: 1 x 1 luminance uchar, 3 bytes of user area
    std::string v1 = std::string("IT01\0\0\0\1\0\0\0\1\0\0\0\1\0\0\0\1\0\0\0\2\0\0\0\1\0\0\0\1\0\0\0\1"
                                 "\0\0\0\1\0\0\0\1\0\0\0\1\0\0\0\1\0\0\0\x3b",
                                 56) +
                     "abc" + "\x7f";
    std::string path = dir / "v1.fit";
    FILE* out = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, out);
    fwrite(v1.data(), 1, v1.size(), out);
    fclose(out);
    file = describe(path);
    EXPECT_EQ(nlohmann::json({{"header_version", 1}, {"user_area", "YWJj"}, {"user_area_size", 3}}), file["items"]);
    EXPECT_EQ("luminance", file["images"][0]["color_model"].get<std::string>());
}

// Every attribute the source has goes into the FIT copy, and back.
TEST(KelcpFit, AnyImageKeepsItsWholeConfiguration)
{
    ScratchDir dir;
    std::string source = writePatternImage(dir / "a.raw", 37, 23, 3);
    copy({"--type", "short", "--order", "separate", "--orientation", "right-lower", "--page", "16x8", source,
          dir / "b.raw#Raw"});
    std::string layout = dir / "b.raw#Raw%colormodel=rgb%size=37,23,1,3%pagesize=16,8,1,1%type=short%"
                               "order=separate%orientation=rb%minimum=-100%maximum=900";
    copy({layout, dir / "b.fit"});
    nlohmann::json raw = describe(layout)["images"][0], fit = describe(dir / "b.fit")["images"][0];
    for (const char* key : {"size", "page_size", "data_type", "order", "orientation", "color_model", "scale"})
        EXPECT_EQ(raw[key], fit[key]) << key;
    EXPECT_EQ(-100, fit["scale"]["min"].get<double>());

    copy({"--type", "uchar", "--order", "interleaved", "--orientation", "upper-left", "--page", "37x23",
          dir / "b.fit", dir / "c.raw#Raw"});
    EXPECT_TRUE(readFile(dir / "a.raw") == readFile(dir / "c.raw"));
}

TEST(KelcpFit, CopyBetweenFitFilesKeepsTheUserArea)
{
    ScratchDir dir;
    writeFitWithUserArea(dir / "u.fit", "calibration 1.25");
    copy({"--type", "float", "--page", "4x4", dir / "u.fit", dir / "v.fit"});
    EXPECT_EQ("calibration 1.25", userArea(dir / "v.fit"));
    kelSize a, b;
    EXPECT_EQ(readPixels(dir / "u.fit", a), readPixels(dir / "v.fit", b));
}

// A band of 32-row pages across 2000 pixels of 3 doubles is 1.5 MiB: with
// 1 MiB per copy the pages go in tiles.
TEST(KelcpFit, WideImagesGoTileByTile)
{
    ScratchDir dir;
    std::string source = writePatternImage(dir / "w.raw", 2000, 70, 3);
    copy({"--quiet", "--type", "double", "--page", "32x32", source, dir / "w.fit"});
    copy({"--quiet", "--strip-mib", "1", "--page", "48x32", dir / "w.fit", dir / "x.fit"});
    nlohmann::json image = describe(dir / "x.fit")["images"][0];
    EXPECT_EQ(nlohmann::json({48, 32, 1, 3}), image["page_size"]);
    kelSize a, b;
    std::vector<double> expected = readPixels(source, a), copied = readPixels(dir / "x.fit", b);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(expected == copied);
}

} // namespace
