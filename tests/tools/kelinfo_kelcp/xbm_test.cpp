// The tools on X bitmaps: kelinfo shows the hot spot, kelcp keeps it between
// bitmaps and moves the pixels to and from 1-bit images of other formats.
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "toolRun.h"

namespace {

const char* const arrow = "#define arrow_width 10\n#define arrow_height 2\n#define arrow_x_hot 3\n"
                          "#define arrow_y_hot 1\nstatic char arrow_bits[] = {\n 0x01, 0x02, 0x80, 0x00 };\n";

class XBMTools : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(dir / "arrow.xbm") << arrow; }
    ScratchDir dir;
};

TEST_F(XBMTools, KelinfoShowsTheHotSpot)
{
    ToolResult r = runTool(KELINFO_PROGRAM, {"--json", dir / "arrow.xbm"});
    ASSERT_EQ(0, r.status) << r.err;
    nlohmann::json image = nlohmann::json::parse(r.out)["files"][0]["images"][0];
    EXPECT_EQ(nlohmann::json({3, 1}), image["items"]["hot_spot"]) << image.dump();
    EXPECT_EQ(nlohmann::json({16, 2, 1, 1}), image["page_size"]);
    ToolResult table = runTool(KELINFO_PROGRAM, {dir / "arrow.xbm"});
    EXPECT_NE(std::string::npos, table.out.find("hot spot     3, 1\n")) << table.out;
}

TEST_F(XBMTools, KelcpKeepsTheHotSpotAndNamesTheCopyAfterItsFile)
{
    ToolResult r = runTool(KELCP_PROGRAM, {dir / "arrow.xbm", dir / "pointer.xbm"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("#define pointer_width 10\n#define pointer_height 2\n#define pointer_x_hot 3\n"
              "#define pointer_y_hot 1\n\nstatic unsigned char pointer_bits[] = {\n"
              "    0x01, 0x02, 0x80, 0x00};\n",
              readFile(dir / "pointer.xbm"));
    EXPECT_EQ((std::vector<std::string>{"arrow.xbm", "pointer.xbm"}), dir.entries());
}

// Row 0 has its pixels 0 and 9 black, row 1 its pixel 7; in a 1-bit Raw
// image of 16-pixel rows, as negative (set = black) and as luminance (set =
// white). The six pixels of padding in each row stay 0.
const std::string negativeBits("\x80\x40\x01\x00", 4);
const std::string luminanceBits("\x7f\x80\xfe\xc0", 4);

TEST_F(XBMTools, KelcpMovesThePictureToOneBitImagesAndBack)
{
    for (const char* model : {"negative", "luminance"}) {
        SCOPED_TRACE(model);
        ToolResult out = runTool(KELCP_PROGRAM, {"--colormodel", model, dir / "arrow.xbm", dir / "arrow.raw#Raw"});
        ASSERT_EQ(0, out.status) << out.err;
        EXPECT_EQ(std::string(model) == "negative" ? negativeBits : luminanceBits, readFile(dir / "arrow.raw"));
        std::string raw = dir / "arrow.raw#Raw%size=10,2,1,1%pagesize=16,2,1,1%type=bit%orientation=tl%colormodel=";
        ToolResult back = runTool(KELCP_PROGRAM, {raw + model, dir / "back.xbm"});
        ASSERT_EQ(0, back.status) << back.err;
        EXPECT_EQ("#define back_width 10\n#define back_height 2\n\nstatic unsigned char back_bits[] = {\n"
                  "    0x01, 0x02, 0x80, 0x00};\n",
                  readFile(dir / "back.xbm"));
    }
}

} // namespace
