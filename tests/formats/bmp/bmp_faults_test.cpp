// BMP files on descriptors that fail, under a lowered page limit, and with
// headers that declare far more than the file holds: every failure is
// reported, and none leaves a descriptor open.
#include "bmp_test_support.h"
#include "lib/fault_test_support.h"

namespace {

#define EXPECT_BMP_CHILD(...) EXPECT_IN_CHILD(KEL_TEST_DATABASE, __VA_ARGS__)

// More than a stream buffers, so that some writes fail in setTile and the
// rest in flush.
const kelSize rgbSize(100, 50, 1, 3);

class BmpWriteFaults : public ::testing::TestWithParam<WriteFault> {};

TEST_P(BmpWriteFaults, AreReportedNeverSuccess)
{
    ScratchDir dir;
    const Bytes pixels = testPicture(rgbSize.x, rgbSize.y, 3, 24);
    EXPECT_BMP_CHILD({
        kelFileConfig cfg(&rgbSize);
        expectWriteFailureReported(&GetParam(), dir.file("scratch"), "BMP", cfg, pixels.data());
    });
}

INSTANTIATE_TEST_SUITE_P(Descriptors, BmpWriteFaults, ::testing::ValuesIn(writeFaults), writeFaultName);

TEST(BmpFaults, AFullDeviceOpenedByNameFailsTheWrite)
{
    const Bytes pixels = testPicture(rgbSize.x, rgbSize.y, 3, 24);
    EXPECT_BMP_CHILD({
        kelFileConfig cfg(&rgbSize);
        expectWriteFailureReported(nullptr, "", "BMP", cfg, pixels.data());
    });
}

// Stored rows and run-length data, each more than a stream buffers.
TEST(BmpFaults, ReadsThatFailAreReported)
{
    ScratchDir dir;
    BmpSpec rows;
    rows.width = rows.height = 128;
    rows.bits = 24;
    rows.pixels = storedRows(testPicture(128, 128, 3, 24), 128, 128, 24);
    BmpSpec rle;
    rle.width = rle.height = 128;
    rle.compression = 1;
    rle.palette = grayPalette(256);
    for (int y = 0; y < 128; y++)
        rle.pixels += std::string{0, char(128)} + std::string(128, char(y)) + std::string(2, '\0');
    for (const BmpSpec& s : {rows, rle}) {
        const std::string path = dir.write("big.bmp", s.build());
        EXPECT_BMP_CHILD({
            kelConfig other(kelFloat, kelSeparate, s.bits == 24 ? 3 : 1, nullptr, 0, kelUpperLeftOrigin);
            expectReadFailureReported(path, path + "#BMP", other);
        });
    }
}

// A tiny file whose header declares 40000 x 50000 pixels.
std::string hugeHeader(uint32_t compression)
{
    BmpSpec s;
    s.width = 40000;
    s.height = 50000;
    s.compression = compression;
    s.palette = grayPalette(256);
    s.pixels = std::string(64, '\1');
    return s.build();
}

TEST(BmpLimits, PagesBeyondTheLimitAreRefusedAtOpen)
{
    ScratchDir dir;
    for (uint32_t compression : {0u, 1u})
        expectOpenRefusedByTheLimit(dir.write("huge.bmp", hugeHeader(compression)) + "#BMP", 64 << 20,
                                    "BMP page: a buffer of 2000000000 bytes exceeds the limit of 67108864 bytes");
}

class BmpHugeHeader : public BmpTest {};

// Within the limit a short file fails the read at once: nothing is read
// past the file's end, whatever the header says.
TEST_F(BmpHugeHeader, AShortFileFailsTheReadOfAHugeImage)
{
    BmpSpec s;
    s.width = s.height = 16000;
    s.palette = grayPalette(256);
    s.pixels = std::string(100, '\1');
    kelStatus sts;
    kelFile* f = openBmp(write("short.bmp", s.build()), sts);
    ASSERT_NE(nullptr, f) << sts;
    unsigned char tile[16];
    EXPECT_EQ(kelREADFAILED, f->getTile(0, 0, 0, 4, 4, 1, tile));
    f->close();
}

// Deltas and ends of line that jump across a large image land where they
// point; every pixel that no code sets is 0.
TEST_F(BmpHugeHeader, RunLengthCodesJumpFarInALargeImage)
{
    const int side = 4096;
    BmpSpec s;
    s.width = s.height = side;
    s.compression = 1;
    s.palette = grayPalette(256);
    for (int i = 0; i < 16; i++)
        s.pixels += std::string{0, 2, char(255), char(255)};
    s.pixels += std::string{3, 7};
    for (int i = 0; i < 8; i++)
        s.pixels += std::string(2, '\0');
    s.pixels += std::string{2, 9, 0, 1};
    kelStatus sts;
    kelFile* f = openBmp(write("far.bmp", s.build()), sts);
    ASSERT_NE(nullptr, f) << sts;
    const Bytes image = readImage(f, kelLowerLeftOrigin, sts);
    EXPECT_EQ(kelOKAY, sts);
    const size_t far = size_t(16 * 255) * side + 16 * 255;
    const size_t later = size_t(16 * 255 + 8) * side;
    EXPECT_EQ(Bytes({7, 7, 7}), Bytes(image.begin() + long(far), image.begin() + long(far) + 3));
    EXPECT_EQ(Bytes({9, 9}), Bytes(image.begin() + long(later), image.begin() + long(later) + 2));
    EXPECT_EQ(image.size() - 5, size_t(std::count(image.begin(), image.end(), 0)));
    f->close();
}

} // namespace
