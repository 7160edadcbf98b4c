// Files we write: random pictures come back lossless to the pixels written
// and lossy to dwebp's decode of the same file, within a PSNR floor; dwebp
// and Pillow read every one as kel does (fuzz/webp_writer.cpp checks items
// and metadata). Animations copied by kelcp show the pictures of the source
// at the same times, composed by libwebp's decoder (and ImageMagick for a
// GIF source): the core has no animation composer yet.
#include <math.h>

#include <random>

#include "webp_test_support.h"

namespace {

struct Case { unsigned seed; int channels; kelCompression compression; };

// A smooth picture with a little noise, as photographs are, and alpha of
// every value (0 included, whose colors lossless "exact" must keep).
Bytes drawPicture(std::mt19937& rng, int w, int h, int channels)
{
    Bytes pixels;
    const int slope[4] = {int(rng() % 5), int(rng() % 5), int(rng() % 5), int(rng() % 5)};
    for (int i = 0, noise = 0; i < w * h * channels; i++) {
        const int x = i / channels % w, y = i / channels / w, c = i % channels;
        noise = c ? noise : int(rng() % 5);
        const int v = (slope[c] * x + (4 - slope[c]) * y) / 2 % 510 + noise;
        pixels.push_back((unsigned char)(v > 255 ? 510 - v : v));
    }
    return pixels;
}

double psnr(const Bytes& a, const Bytes& b)
{
    double sum = 1e-9;
    for (size_t i = 0; i < a.size(); i++)
        sum += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    return 10 * log10(255.0 * 255.0 * double(a.size()) / sum);
}

class WEBPRoundTrip : public ::testing::TestWithParam<Case> {
protected:
    ScratchDir dir;
};

TEST_P(WEBPRoundTrip, ReadsBackInKelDwebpAndPillow)
{
    const Case& c = GetParam();
    REQUIRE_PEER(DWEBP);
    REQUIRE_PEER(PILLOW);
    std::mt19937 rng(c.seed);
    const kelSize size(1 + int(rng() % 200), 1 + int(rng() % 150), 1, c.channels);
    const Bytes pixels = drawPicture(rng, size.x, size.y, c.channels);
    const std::string path = dir.file("written.webp");
    kelFileConfig cfg(&size, kelUChar, kelInterleaved, c.channels == 4 ? kelRGBA : kelRGB, kelUpperLeftOrigin,
                      c.compression, nullptr);
    kelStatus sts;
    kelFile* out = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    ASSERT_NE(nullptr, out) << sts;
    EXPECT_EQ(kelOKAY, out->setItem(kelWEBPquality, 90));
    EXPECT_EQ(kelOKAY, out->setItem(kelWEBPexact, 1));
    ASSERT_EQ(kelOKAY, out->setTile(0, 0, 0, size.x, size.y, 1, pixels.data()));
    ASSERT_EQ(kelOKAY, out->close());

    kelFile* in = kelFile::open(path.c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, in) << sts;
    EXPECT_EQ(c.compression, in->getCompression());
    Bytes read(pixels.size());
    ASSERT_EQ(kelOKAY, in->getTile(0, 0, 0, size.x, size.y, 1, read.data()));
    EXPECT_TRUE(readRGBA(in) == dwebpRGBA("cat '" + path + "'"));
    EXPECT_TRUE(read == runPeer("/usr/bin/python3 -c 'import sys; from PIL import Image; "
                                "sys.stdout.buffer.write(Image.open(sys.argv[1]).tobytes())' '" + path + "'"));
    if (c.compression == kelWEBPLossless)
        EXPECT_TRUE(read == pixels);
    else
        EXPECT_GE(psnr(read, pixels), 30.0);
    in->close();
}

INSTANTIATE_TEST_SUITE_P(Random, WEBPRoundTrip,
                         ::testing::Values(Case{1, 3, kelWEBPLossless}, Case{2, 4, kelWEBPLossless},
                                           Case{3, 3, kelWEBP}, Case{4, 4, kelWEBP}, Case{5, 4, kelWEBPLossless},
                                           Case{6, 3, kelWEBP}));

class WEBPAnimation : public ::testing::TestWithParam<const char*> {
protected:
    ScratchDir dir;
};

// kelcp carries each frame's items by key, or by role from GIF (delays in
// 1/100 s become milliseconds), and expands GIF frames with their alpha.
TEST_P(WEBPAnimation, CopiedByKelcpShowsAsTheSource)
{
    REQUIRE_PEER(PILLOW);
    const std::string from = fixture(GetParam()), to = dir.file("copy.webp");
    const std::string kelcp = std::string(KELCP_PROGRAM) + " -q -z webp-lossless --item exact=true '" + from +
                              "' '" + to + "'";
    ASSERT_EQ(0, system(kelcp.c_str()));
    const Bytes shown = shownFrames(from);
    EXPECT_GT(shown.size(), 1000u);
    EXPECT_TRUE(shownFrames(to) == shown);
}

INSTANTIATE_TEST_SUITE_P(Files, WEBPAnimation,
                         ::testing::Values("anim.gif", "gif2webp.webp", "webpmux.webp", "pillow-anim.webp",
                                           "img2webp.webp"));

} // namespace
