#include <math.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "gifImages.h"
#include "rawImages.h"
#include "toolRun.h"

namespace {

// One destination layout: kelcp's options and the Raw arguments that open the result.
struct Layout {
    const char* label;
    std::vector<std::string> options;
    const char* rawArgs;
};

void PrintTo(const Layout& layout, std::ostream* os)
{
    *os << layout.label;
}

const int width = 37, height = 23;

std::string rawName(const std::string& path, const char* args)
{
    return path + "#Raw%colormodel=rgb%size=37,23,1,3%" + args;
}

class KelcpRoundTrip : public ::testing::TestWithParam<Layout> {
protected:
    ScratchDir dir;
};

TEST_P(KelcpRoundTrip, CopiesEveryPixelAndBack)
{
    const Layout& layout = GetParam();
    std::string source = writePatternImage(dir / "a.raw", width, height, 3);
    std::vector<std::string> args = layout.options;
    args.insert(args.end(), {source, dir / "b.raw#Raw"});
    ToolResult copy = runTool(KELCP_PROGRAM, args);
    ASSERT_EQ(0, copy.status) << copy.err;
    EXPECT_EQ("", copy.err);

    kelSize srcSize, dstSize;
    std::vector<double> expected = readPixels(source, srcSize);
    std::vector<double> copied = readPixels(rawName(dir / "b.raw", layout.rawArgs), dstSize);
    ASSERT_EQ(srcSize, dstSize);
    ASSERT_EQ(expected.size(), copied.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(expected[i], copied[i]) << layout.label << ": element " << i;

    // Back to the source's own layout: the bytes must be the source's.
    ToolResult back = runTool(KELCP_PROGRAM, {"--type", "uchar", "--order", "interleaved", "--orientation",
                                              "upper-left", "--page", "37x23", rawName(dir / "b.raw", layout.rawArgs),
                                              dir / "c.raw#Raw"});
    ASSERT_EQ(0, back.status) << back.err;
    std::string original = readFile(dir / "a.raw"), result = readFile(dir / "c.raw");
    EXPECT_EQ(original.size(), result.size());
    EXPECT_TRUE(original == result) << layout.label << ": the bytes differ";
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, KelcpRoundTrip,
    ::testing::Values(
        Layout{"float separate lower-right pages",
               {"--type", "float", "--order", "separate", "--orientation", "lower-right", "--page", "16x16"},
               "pagesize=16,16,1,1%type=float%order=separate%orientation=br"},
        Layout{"ushort sequential transposed odd pages",
               {"-t", "ushort", "-o", "sequential", "-r", "left-upper", "-p", "7x5"},
               "pagesize=7,5,1,3%type=ushort%order=sequential%orientation=lt"},
        Layout{"double interleaved right-lower",
               {"--type=double", "--orientation=rb", "--page=32x8"},
               "pagesize=32,8,1,3%type=double%order=interleaved%orientation=rb"},
        Layout{"int separate upper-right whole image",
               {"--type", "i32", "--order", "planar", "--orientation", "upper-right"},
               "type=int%order=separate%orientation=tr"}),
    [](const ::testing::TestParamInfo<Layout>& info) { return "Layout" + std::to_string(info.index); });

TEST(Kelcp, CopiesLargeImagesInStripsAlignedToPages)
{
    ScratchDir dir;
    std::string source = writePatternImage(dir / "big.raw", 300, 400, 3);
    // 300 x 3 doubles are 7200 bytes a row: 1 MiB holds two 64-row page bands.
    ToolResult copy = runTool(KELCP_PROGRAM, {"--strip-mib", "1", "--type", "double", "--page", "64x64", "--quiet",
                                              source, dir / "wide.raw#Raw"});
    ASSERT_EQ(0, copy.status) << copy.err;
    kelSize a, b;
    std::vector<double> expected = readPixels(source, a);
    std::vector<double> copied = readPixels(
        dir / "wide.raw#Raw%colormodel=rgb%size=300,400,1,3%pagesize=64,64,1,3%type=double%orientation=tl", b);
    EXPECT_EQ(expected, copied);
}

TEST(Kelcp, SpreadsOneChannelOverAllChannelsOfTheDestination)
{
    ScratchDir dir;
    std::string source = writePatternImage(dir / "gray.raw", 9, 4, 1);
    ToolResult copy = runTool(KELCP_PROGRAM, {"--colormodel", "rgb", source, dir / "rgb.raw#Raw"});
    ASSERT_EQ(0, copy.status) << copy.err;
    kelSize size;
    std::vector<double> rgb = readPixels(dir / "rgb.raw#Raw%size=9,4,1,3", size);
    ASSERT_EQ(9u * 4 * 3, rgb.size());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(patternValue(x, y, 0), rgb[(size_t(y) * 9 + x) * 3 + c]);
}

TEST(Kelcp, VerboseNamesTheRawArgumentsThatOpenTheCopy)
{
    ScratchDir dir;
    std::string source = writePatternImage(dir / "a.raw", width, height, 3);
    ToolResult copy = runTool(KELCP_PROGRAM, {"-v", "--type", "short", "--args", "offset=16", source, dir / "v.raw#Raw"});
    ASSERT_EQ(0, copy.status) << copy.err;
    std::string marker = "open it as '";
    size_t at = copy.out.find(marker);
    ASSERT_NE(std::string::npos, at) << copy.out;
    std::string name = copy.out.substr(at + marker.size());
    name = name.substr(0, name.find('\''));
    EXPECT_NE(std::string::npos, name.find("offset=16")) << name;
    kelSize a, b;
    EXPECT_EQ(readPixels(source, a), readPixels(name, b));
    // The preamble is skipped, never written: the pixels start at byte 16.
    EXPECT_EQ(16u + size_t(width) * height * 3 * 2, readFile(dir / "v.raw").size());
}

TEST(Kelcp, ChoosesTheFormatByOptionWhenTheNameHasNoSuffix)
{
    ScratchDir dir;
    std::string source = writePatternImage(dir / "a.raw", 6, 5, 3);
    ToolResult copy = runTool(KELCP_PROGRAM, {"--format", "raw", source + ":0", dir / "plain.dat"});
    ASSERT_EQ(0, copy.status) << copy.err;
    kelSize a, b;
    EXPECT_EQ(readPixels(source, a), readPixels(dir / "plain.dat#Raw%size=6,5,1,3", b));
}

// Alpha added and dropped, colors composed over a background, gray and RGB
// made into each other: 4 x 2 Raw images of 1 to 4 channels (the channel
// count gives the model) copied into another model.
TEST(Kelcp, MovesBetweenModelsWithAndWithoutAlpha)
{
    using Pixel = std::vector<double>;
    auto gray = [](const Pixel& p) { return nearbyint(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]); };
    auto over = [](const Pixel& p, double bg) {
        Pixel out(3);
        for (int c = 0; c < 3; ++c)
            out[size_t(c)] = p[size_t(c)] * p[3] / 255 + bg * (1 - p[3] / 255);
        return out;
    };
    const struct {
        int from;
        std::vector<std::string> options;
        int to;
        std::function<Pixel(const Pixel&)> expected;
    } cases[] = {
        {3, {"--colormodel", "rgba"}, 4, [](const Pixel& p) { return Pixel{p[0], p[1], p[2], 255}; }},
        {4, {"--colormodel", "rgb"}, 3, [](const Pixel& p) { return Pixel{p[0], p[1], p[2]}; }},
        {4, {"-c", "rgb", "--background", "white"}, 3,
         [&](const Pixel& p) {
             Pixel o = over(p, 255);
             return Pixel{nearbyint(o[0]), nearbyint(o[1]), nearbyint(o[2])};
         }},
        {4, {"-c", "luminance", "--background", "#000000"}, 1, [&](const Pixel& p) { return Pixel{gray(over(p, 0))}; }},
        {4, {"--colormodel", "la"}, 2, [&](const Pixel& p) { return Pixel{gray(p), p[3]}; }},
        {2, {"--colormodel", "luminance"}, 1, [](const Pixel& p) { return Pixel{p[0]}; }},
        {1, {"--colormodel", "rgba"}, 4, [](const Pixel& p) { return Pixel{p[0], p[0], p[0], 255}; }},
        {3, {"--colormodel", "gray"}, 1, [&](const Pixel& p) { return Pixel{gray(p)}; }},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        std::string source = writePatternImage(dir / "in.raw", 4, 2, c.from);
        SCOPED_TRACE(std::to_string(c.from) + " channels, " + c.options[1]);
        std::vector<std::string> args = c.options;
        args.insert(args.end(), {source, dir / "out.raw#Raw"});
        ToolResult r = runTool(KELCP_PROGRAM, args);
        ASSERT_EQ(0, r.status) << r.err;
        kelSize a, b;
        std::vector<double> in = readPixels(source, a);
        std::vector<double> out = readPixels(dir / ("out.raw#Raw%size=4,2,1," + std::to_string(c.to)), b);
        ASSERT_EQ(size_t(8 * c.to), out.size());
        for (size_t p = 0; p < 8; ++p) {
            Pixel expected = c.expected(Pixel(in.begin() + long(p) * c.from, in.begin() + long(p + 1) * c.from));
            EXPECT_EQ(expected, Pixel(out.begin() + long(p) * c.to, out.begin() + long(p + 1) * c.to)) << "pixel " << p;
        }
    }
}

// What DST's name says counts as the option that says the same; settings
// of DST's items must name items it can take.
TEST(Kelcp, DestinationArgumentsAndSettingsAreOptions)
{
    ScratchDir dir;
    writeGif(dir / "a.gif", {gifFrame(5, 3, 4, 0)}, -1);
    std::string gif = dir / "a.gif", raw = writePatternImage(dir / "a.raw", 4, 3, 3), out = dir / "out.raw#Raw";
    const struct {
        std::vector<std::string> args;
        int status;
        std::string text;  // in the messages
        size_t bytes = 0;  // of the output
    } cases[] = {
        {{gif, out + "%colormodel=rgb"}, 0, "", 15 * 3},
        {{gif, out + "%col=rgba"}, 0, "", 15 * 4},
        {{"-c", "rgba", gif, out + "%colormodel=rgba"}, 0, "", 15 * 4},
        {{"-c", "rgba", gif, out + "%colormodel=rgb"}, 2, "--colormodel rgba disagrees with DST's argument colormodel=rgb"},
        {{"-t", "ushort", raw, out + "%type=float"}, 2, "--type ushort disagrees with DST's argument type=float"},
        {{"-t", "ushort", "--args", "type=float", raw, out}, 2, "--type ushort disagrees"},
        {{raw, out + "%type=ushort"}, 0, "", 36 * 2},
        {{"--page", "4x1", raw, out + "%pagesize=4,3"}, 2, "--page disagrees with DST's argument pagesize=4,3"},
        {{raw, out + "%orientation=sideways"}, 2, "invalid value in DST's argument orientation=sideways"},
        {{"--item", "bogus=1", gif, dir / "b.gif"}, 2, "format GIF has no item 'bogus' (--item); its items: "},
        {{"--item", "transparent_color=1,2,3", gif, dir / "b.gif"}, 2, "item 'transparent_color' of format GIF cannot"},
        {{"--item", "loop_count", gif, dir / "b.gif"}, 2, "expected KEY=VALUE"},
        {{"--item", "Disposal method=gone", gif, dir / "b.gif"}, 2, "invalid value 'gone' for item 'disposal_method'"},
        {{"--quality", "50", raw, dir / "b.bmp"}, 2, "format BMP has no quality to set (--quality)"},
        {{"--background", "pink", gif, dir / "b.gif"}, 2, "invalid value 'pink' for --background"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[c.args.size() - 1] + " " + c.args[0]);
        ToolResult r = runTool(KELCP_PROGRAM, c.args);
        EXPECT_EQ(c.status, r.status) << r.err;
        EXPECT_NE(std::string::npos, r.err.find(c.text)) << r.err;
        if (c.status == 0) {
            EXPECT_EQ(c.bytes, readFile(dir / "out.raw").size());
        }
    }
    ToolResult items = runTool(KELCP_PROGRAM, {"--item", "loop_count=7", "--item", "Delay time=9", gif, dir / "c.gif"});
    ASSERT_EQ(0, items.status) << items.err;
    nlohmann::json info = nlohmann::json::parse(runTool(KELINFO_PROGRAM, {"--json", dir / "c.gif"}).out)["files"][0];
    EXPECT_EQ(7, info["items"]["loop_count"]);
    EXPECT_EQ(9, info["images"][0]["items"]["delay_time"]);
}

// One row of four elements copied from one data type into another: every
// element converts by the library's rule, whichever type the copy's strips hold.
struct TypePair {
    const char* from;
    std::vector<double> values;
    const char* to;
    std::vector<double> expected;
};

void PrintTo(const TypePair& pair, std::ostream* os)
{
    *os << pair.from << " to " << pair.to;
}

// The elements in a type's little-endian bytes.
std::string elementBytes(const std::string& type, const std::vector<double>& values)
{
    std::string bytes;
    auto put = [&bytes](auto v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); };
    for (double v : values) {
        if (type == "uchar")
            put(uint8_t(v));
        else if (type == "char")
            put(int8_t(v));
        else if (type == "ushort")
            put(uint16_t(v));
        else if (type == "short")
            put(int16_t(v));
        else if (type == "uint")
            put(uint32_t(v));
        else if (type == "int")
            put(int32_t(v));
        else if (type == "float")
            put(float(v));
        else
            put(v);
    }
    return bytes;
}

