// getTile and setTile end to end through Raw files with small pages: the
// bytes on disk are checked against the Raw page layout, and pictures are
// read back in other layouts than they were written in.
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <kel/kel.h>

namespace {

const int W = 10, H = 7, D = 2, C = 3;

// The picture, upright: u to the right, v upward.
int picture(int u, int v, int z, int c)
{
    return (u * 11 + v * 17 + z * 37 + c * 61 + 3) & 0xff;
}

std::string scratchPath(const char* name)
{
    return std::string(KEL_TEST_BINARY_DIR) + "/raw_tile_" + name + ".raw";
}

// An empty file that a Raw name with `args` opens for reading and writing.
kelFile* openEmptyRaw(const std::string& path, const std::string& args)
{
    std::ofstream(path, std::ios::trunc).close();
    kelStatus st = -1;
    kelFile* file = kelFile::open((path + "#Raw%" + args).c_str(), 2, &st);
    EXPECT_EQ(kelOKAY, st);
    return file;
}

kelFile* openRaw(const std::string& path, const std::string& args)
{
    kelStatus st = -1;
    kelFile* file = kelFile::open((path + "#Raw%" + args).c_str(), 0, &st);
    EXPECT_EQ(kelOKAY, st);
    return file;
}

std::vector<unsigned char> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* const firstLayout = "size=10,7,2,3 pagesize=4,3,1,3 orientation=tl";

// Writes the picture into a Raw file of `firstLayout` in two overlapping
// halves from a lower-left, separate, unsigned short buffer, so that the
// pages in the overlap are read, merged and written again.
void writePicture(const std::string& path)
{
    kelFile* file = openEmptyRaw(path, firstLayout);
    ASSERT_NE(nullptr, file);
    kelConfig cfg(kelUShort, kelSeparate, C, nullptr, 0, kelLowerLeftOrigin);
    const int starts[] = {0, 3}, widths[] = {6, 7};
    for (int half = 0; half < 2; ++half) {
        int u0 = starts[half], nu = widths[half];
        std::vector<unsigned short> buf(size_t(nu) * H * D * C);
        for (int z = 0; z < D; ++z)
            for (int c = 0; c < C; ++c)
                for (int v = 0; v < H; ++v)
                    for (int u = 0; u < nu; ++u)
                        buf[((size_t(z) * C + c) * H + v) * nu + u] = (unsigned short)picture(u0 + u, v, z, c);
        ASSERT_EQ(kelOKAY, file->setTile(u0, 0, 0, nu, H, D, buf.data(), &cfg));
    }
    EXPECT_EQ(kelOKAY, file->close());
}

} // namespace

TEST(RawTile, WrittenPagesHoldThePictureInTheRawLayout)
{
    std::string path = scratchPath("layout");
    writePicture(path);
    // Top-left storage, interleaved pages of 4 x 3 x 1 x 3: 3 x 3 x 2 pages.
    const int pagesX = 3, pagesY = 3, pageBytes = 4 * 3 * 3;
    std::vector<unsigned char> bytes = fileBytes(path);
    ASSERT_EQ(size_t(pagesX * pagesY * D * pageBytes), bytes.size());
    for (int z = 0; z < D; ++z)
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < C; ++c) {
                    int page = x / 4 + pagesX * (y / 3 + pagesY * z);
                    size_t at = size_t(page) * pageBytes + ((y % 3) * 4 + x % 4) * 3 + c;
                    ASSERT_EQ(picture(x, H - 1 - y, z, c), bytes[at]) << x << "," << y << "," << z << "," << c;
                }
    unlink(path.c_str());
}

