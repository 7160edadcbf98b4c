// GIF files in the tools: kelinfo shows their items, kelcp keeps
// animations whole from GIF to GIF and expands palettes into colors for
// destinations without them, decoding and writing each image once.
#include <fcntl.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <kel/kel.h>

#include "gifImages.h"
#include "kelCopyPixels.h"
#include "toolRun.h"

namespace {

nlohmann::json info(const std::string& path)
{
    ToolResult r = runTool(KELINFO_PROGRAM, {"--json", path});
    EXPECT_EQ(0, r.status) << r.err;
    return nlohmann::json::parse(r.out)["files"][0];
}

// Three frames: the first transparent, the second not, the third placed
// and disposed differently, with a colormap of its own size.
std::vector<GifFrame> animation()
{
    GifFrame a = gifFrame(12, 10, 4, 0), b = gifFrame(12, 10, 4, 1), c = gifFrame(5, 3, 16, 2);
    a.transIndex = 2;
    a.delay = 10;
    a.disposal = 1;
    b.delay = 20;
    b.disposal = 2;
    c.left = 7;
    c.top = 6;
    c.delay = 30;
    c.disposal = 3;
    return {a, b, c};
}

TEST(GifTools, KelinfoShowsTheItems)
{
    ScratchDir dir;
    writeGif(dir / "a.gif", animation(), 3);
    nlohmann::json file = info(dir / "a.gif");
    EXPECT_EQ("GIF", file["format"]);
    EXPECT_EQ(3, file["image_count"]);
    const nlohmann::json& items = file["items"];
    EXPECT_EQ(40, items["screen_width"]);
    EXPECT_EQ(30, items["screen_height"]);
    EXPECT_EQ(3, items["loop_count"]);
    EXPECT_FALSE(items.contains("pixel_aspect_ratio")); // not stored
    const nlohmann::json& first = file["images"][0]["items"];
    EXPECT_EQ(2, first["transparent_index"]);
    EXPECT_EQ(nlohmann::json({gifColor(2, 0), gifColor(2, 1), gifColor(2, 2)}), first["transparent_color"]);
    EXPECT_EQ(10, first["delay_time"]);
    EXPECT_EQ("Leave image", first["disposal_method"]);
    EXPECT_EQ(false, first["interlace"]);
    const nlohmann::json& third = file["images"][2]["items"];
    EXPECT_EQ(7, third["left_position"]);
    EXPECT_EQ(6, third["top_position"]);
    EXPECT_EQ("Restore prior content", third["disposal_method"]);
    EXPECT_FALSE(third.contains("transparent_index"));

    ToolResult table = runTool(KELINFO_PROGRAM, {dir / "a.gif"});
    EXPECT_NE(std::string::npos, table.out.find("  loop count ")) << table.out;
    EXPECT_NE(std::string::npos, table.out.find("    disposal method  ")) << table.out;
}

std::vector<unsigned char> pixelsOf(const std::string& name, int image, int channels, kelSize& size)
{
    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
    EXPECT_NE(nullptr, f) << name << ": " << sts;
    if (!f)
        return {};
    EXPECT_EQ(kelOKAY, f->setCurrentImg(image));
    f->getDimensions(size);
    std::vector<unsigned char> pixels(size_t(size.x) * size_t(size.y) * size_t(channels));
    kelConfig cfg(kelUChar, kelInterleaved, channels, nullptr, 0, kelUpperLeftOrigin);
    EXPECT_EQ(kelOKAY, f->getTile(0, 0, 0, size.x, size.y, 1, pixels.data(), &cfg));
    f->close();
    return pixels;
}

TEST(GifTools, KelcpKeepsAnAnimationWithItsTimingAndColormaps)
{
    ScratchDir dir;
    writeGif(dir / "a.gif", animation(), 0);
    ToolResult r = runTool(KELCP_PROGRAM, {"-q", dir / "a.gif", dir / "b.gif"});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.err);
    nlohmann::json source = info(dir / "a.gif"), copy = info(dir / "b.gif");
    EXPECT_EQ(source["items"], copy["items"]);
    ASSERT_EQ(3, copy["image_count"]);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const nlohmann::json &s = source["images"][i], &c = copy["images"][i];
        // The second frame must not inherit the first one's transparency.
        EXPECT_EQ(s["items"], c["items"]);
        EXPECT_EQ(s["colormap"], c["colormap"]);
        EXPECT_EQ(s["size"], c["size"]);
        kelSize a, b;
        EXPECT_TRUE(pixelsOf(dir / "a.gif", i, 1, a) == pixelsOf(dir / "b.gif", i, 1, b));
    }
}

// Raw files keep no colormap: indices become colors, with alpha where the
// colormap has it.
TEST(GifTools, KelcpExpandsPalettesForDestinationsWithoutThem)
{
    ScratchDir dir;
    std::vector<GifFrame> frames = animation();
    writeGif(dir / "a.gif", frames, -1);
    struct Case {
        int image;
        std::vector<std::string> options;
        int channels;
    };
    for (const Case& c : {Case{0, {}, 4}, Case{1, {}, 3}, Case{1, {"--colormodel", "rgba"}, 4},
                          Case{2, {"--colormodel", "rgb", "--type", "ushort"}, 3}}) {
        SCOPED_TRACE("image " + std::to_string(c.image) + " into " + std::to_string(c.channels) + " channels");
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {"-v", "-q", dir / "a.gif" + ":" + std::to_string(c.image), dir / "out.raw#Raw"});
        ToolResult r = runTool(KELCP_PROGRAM, args);
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_EQ("", r.err);
        size_t at = r.out.find("open it as '");
        ASSERT_NE(std::string::npos, at) << r.out;
        std::string name = r.out.substr(at + 12, r.out.find('\'', at + 12) - at - 12);
        kelSize size;
        std::vector<unsigned char> colors = pixelsOf(name, 0, c.channels, size);
        const GifFrame& f = frames[size_t(c.image)];
        ASSERT_EQ(f.width, size.x);
        ASSERT_EQ(c.channels, size.c);
        for (size_t p = 0; p < f.pixels.size(); ++p)
            for (int ch = 0; ch < c.channels; ++ch) {
                int expected = ch < 3 ? gifColor(f.pixels[p], ch) : f.pixels[p] == f.transIndex ? 0 : 255;
                ASSERT_EQ(expected, colors[p * size_t(c.channels) + size_t(ch)]) << "pixel " << p << " channel " << ch;
            }
    }
}