class KelcpTypes : public ::testing::TestWithParam<TypePair> {
protected:
    ScratchDir dir;
};

TEST_P(KelcpTypes, ConvertsEveryElementByTheRule)
{
    const TypePair& pair = GetParam();
    std::string bytes = elementBytes(pair.from, pair.values);
    FILE* f = fopen((dir / "in.raw").c_str(), "wb");
    ASSERT_NE(nullptr, f);
    ASSERT_EQ(bytes.size(), fwrite(bytes.data(), 1, bytes.size(), f));
    ASSERT_EQ(0, fclose(f));
    std::string source = dir / "in.raw#Raw%size=4,1,1,1%type=" + pair.from;
    ToolResult copy = runTool(KELCP_PROGRAM, {"-q", "--type", pair.to, source, dir / "out.raw#Raw"});
    ASSERT_EQ(0, copy.status) << copy.err;
    EXPECT_TRUE(elementBytes(pair.to, pair.expected) == readFile(dir / "out.raw"));
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, KelcpTypes,
    ::testing::Values(TypePair{"char", {-1, -128, 127, 0}, "ushort", {65535, 65408, 127, 0}},
                      TypePair{"uchar", {200, 255, 1, 0}, "char", {-56, -1, 1, 0}},
                      TypePair{"short", {-2, 1000, -32768, 3}, "int", {-2, 1000, -32768, 3}},
                      TypePair{"uint", {4294967295.0, 16777217, 1, 0}, "float", {4294967296.0, 16777216, 1, 0}},
                      TypePair{"int", {-1, 2147483647, -2147483648.0, 5}, "double", {-1, 2147483647, -2147483648.0, 5}},
                      TypePair{"ushort", {300, 65535, 256, 7}, "uchar", {44, 255, 0, 7}},
                      TypePair{"float", {300.7, -1.5, 0.99, 3e9}, "uint", {300, 4294967295.0, 0, 3e9}}),
    [](const ::testing::TestParamInfo<TypePair>& info) {
        return std::string(info.param.from) + "_to_" + info.param.to;
    });

