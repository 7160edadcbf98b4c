// The tools on BMP files: kelinfo shows the items and the header variant,
// kelcp copies BMP to BMP with palette and items, and converts to and from
// RGB of other types without changing a pixel.
#include <fcntl.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <kel/kel.h>

#include "rawImages.h"
#include "toolRun.h"

namespace {

// A 6 x 4 palette image of 16 colors with its items set.
void writePaletteBmp(const std::string& path)
{
    kelSize size(6, 4, 1, 1);
    kelFileConfig cfg(&size);
    kelStatus sts = -1;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    ASSERT_NE(nullptr, f) << sts;
    kelColormap map(3, kelUChar, 0, 15);
    for (int i = 0; i < 16; i++)
        for (int c = 0; c < 3; c++)
            map.setVal((i * 16 + c * 50) % 256, i, c);
    ASSERT_EQ(kelOKAY, f->setColormap(&map));
    ASSERT_EQ(kelOKAY, f->setItem(kelBMPHorizResolution, 3780));
    ASSERT_EQ(kelOKAY, f->setItem(kelBMPVertResolution, 1890));
    ASSERT_EQ(kelOKAY, f->setItem(kelBMPSignificantColors, 9));
    std::vector<unsigned char> pixels(24);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = (unsigned char)(i * 5 % 16);
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 6, 4, 1, pixels.data()));
    ASSERT_EQ(kelOKAY, f->close());
}

// The same one-pixel image in the 12-byte header layout, made by hand.
void writeShortHeaderBmp(const std::string& path)
{
    const unsigned char bytes[] = {'B', 'M', 34, 0, 0, 0, 0, 0, 0, 0, 30, 0, 0, 0, // file header
                                   12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0,           // 1 x 1, 1 plane, 1 bit
                                   0, 0, 0, 255, 255, 255,                          // black, white
                                   0x80, 0, 0, 0};                                  // the white pixel
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    fwrite(bytes, 1, sizeof bytes, f);
    fclose(f);
}

nlohmann::json kelinfoJson(const std::vector<std::string>& files)
{
    std::vector<std::string> args{"--json"};
    args.insert(args.end(), files.begin(), files.end());
    ToolResult r = runTool(KELINFO_PROGRAM, args);
    EXPECT_EQ(0, r.status) << r.err;
    return nlohmann::json::parse(r.out)["files"];
}

TEST(BmpTools, KelinfoShowsTheItemsAndTheHeaderVariant)
{
    ScratchDir dir;
    writePaletteBmp(dir / "pal.bmp");
    writeShortHeaderBmp(dir / "os2.bmp");
    nlohmann::json files = kelinfoJson({dir / "pal.bmp", dir / "os2.bmp"});
    ASSERT_EQ(2u, files.size());
    EXPECT_EQ("BMP", files[0]["format"]);
    EXPECT_EQ(nlohmann::json({{"header_size", 40}}), files[0]["items"]);
    EXPECT_EQ(nlohmann::json({{"horizontal_resolution", 3780}, {"vertical_resolution", 1890},
                              {"significant_colors", 9}}),
              files[0]["images"][0]["items"]);
    EXPECT_EQ(16, files[0]["images"][0]["colormap"]["entries"].get<int>());
    EXPECT_EQ(nlohmann::json({{"header_size", 12}}), files[1]["items"]);
    EXPECT_EQ(nlohmann::json({{"horizontal_resolution", 0}, {"vertical_resolution", 0}, {"significant_colors", 0}}),
              files[1]["images"][0]["items"]);

    ToolResult table = runTool(KELINFO_PROGRAM, {dir / "pal.bmp"});
    EXPECT_NE(std::string::npos, table.out.find("header size")) << table.out;
    EXPECT_NE(std::string::npos, table.out.find("horizontal resolution")) << table.out;
}

