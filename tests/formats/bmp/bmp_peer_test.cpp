// Files we write read back with the same pixels in another reader, and
// that reader's writer makes files we read: stb_image from libstb-dev. RGBA
// goes both ways with its alpha (32-bit files with bit fields).
#ifdef KEL_HAVE_STB
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#endif

#include "bmp_test_support.h"

namespace {

struct PeerCase {
    int bits;
    int width;
    int height;
};

std::ostream& operator<<(std::ostream& os, const PeerCase& c)
{
    return os << c.bits << " bits, " << c.width << " x " << c.height;
}

class BmpPeer : public BmpTest, public ::testing::WithParamInterface<PeerCase> {
protected:
    void SetUp() override
    {
#ifndef KEL_HAVE_STB
        if (getenv("CI"))
            FAIL() << "stb_image (libstb-dev) is not installed";
        GTEST_SKIP() << "stb_image (libstb-dev) is not installed";
#endif
    }
};

int channelsOf(int bits)
{
    return bits == 32 ? 4 : bits == 24 ? 3 : 1;
}

// The picture as RGB (RGBA for 32 bits), top row first: what stb_image returns.
Bytes asRgbTopDown(const Bytes& picture, const std::vector<Rgb>& palette, int width, int height, int bits)
{
    Bytes rgb;
    if (palette.empty()) {
        rgb = picture;
    } else {
        for (unsigned char v : picture)
            rgb.insert(rgb.end(), palette[v].begin(), palette[v].end());
    }
    return flipRows(rgb, width, height, bits == 32 ? 4 : 3);
}

TEST_P(BmpPeer, StbReadsWhatWeWrite)
{
#ifdef KEL_HAVE_STB
    const PeerCase c = GetParam();
    const int channels = channelsOf(c.bits);
    const std::string path = dir.file("ours.bmp");
    const Bytes picture = testPicture(c.width, c.height, channels, c.bits, 7);
    const std::vector<Rgb> palette = channels > 1 ? std::vector<Rgb>() : grayPalette(size_t(1) << c.bits);
    kelSize size(c.width, c.height, 1, channels);
    kelFileConfig cfg(&size);
    kelStatus sts = -1;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    ASSERT_NE(nullptr, f) << sts;
    if (!palette.empty()) {
        kelColormap map(3, kelUChar, 0, int(palette.size()) - 1);
        for (size_t i = 0; i < palette.size(); i++)
            for (int ch = 0; ch < 3; ch++)
                map.setVal(palette[i][ch], double(i), ch);
        ASSERT_EQ(kelOKAY, f->setColormap(&map));
    }
    ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, c.width, c.height, 1, picture.data()));
    ASSERT_EQ(kelOKAY, f->close());

    const int want = channels == 4 ? 4 : 3;
    int w = 0, h = 0, n = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &n, want);
    ASSERT_NE(nullptr, pixels) << stbi_failure_reason();
    EXPECT_EQ(c.width, w);
    EXPECT_EQ(c.height, h);
    EXPECT_EQ(want, n) << "the file's own channels";
    EXPECT_EQ(asRgbTopDown(picture, palette, c.width, c.height, c.bits),
              Bytes(pixels, pixels + size_t(w) * h * want));
    stbi_image_free(pixels);
#endif
}

TEST_P(BmpPeer, WeReadWhatStbWrites)
{
#ifdef KEL_HAVE_STB
    const PeerCase c = GetParam();
    const std::string path = dir.file("stb.bmp");
    const int channels = channelsOf(c.bits) == 4 ? 4 : 3;
    const Bytes rgb = testPicture(c.width, c.height, channels, 24, 3);
    ASSERT_NE(0, stbi_write_bmp(path.c_str(), c.width, c.height, channels, rgb.data()));
    kelStatus sts;
    kelFile* f = openBmp(path, sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(rgb, readImage(f, kelUpperLeftOrigin, sts));
    EXPECT_EQ(kelOKAY, sts);
    f->close();
#endif
}

INSTANTIATE_TEST_SUITE_P(Depths, BmpPeer,
                         ::testing::Values(PeerCase{1, 1, 2}, PeerCase{1, 10, 3}, PeerCase{1, 127, 5},
                                           PeerCase{4, 1, 2}, PeerCase{4, 5, 3}, PeerCase{4, 127, 4},
                                           PeerCase{8, 1, 1}, PeerCase{8, 6, 3}, PeerCase{8, 127, 4},
                                           PeerCase{24, 1, 1}, PeerCase{24, 5, 2}, PeerCase{24, 127, 6},
                                           PeerCase{32, 1, 1}, PeerCase{32, 5, 2}, PeerCase{32, 127, 6}));

} // namespace