TEST(RawTile, CopiedIntoAnotherLayoutAndReadBackTransposed)
{
    std::string first = scratchPath("first"), second = scratchPath("second");
    writePicture(first);

    kelFile* from = openRaw(first, firstLayout);
    ASSERT_NE(nullptr, from);
    kelConfig topDown(kelUChar, kelInterleaved, C, nullptr, 0, kelUpperLeftOrigin);
    std::vector<unsigned char> all(size_t(W) * H * D * C);
    ASSERT_EQ(kelOKAY, from->getTile(0, 0, 0, W, H, D, all.data(), &topDown));
    EXPECT_EQ(kelOKAY, from->close());
    for (int z = 0; z < D; ++z)
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                for (int c = 0; c < C; ++c)
                    ASSERT_EQ(picture(x, H - 1 - y, z, c), all[((size_t(z) * H + y) * W + x) * C + c]);

    // Transposed storage with one channel per page of 3 x 2 (upright).
    const std::string secondLayout = "size=10,7,2,3 pagesize=3,2,1,1 order=separate orientation=lt";
    kelFile* to = openEmptyRaw(second, secondLayout);
    ASSERT_NE(nullptr, to);
    ASSERT_EQ(kelOKAY, to->setTile(0, 0, 0, W, H, D, all.data(), &topDown));
    EXPECT_EQ(kelOKAY, to->close());

    kelFile* back = openRaw(second, secondLayout);
    ASSERT_NE(nullptr, back);
    kelSize stored;
    back->getSize(stored, back->getOrientation());
    EXPECT_EQ(H, stored.x);
    EXPECT_EQ(W, stored.y);
    // Channels 2 and 0 of the box u 2..8, v 1..5 of the second slice,
    // as floats seen upright.
    int list[] = {2, 0};
    kelConfig upright(kelFloat, kelSequential, 2, list, 0, kelLowerLeftOrigin);
    const int u0 = 2, v0 = 1, nu = 7, nv = 5;
    std::vector<float> box(size_t(nu) * nv * 2, -1.0f);
    ASSERT_EQ(kelOKAY, back->getTile(u0, v0, 1, nu, nv, 1, box.data(), &upright));
    for (int v = 0; v < nv; ++v)
        for (int u = 0; u < nu; ++u)
            for (int k = 0; k < 2; ++k)
                EXPECT_EQ(float(picture(u0 + u, v0 + v, 1, list[k])), box[(size_t(v) * 2 + k) * nu + u])
                    << u << "," << v << "," << k;
    EXPECT_EQ(kelOKAY, back->close());
    unlink(first.c_str());
    unlink(second.c_str());
}

TEST(RawTile, WholeImageInTheFilesOwnLayoutRoundTrips)
{
    std::string path = scratchPath("whole");
    kelFile* file = openEmptyRaw(path, "size=10,7,1,3");
    ASSERT_NE(nullptr, file);
    std::vector<unsigned char> pixels(size_t(W) * H * C);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (unsigned char)(i * 7);
    ASSERT_EQ(kelOKAY, file->setTile(0, 0, 0, W, H, 1, pixels.data()));
    EXPECT_EQ(pixels, fileBytes(path));
    std::vector<unsigned char> back(pixels.size());
    ASSERT_EQ(kelOKAY, file->getTile(0, 0, 0, W, H, 1, back.data()));
    EXPECT_EQ(pixels, back);
    EXPECT_EQ(kelOKAY, file->close());
    unlink(path.c_str());
}

// A file cut short inside its second page: getTile gives the first page's
// pixels, and zeros where the file ends, never the first page again.
TEST(RawTileShortFile, PixelsPastTheEndReadAsZero)
{
    const std::string path = scratchPath("short");
    std::vector<unsigned char> bytes(6, 0x7f);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), 6);
    }
    kelFile* file = openRaw(path, "size=4,2,1,1 pagesize=4,1 type=uchar");
    ASSERT_NE(nullptr, file);
    std::vector<unsigned char> pixels(8, 0xEE);
    kelConfig own(kelUChar, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
    ASSERT_EQ(kelOKAY, file->getTile(0, 0, 0, 4, 2, 1, pixels.data(), &own));
    EXPECT_EQ(std::vector<unsigned char>({0x7f, 0x7f, 0x7f, 0x7f, 0x7f, 0x7f, 0, 0}), pixels);
    file->close();
}
