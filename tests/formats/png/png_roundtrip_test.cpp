// Random images of every color type and depth, interlaced or not, with
// items, written in whole, in pages or bands out of order: they read back
// exactly (whole, and in tiles from the bottom up), libpng reads the same
// pixels and items, and pngcheck finds nothing wrong.
#include <random>

#include "png_test_support.h"

namespace {

using nlohmann::json;

struct Kind {
    const char* what;
    kelColorModel model;
    kelDataType type;
    int depth;
};

void PrintTo(const Kind& k, std::ostream* os)
{
    *os << k.what;
}

struct Written {
    Bytes pixels;
    json items = json::object(); // as libpng's reading reports them
    json palette = json::array();
    Bytes profile;
};

int pick(std::mt19937& rng, int n)
{
    return int(rng() % unsigned(n));
}

// A palette of `entries` colors, with alpha when `alpha`.
kelColormap makePalette(std::mt19937& rng, int entries, bool alpha, json& expected)
{
    kelColormap map(alpha ? 4 : 3, kelUChar, 0, entries - 1);
    for (int i = 0; i < entries; ++i) {
        json entry = json::array();
        for (int c = 0; c < map.getNumChans(); ++c) {
            // Entry 0 is not opaque, so that there is a tRNS.
            int v = c == 3 ? (i == 0 ? pick(rng, 255) : pick(rng, 2) ? 255 : pick(rng, 256)) : pick(rng, 256);
            map.setVal(v, i, c);
            entry.push_back(v);
        }
        expected.push_back(entry);
    }
    return map;
}

// Items each color type may have, with values libpng accepts.
void setItems(kelFile* f, const Kind& k, int channels, int entries, std::mt19937& rng, Written& w)
{
    const int max = k.model == kelRGBPalette ? entries - 1 : (1 << k.depth) - 1;
    if (pick(rng, 2)) {
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGgamma, 0.45455));
        w.items["gamma"] = 45455;
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGwhitePoint, 0.3127, 0.329));
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGredPrimary, 0.64, 0.33));
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGgreenPrimary, 0.3, 0.6));
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGbluePrimary, 0.15, 0.06));
        w.items["chromaticities"] = {31270, 32900, 64000, 33000, 30000, 60000, 15000, 6000};
    } else {
        const int intent = pick(rng, 4);
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGsRGBIntent, intent));
        w.items["srgb_intent"] = intent;
    }
    int bits[4] = {0, 0, 0, 0};
    for (int c = 0; c < (k.model == kelRGBPalette ? 3 : channels); ++c)
        bits[c] = 1 + pick(rng, k.model == kelRGBPalette ? 8 : k.depth);
    ASSERT_EQ(kelOKAY, f->setItem(kelPNGsignificantBits, bits[0], bits[1], bits[2], bits[3]));
    w.items["sbit"] = {bits[0], bits[1], bits[2], bits[3]};
    const int x = pick(rng, 100000), y = pick(rng, 100000), unit = pick(rng, 2);
    ASSERT_EQ(kelOKAY, f->setItem(kelPNGresolution, x, y));
    ASSERT_EQ(kelOKAY, f->setItem(kelPNGresolutionUnit, unit));
    w.items["resolution"] = {x, y, unit};
    ASSERT_EQ(kelOKAY, f->setItem(kelPNGmodificationTime, "2024-02-29 23:59:07"));
    w.items["time"] = "2024-02-29 23:59:07";
    const int gray = pick(rng, max + 1);
    if (k.model == kelLuminance) {
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGtransparentGray, gray));
        w.items["transparent"] = {gray};
    }
    if (k.model == kelRGB) {
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGtransparentColor, gray, max - gray, max / 2));
        w.items["transparent"] = {gray, max - gray, max / 2};
    }
    const int tag = k.model == kelRGBPalette  ? kelPNGbackgroundIndex
                    : channels < 3            ? kelPNGbackgroundGray
                                              : kelPNGbackgroundColor;
    ASSERT_EQ(kelOKAY, tag == kelPNGbackgroundColor ? f->setItem(tag, max, 0, gray) : f->setItem(tag, gray));
    w.items["background"] = tag == kelPNGbackgroundColor ? json{max, 0, gray} : json{gray};
    const std::string longText(1100, 'z'), utf8 = "gr\xc3\xbc\xc3\x9f \xe2\x82\xac";
    ASSERT_EQ(kelOKAY, f->setItem(kelPNGtitle, "A title"));
    ASSERT_EQ(kelOKAY, f->setItem(kelPNGcomment, longText.c_str()));
    ASSERT_EQ(kelOKAY, f->setItem(kelPNGtext, "Gr\xc3\xbc\xc3\x9f" "e", utf8.c_str()));
    w.items["text"] = {{"Title", "A title"}, {"Comment", longText}, {"Gr\xc3\xbc\xc3\x9f" "e", utf8}};
    // A profile, where there is no sRGB (the two exclude each other).
    if (w.items.contains("srgb_intent"))
        return;
    w.profile = Bytes(size_t(1 + pick(rng, 2000)));
    for (unsigned char& b : w.profile)
        b = (unsigned char)rng();
    ASSERT_EQ(kelOKAY, f->setICCProfile(int(w.profile.size()), w.profile.data()));
}