// Headers, palette, items and pixels all come through: the copy is the
// same file byte for byte.
TEST(BmpTools, KelcpCopiesBmpToBmpWithPaletteAndItems)
{
    ScratchDir dir;
    writePaletteBmp(dir / "a.bmp");
    ToolResult copy = runTool(KELCP_PROGRAM, {dir / "a.bmp", dir / "b.bmp"});
    ASSERT_EQ(0, copy.status) << copy.err;
    EXPECT_EQ("", copy.err);
    std::string a = readFile(dir / "a.bmp"), b = readFile(dir / "b.bmp");
    EXPECT_EQ(a.size(), b.size());
    EXPECT_TRUE(a == b) << "the copy differs";
}

// 24-bit BMP to RGB of another type, order and orientation and back.
// A 24-bit file that names significant colors, which a written 24-bit file
// cannot: the copy keeps the pixels and says what it dropped.
TEST(BmpTools, KelcpDropsAnItemTheDestinationRefusesWithAWarning)
{
    ScratchDir dir;
    const unsigned char bytes[] = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, // file header
                                   40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, // 1 x 1, 24 bits
                                   0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 0, 3, 0, 0, 0,                          // 3 significant colors
                                   10, 20, 30, 0};                                  // the pixel, B G R
    FILE* f = fopen((dir / "in.bmp").c_str(), "wb");
    ASSERT_NE(nullptr, f);
    fwrite(bytes, 1, sizeof bytes, f);
    fclose(f);
    ToolResult r = runTool(KELCP_PROGRAM, {"-q", dir / "in.bmp", dir / "out.bmp"});
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("Significant colors not kept")) << r.err;
    kelStatus sts = -1;
    kelFile* out = kelFile::open((dir / "out.bmp").c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, out) << sts;
    unsigned char rgb[3] = {};
    EXPECT_EQ(kelOKAY, out->getTile(0, 0, 0, 1, 1, 1, rgb));
    EXPECT_EQ(30, rgb[0]);
    EXPECT_EQ(10, rgb[2]);
    out->close();
}

TEST(BmpTools, KelcpConvertsRgbOfAnyTypeToAndFromBmp)
{
    ScratchDir dir;
    std::string source = writePatternImage(dir / "a.raw", 13, 7, 3);
    ToolResult toBmp = runTool(KELCP_PROGRAM, {source, dir / "a.bmp"});
    ASSERT_EQ(0, toBmp.status) << toBmp.err;
    kelSize a, b;
    EXPECT_EQ(readPixels(source, a), readPixels(dir / "a.bmp", b));

    const struct {
        const char* type;
        const char* args;
    } types[] = {{"float", "type=float%order=separate%orientation=tr"},
                 {"ushort", "type=ushort%order=separate%orientation=tr"},
                 {"short", "type=short%order=separate%orientation=tr"}};
    for (const auto& t : types) {
        ToolResult out = runTool(KELCP_PROGRAM, {"--type", t.type, "--order", "separate", "--orientation",
                                                 "upper-right", dir / "a.bmp", dir / "b.raw#Raw"});
        ASSERT_EQ(0, out.status) << out.err;
        ToolResult back = runTool(KELCP_PROGRAM, {dir / "b.raw#Raw%colormodel=rgb%size=13,7,1,3%" + t.args,
                                                  dir / "b.bmp"});
        ASSERT_EQ(0, back.status) << back.err;
        EXPECT_TRUE(readFile(dir / "a.bmp") == readFile(dir / "b.bmp")) << t.type << ": the bytes differ";
    }
}

// A strip smaller than the image writes the one page of a BMP file in parts.
TEST(BmpTools, KelcpWritesBmpInStrips)
{
    ScratchDir dir;
    std::string source = writePatternImage(dir / "big.raw", 700, 600, 3);
    ToolResult copy = runTool(KELCP_PROGRAM, {"--strip-mib", "1", "--quiet", source, dir / "big.bmp"});
    ASSERT_EQ(0, copy.status) << copy.err;
    kelSize a, b;
    EXPECT_EQ(readPixels(source, a), readPixels(dir / "big.bmp", b));
}

} // namespace
