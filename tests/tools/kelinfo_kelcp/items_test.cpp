// The tools take a format's items from its tag descriptions.
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <kel/kel.h>

#include "gifImages.h"
#include "kelToolItems.h"
#include "rawImages.h"
#include "toolRun.h"

namespace {

// Each shipped format with items, in a file that holds them all: kelinfo
// lists every described item once, per file or per image as described.
TEST(ToolItems, KelinfoListsWhatEachFormatDescribes)
{
    ScratchDir dir;
    GifFrame frame = gifFrame(4, 3, 4, 0);
    frame.transIndex = 1;
    writeGif(dir / "a.gif", {frame}, 0, 2.0);
    std::string raw = writePatternImage(dir / "a.raw", 4, 3, 3);
    for (const char* out : {"a.bmp", "a.fit"})
        ASSERT_EQ(0, runTool(KELCP_PROGRAM, {raw, dir / out}).status) << out;
    std::ofstream(dir / "a.xbm") << "#define a_width 8\n#define a_height 1\n#define a_x_hot 1\n#define a_y_hot 0\n"
                                    "static char a_bits[] = { 0x01 };\n";
    for (const char* name : {"a.gif", "a.bmp", "a.fit", "a.xbm"}) {
        SCOPED_TRACE(name);
        ToolResult r = runTool(KELINFO_PROGRAM, {"--json", dir / name});
        ASSERT_EQ(0, r.status) << r.err;
        nlohmann::json file = nlohmann::json::parse(r.out)["files"][0];
        kelFormat* format = kelFormat::findByFormatName(file["format"].get<std::string>().c_str(), 1);
        ASSERT_NE(nullptr, format);
        int count = 0;
        const kelTagDescription* rows = format->getTagDescriptions(count);
        ASSERT_LT(0, count);
        const nlohmann::json &perFile = file["items"], &perImage = file["images"][0]["items"];
        for (int i = 0; i < count; ++i) {
            bool wide = (rows[i].flags & kelTagFileWide) != 0;
            std::string key = kelToolItemKey(rows[i].name);
            EXPECT_TRUE((wide ? perFile : perImage).contains(key)) << key;
            EXPECT_FALSE((wide ? perImage : perFile).contains(key)) << key;
        }
        EXPECT_EQ(size_t(count), perFile.size() + perImage.size()) << perFile << perImage;
    }
}

} // namespace