// A failed copy prints one line naming the file and leaves nothing behind.
class KelcpFailure : public ::testing::Test {
protected:
    void SetUp() override { source = writePatternImage(dir / "src.raw", 8, 8, 1); }

    ToolResult expectFailure(const std::vector<std::string>& args, const std::string& subject)
    {
        ToolResult r = runTool(KELCP_PROGRAM, args);
        EXPECT_EQ(1, r.status) << r.err;
        std::vector<std::string> lines = r.errLines();
        EXPECT_FALSE(lines.empty());
        if (!lines.empty()) {
            EXPECT_EQ(0u, lines[0].find("kelcp: " + subject + ": ")) << r.err;
        }
        EXPECT_EQ(std::vector<std::string>{"src.raw"}, dir.entries());
        return r;
    }

    ScratchDir dir;
    std::string source;
};

TEST_F(KelcpFailure, MissingSource)
{
    std::string missing = dir / "missing.raw#Raw%size=4,4";
    ToolResult r = expectFailure({missing, dir / "out.raw#Raw"}, missing);
    EXPECT_EQ(1u, r.errLines().size()) << r.err;
}

TEST_F(KelcpFailure, UnknownDestinationFormat)
{
    std::string dst = dir / "out.img#NoSuchFormat";
    ToolResult r = expectFailure({source, dst}, dst);
    EXPECT_NE(std::string::npos, r.err.find("unknown format 'NoSuchFormat'")) << r.err;
}

