// Pages with more channels than the image: the spare channels are skipped
// in the file, and the work per page follows the image's channels only.
#include "raw_test_support.h"

namespace {

struct PaddedLayout {
    const char* order;
    kelOrder fileOrder;
    // Element index of (x, y, channel) in a page of nx columns and pc channels.
    size_t (*index)(int x, int y, int ch, int nx, int pc);
};

class RawPaddedPages : public ::testing::TestWithParam<PaddedLayout> {};

const int nx = 3, ny = 2, nc = 3, pc = 5;

// RGB pixels stored with two spare bytes each (or two spare rows of a row's
// channel runs): read as RGB in another order and back, spare bytes stay
// out of the picture and setTile leaves the picture exact.
TEST_P(RawPaddedPages, SpareChannelsAreSkipped)
{
    const PaddedLayout& layout = GetParam();
    ScratchDir dir;
    const std::string file = numberedBytes(size_t(nx * ny * pc));
    const std::string args = std::string("#Raw%size=3,2,1,3%pagesize=3,2,1,5%order=") + layout.order;
    const std::string name = dir.write("p", file) + args;
    const std::string copy = dir.file("q") + args;
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        // In the file's own order (whole rows copied) and in another one.
        unsigned char own[nx * ny * nc] = {};
        kelConfig fileOrder(kelUChar, layout.fileOrder, nc, nullptr, 0, kelUpperLeftOrigin);
        CHILD_EXPECT_EQ(f->getTile(0, 0, 0, nx, ny, 1, own, &fileOrder), 0);
        unsigned char pixels[nx * ny * nc] = {};
        kelConfig separate(kelUChar, kelSeparate, nc, nullptr, 0, kelUpperLeftOrigin);
        CHILD_EXPECT_EQ(f->getTile(0, 0, 0, nx, ny, 1, pixels, &separate), 0);
        for (int ch = 0; ch < nc; ch++)
            for (int y = 0; y < ny; y++)
                for (int x = 0; x < nx; x++) {
                    unsigned char stored = (unsigned char)file[layout.index(x, y, ch, nx, pc)];
                    CHILD_EXPECT_EQ(pixels[(ch * ny + y) * nx + x], stored);
                    CHILD_EXPECT_EQ(own[layout.index(x, y, ch, nx, nc)], stored);
                }
        f->close();

        kelFile* out = kelFile::create(copy.c_str(), f = kelFile::open(name.c_str(), O_RDONLY, &sts), nullptr, nullptr, &sts);
        CHILD_EXPECT(out != nullptr);
        if (!out)
            return;
        CHILD_EXPECT_EQ(out->setTile(0, 0, 0, nx, ny, 1, own, &fileOrder), 0);
        unsigned char again[nx * ny * nc] = {};
        CHILD_EXPECT_EQ(out->getTile(0, 0, 0, nx, ny, 1, again, &separate), 0);
        CHILD_EXPECT(memcmp(again, pixels, sizeof pixels) == 0);
        out->close();
        f->close();
    });
}

INSTANTIATE_TEST_SUITE_P(
    Orders, RawPaddedPages,
    ::testing::Values(
        PaddedLayout{"interleaved", kelInterleaved,
                     [](int x, int y, int ch, int w, int p) { return size_t((y * w + x) * p + ch); }},
        PaddedLayout{"sequential", kelSequential,
                     [](int x, int y, int ch, int w, int p) { return size_t((y * p + ch) * w + x); }}),
    [](const ::testing::TestParamInfo<PaddedLayout>& info) { return std::string(info.param.order); });

// Found by fuzzing: pages of hundreds of millions of channels for an image
// of one. Reading and writing the image's one channel must not work or
// allocate per page channel.
TEST(RawPageChannels, HugeChannelCountsCostOnlyTheImagesChannels)
{
    ScratchDir dir;
    const std::string empty = dir.write("e", "") + "#Raw%size=1,1%pagesize=1,1,1,456714567";
    const std::string wide = dir.write("w", numberedBytes(90)) + "#Raw%size=4,1,1,1%pagesize=1,1,1,2147483647";
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(empty.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        unsigned char value[3] = {7, 7, 7};
        kelConfig rgb(kelUChar, kelInterleaved, 3);
        CHILD_EXPECT_EQ(f->getTile(0, 0, 0, 1, 1, 1, value, &rgb), 0);
        f->close();

        f = kelFile::open(wide.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        unsigned char row[4] = {};
        kelConfig gray(kelUChar, kelInterleaved, 1);
        CHILD_EXPECT_EQ(f->getTile(0, 0, 0, 4, 1, 1, row, &gray), 0);
        CHILD_EXPECT_EQ(row[0], 0);
        f->close();
    });
}

} // namespace