TEST(GifTools, KelcpRefusesModelsAPaletteDoesNotBecome)
{
    ScratchDir dir;
    writeGif(dir / "a.gif", animation(), -1);
    ToolResult r = runTool(KELCP_PROGRAM, {"--colormodel", "luminance", dir / "a.gif:1", dir / "out.raw#Raw"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("choose --colormodel rgb or rgba")) << r.err;
    EXPECT_FALSE(fileExists(dir / "out.raw"));
    // Asked for by name, the palette is kept: its indices go without the colormap.
    r = runTool(KELCP_PROGRAM, {"--colormodel", "palette", dir / "a.gif:1", dir / "out.raw#Raw"});
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("keeps no colormap")) << r.err;
}

std::string profileOf(const std::string& path)
{
    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    EXPECT_NE(nullptr, f) << sts;
    int size = 0;
    void* profile = nullptr;
    std::string bytes;
    if (f && f->getICCProfile(size, profile) == kelOKAY) {
        bytes.assign(static_cast<const char*>(profile), size_t(size));
        EXPECT_EQ(kelOKAY, f->freeICCProfile(profile));
    }
    if (f)
        f->close();
    return bytes;
}

// Through the public calls, and on to a copy; a format without profiles
// takes the pixels alone.
TEST(GifTools, TheIccProfileIsWrittenReadAndCopied)
{
    ScratchDir dir;
    const std::string profile("\0\0\1\x2a" "some profile bytes", 22);
    kelSize dims(3, 2, 1, 1);
    kelFileConfig cfg(&dims);
    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::create((dir / "a.gif").c_str(), nullptr, &cfg, nullptr, &sts);
    ASSERT_NE(nullptr, f) << sts;
    kelColormap map(3, kelUChar, 0, 1);
    const unsigned char pixels[6] = {0, 1, 1, 0, 1, 0};
    EXPECT_EQ(kelOKAY, f->setColormap(&map));
    EXPECT_EQ(kelOKAY, f->setICCProfile(int(profile.size()), profile.data()));
    EXPECT_EQ(kelOKAY, f->setTile(0, 0, 0, 3, 2, 1, pixels));
    ASSERT_EQ(kelOKAY, f->close());
    EXPECT_EQ(profile, profileOf(dir / "a.gif"));

    for (const char* copy : {"b.gif", "b.bmp"}) {
        ToolResult r = runTool(KELCP_PROGRAM, {dir / "a.gif", dir / copy});
        ASSERT_EQ(0, r.status) << r.err;
        EXPECT_EQ("", r.err);
    }
    EXPECT_EQ(profile, profileOf(dir / "b.gif"));
    EXPECT_EQ("", profileOf(dir / "b.bmp"));
}

// Counts the transfers of page data of one file.
kelStatus countTransfer(void* count)
{
    ++*static_cast<int*>(count);
    return kelOKAY;
}

TEST(GifTools, OneImageIsDecodedAndWrittenOnceWhateverTheStripSize)
{
    ScratchDir dir;
    GifFrame frame = gifFrame(300, 200, 16, 3);
    writeGif(dir / "a.gif", {frame}, -1);
    kelStatus sts = kelOKAY;
    kelFile* src = kelFile::open((dir / "a.gif").c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, src);
    int reads = 0;
    src->setBeginFileIO_CB(countTransfer, &reads);
    // Into Raw pages of 16 x 16 in strips of at most one byte.
    std::string raw = dir / "b.raw#Raw%pagesize=16,16,1,1%colormodel=palette";
    kelFile* dst = kelFile::create(raw.c_str(), src, nullptr, nullptr, &sts);
    ASSERT_NE(nullptr, dst) << sts;
    std::string problem;
    EXPECT_EQ(kelOKAY, kelCopyPixels(*src, *dst, kelCopyStrips{1, false, ""}, problem)) << problem;
    EXPECT_EQ(1, reads);
    dst->close();
    src->close();

    // And back into a GIF, which takes whole images only.
    kelFile* back = kelFile::open((raw.substr(0, raw.find('%')) + "%size=300,200,1,1%pagesize=16,16,1,1%"
                                                                   "colormodel=palette%orientation=tl")
                                      .c_str(),
                                  O_RDONLY, &sts);
    ASSERT_NE(nullptr, back) << sts;
    kelFile* gif = kelFile::create((dir / "c.gif").c_str(), back, nullptr, nullptr, &sts);
    ASSERT_NE(nullptr, gif) << sts;
    kelColormap map(3, kelUChar, 0, 15);
    gif->setColormap(&map);
    int writes = 0;
    gif->setBeginFileIO_CB(countTransfer, &writes);
    EXPECT_EQ(kelOKAY, kelCopyPixels(*back, *gif, kelCopyStrips{1, false, ""}, problem)) << problem;
    EXPECT_EQ(1, writes);
    EXPECT_EQ(1, gif->getNumImgs());
    gif->close();
    back->close();
    kelSize size;
    EXPECT_TRUE(pixelsOf(dir / "c.gif", 0, 1, size) == frame.pixels);
}

} // namespace