TEST_F(KelcpFailure, DestinationDirectoryMissing)
{
    std::string dst = dir / "no/such/dir/out.raw#Raw";
    ToolResult r = expectFailure({source, dst}, dst);
    EXPECT_EQ(1u, r.errLines().size()) << r.err;
}

TEST_F(KelcpFailure, DestinationDirectoryIsAFile)
{
    std::string dst = dir / "src.raw/out.raw#Raw";
    expectFailure({source, dst}, dst);
}

TEST_F(KelcpFailure, SourceImageIndexBeyondTheFile)
{
    std::string indexed = dir / "src.raw:1#Raw%size=8,8,1,1";
    expectFailure({indexed, dir / "out.raw#Raw"}, indexed);
}

TEST_F(KelcpFailure, DestinationImageIndex)
{
    std::string dst = dir / "out.raw:1#Raw";
    ToolResult r = expectFailure({source, dst}, dst);
    EXPECT_NE(std::string::npos, r.err.find("image index")) << r.err;
}

TEST_F(KelcpFailure, ChoiceTheFormatCannotStoreIsNamed)
{
    std::string dst = dir / "out.raw#Raw";
    ToolResult r = expectFailure({"--compression", "lzw", source, dst}, dst);
    EXPECT_EQ("kelcp: " + dst + ": format Raw cannot store compression lzw", r.errLines().at(0));
}