// The box (x, y, nx, ny) of an image `width` wide, `pixelBytes` a pixel.
Bytes box(const Bytes& image, int width, size_t pixelBytes, int x, int y, int nx, int ny)
{
    Bytes part;
    for (int r = y; r < y + ny; ++r) {
        auto row = image.begin() + long((size_t(r) * size_t(width) + size_t(x)) * pixelBytes);
        part.insert(part.end(), row, row + long(size_t(nx) * pixelBytes));
    }
    return part;
}

// Sets the image whole, as two bands of rows lower one first, in pages in
// raster order, or in tiles smaller than pages. Bit images go whole.
kelStatus writePixels(kelFile* f, const Bytes& pixels, const kelSize& s, int how, size_t pixelBytes)
{
    if (how == 0 || pixelBytes == 0)
        return f->setTile(0, 0, 0, s.x, s.y, 1, pixels.data());
    if (how == 1) {
        const int band = s.y / 2;
        kelStatus sts = f->setTile(0, band, 0, s.x, s.y - band, 1, &pixels[size_t(band) * size_t(s.x) * pixelBytes]);
        return sts ? sts : f->setTile(0, 0, 0, s.x, band, 1, pixels.data());
    }
    const int tile = how == 2 ? 256 : 100;
    kelStatus sts = kelOKAY;
    for (int y = 0; y < s.y && !sts; y += tile)
        for (int x = 0; x < s.x && !sts; x += tile) {
            const int nx = std::min(tile, s.x - x), ny = std::min(tile, s.y - y);
            sts = f->setTile(x, y, 0, nx, ny, 1, box(pixels, s.x, pixelBytes, x, y, nx, ny).data());
        }
    return sts;
}

// Bits past the last pixel of a bit image are no pixels.
void clearPadding(Bytes& bits, size_t pixels)
{
    if (pixels % 8)
        bits.back() &= (unsigned char)(0xff00 >> (pixels % 8));
}

// The image whole, then in tiles from the last up, in bytes of a sample.
void expectTilesBackwards(kelFile* f, const kelSize& s)
{
    const kelDataType type = f->getDataType() == kelBit ? kelUChar : f->getDataType();
    kelConfig bytes(type, kelInterleaved, s.c);
    const size_t pixelBytes = size_t(s.c) * kelDataSize(type, 1);
    Bytes whole(size_t(s.x) * size_t(s.y) * pixelBytes);
    ASSERT_EQ(kelOKAY, f->getTile(0, 0, 0, s.x, s.y, 1, whole.data(), &bytes));
    for (int y = (s.y - 1) / 61 * 61; y >= 0; y -= 61)
        for (int x = (s.x - 1) / 97 * 97; x >= 0; x -= 97) {
            const int nx = std::min(97, s.x - x), ny = std::min(61, s.y - y);
            Bytes tile(size_t(nx) * size_t(ny) * pixelBytes);
            ASSERT_EQ(kelOKAY, f->getTile(x, y, 0, nx, ny, 1, tile.data(), &bytes));
            ASSERT_EQ(box(whole, s.x, pixelBytes, x, y, nx, ny), tile) << "tile at " << x << ", " << y;
        }
}

void expectReadsBack(const std::string& path, const Written& w, const kelSize& s)
{
    kelStatus sts;
    kelFile* f = openPng(path, sts);
    ASSERT_NE(nullptr, f) << sts;
    Bytes back = readImage(f, sts);
    ASSERT_EQ(kelOKAY, sts);
    if (f->getDataType() == kelBit)
        clearPadding(back, size_t(s.x) * size_t(s.y));
    EXPECT_EQ(w.pixels, back);
    EXPECT_EQ(w.palette, pngPalette(f));
    json items = w.items;
    if (!w.profile.empty())
        items["icc_length"] = w.profile.size();
    EXPECT_EQ(items, pngItems(f, w.items));
    int size = 0;
    void* profile = nullptr;
    f->getICCProfile(size, profile);
    EXPECT_EQ(w.profile, Bytes((unsigned char*)profile, (unsigned char*)profile + size));
    expectTilesBackwards(f, s);
    EXPECT_EQ(kelOKAY, f->close());
}