TEST_F(KelcpFailure, PaletteWithoutColormapRemovesTheStartedFile)
{
    std::string dst = dir / "pal.raw#Raw";
    ToolResult r = expectFailure({"--colormodel", "palette", source, dst}, dst);
    EXPECT_NE(std::string::npos, r.err.find("colormap")) << r.err;
}

TEST_F(KelcpFailure, ChannelsThatCannotBeMapped)
{
    std::string rgb = writePatternImage(dir / "rgb.raw", 4, 4, 3);
    ToolResult r = runTool(KELCP_PROGRAM, {"--colormodel", "cmyk", rgb, dir / "out.raw#Raw"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("cannot copy 3 channels into 4")) << r.err;
    EXPECT_EQ((std::vector<std::string>{"rgb.raw", "src.raw"}), dir.entries());
}

TEST(KelcpUsage, BadCommandLinesExitWithStatusTwo)
{
    ToolResult one = runTool(KELCP_PROGRAM, {"only-one"});
    EXPECT_EQ(2, one.status);
    EXPECT_NE(std::string::npos, one.err.find("missing SRC or DST"));
    ToolResult type = runTool(KELCP_PROGRAM, {"--type", "quad", "a", "b"});
    EXPECT_EQ(2, type.status);
    EXPECT_NE(std::string::npos, type.err.find("invalid value 'quad' for --type")) << type.err;
    ToolResult page = runTool(KELCP_PROGRAM, {"--page", "0x16", "a", "b"});
    EXPECT_EQ(2, page.status);
    ToolResult help = runTool(KELCP_PROGRAM, {"--help"});
    EXPECT_EQ(0, help.status);
    EXPECT_NE(std::string::npos, help.out.find("Usage: kelcp"));
}

} // namespace