// libpng's pixels and items; it refuses profiles that are random bytes.
void expectLibpng(const std::string& path, const Written& w)
{
    std::string out;
    ASSERT_TRUE(runCommand(std::string(KEL_PNG_LIBPNG_READER) + " '" + path + "'", out)) << out;
    json read = json::parse(out)["rt.png"];
    ASSERT_TRUE(read.is_object()) << out;
    EXPECT_EQ(sha256(w.pixels), read["sha256"]);
    EXPECT_EQ(w.palette, read.value("palette", json::array()));
    for (const char* layoutKey : {"width", "height", "model", "type", "depth", "interlaced", "sha256", "palette"})
        read.erase(layoutKey);
    // libpng gives sRGB's own gamma and chromaticities with an sRGB chunk.
    if (read.contains("srgb_intent")) {
        read.erase("gamma");
        read.erase("chromaticities");
    }
    // libpng's reader reports texts by their SHA-256.
    json want = w.items;
    json hashes = json::object();
    for (const auto& keyword : want["text"].items()) {
        const std::string text = keyword.value();
        hashes[keyword.key()] = sha256(Bytes(text.begin(), text.end()));
    }
    want.erase("text");
    want["text_sha256"] = hashes;
    EXPECT_EQ(want, read);
}

class RoundTrip : public ::testing::TestWithParam<Kind> {
protected:
    ScratchDir dir;
    QuietMessages quiet;
};

TEST_P(RoundTrip, ReadsBackInKelAndLibpng)
{
    const Kind& k = GetParam();
    std::mt19937 rng(unsigned(k.model * 17 + k.depth));
    const bool pngcheck = havePeer("pngcheck -h");
    const int channels = k.model == kelRGBPalette ? 1 : kelColorModelChans(k.model);
    const size_t pixelBytes = k.type == kelBit ? 0 : size_t(channels) * kelDataSize(k.type, 1);
    for (int how = 0; how < 4; ++how) {
        SCOPED_TRACE("written in way " + std::to_string(how));
        kelSize s(how == 2 ? 300 + pick(rng, 300) : 1 + pick(rng, 120),
                  how == 2 ? 257 + pick(rng, 100) : 1 + pick(rng, 90), 1, channels);
        const std::string path = dir.file("rt.png");
        kelFileConfig cfg(&s, k.type, kelInterleaved, k.model, kelUpperLeftOrigin);
        kelStatus sts;
        kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
        ASSERT_NE(nullptr, f) << sts;
        Written w;
        const int entries = k.model == kelRGBPalette ? 1 + pick(rng, 1 << k.depth) : 0;
        if (entries) {
            kelColormap map = makePalette(rng, entries, pick(rng, 2), w.palette);
            ASSERT_EQ(kelOKAY, f->setColormap(&map));
        }
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGbitDepth, k.depth));
        ASSERT_EQ(kelOKAY, f->setItem(kelPNGinterlace, pick(rng, 2)));
        setItems(f, k, channels, entries, rng, w);
        const size_t elements = size_t(s.x) * size_t(s.y) * size_t(channels);
        w.pixels.resize(k.type == kelBit ? (elements + 7) / 8 : elements * kelDataSize(k.type, 1));
        const unsigned limit = k.depth >= 8 && !entries ? 256 : entries ? unsigned(entries) : 1u << k.depth;
        for (unsigned char& v : w.pixels)
            v = (unsigned char)(k.type == kelBit ? rng() : rng() % limit);
        if (k.type == kelBit)
            clearPadding(w.pixels, elements);
        ASSERT_EQ(kelOKAY, writePixels(f, w.pixels, s, how, pixelBytes));
        ASSERT_EQ(kelOKAY, f->close());
        expectReadsBack(path, w, s);
        expectLibpng(path, w);
        std::string out;
        if (pngcheck) {
            EXPECT_TRUE(runCommand("pngcheck -q '" + path + "'", out)) << out;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RoundTrip,
    ::testing::Values(Kind{"gray1", kelLuminance, kelBit, 1}, Kind{"gray2", kelLuminance, kelUChar, 2},
                      Kind{"gray4", kelLuminance, kelUChar, 4}, Kind{"gray8", kelLuminance, kelUChar, 8},
                      Kind{"gray16", kelLuminance, kelUShort, 16}, Kind{"grayAlpha8", kelLuminanceAlpha, kelUChar, 8},
                      Kind{"grayAlpha16", kelLuminanceAlpha, kelUShort, 16}, Kind{"rgb8", kelRGB, kelUChar, 8},
                      Kind{"rgb16", kelRGB, kelUShort, 16}, Kind{"rgba8", kelRGBA, kelUChar, 8},
                      Kind{"rgba16", kelRGBA, kelUShort, 16}, Kind{"palette1", kelRGBPalette, kelUChar, 1},
                      Kind{"palette2", kelRGBPalette, kelUChar, 2}, Kind{"palette4", kelRGBPalette, kelUChar, 4},
                      Kind{"palette8", kelRGBPalette, kelUChar, 8}),
    [](const ::testing::TestParamInfo<Kind>& info) { return std::string(info.param.what); });

} // namespace
