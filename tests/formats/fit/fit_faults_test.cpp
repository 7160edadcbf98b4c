// FIT files on descriptors that fail, under a lowered page limit, and with
// headers that declare huge images in a few bytes: every failure is
// reported, and none leaves a descriptor open.
#include "fit_test_support.h"
#include "lib/fault_test_support.h"

namespace {

#define EXPECT_FIT_CHILD(...) EXPECT_IN_CHILD(KEL_TEST_DATABASE, __VA_ARGS__)

// Pages of shorts, so that the byte-swapped copy is written too.
const kelSize shortSize(40, 30, 1, 2), shortPage(16, 16, 1, 2);

class FitWriteFaults : public ::testing::TestWithParam<WriteFault> {};

TEST_P(FitWriteFaults, AreReportedNeverSuccess)
{
    ScratchDir dir;
    const std::vector<unsigned short> pixels(40 * 30 * 2, 0x1234);
    EXPECT_FIT_CHILD({
        kelFileConfig cfg(&shortSize, kelUShort, kelInterleaved, kelLuminanceAlpha, kelUpperLeftOrigin,
                          kelNoCompression, &shortPage);
        expectWriteFailureReported(&GetParam(), dir.file("scratch"), "FIT", cfg, pixels.data());
    });
}

INSTANTIATE_TEST_SUITE_P(Descriptors, FitWriteFaults, ::testing::ValuesIn(writeFaults), writeFaultName);

TEST(FitFaults, AFullDeviceOpenedByNameFailsTheWrite)
{
    const std::vector<unsigned short> pixels(40 * 30 * 2, 0x1234);
    EXPECT_FIT_CHILD({
        kelFileConfig cfg(&shortSize, kelUShort, kelInterleaved, kelLuminanceAlpha, kelUpperLeftOrigin,
                          kelNoCompression, &shortPage);
        expectWriteFailureReported(nullptr, "", "FIT", cfg, pixels.data());
    });
}

TEST(FitFaults, ReadsThatFailAreReported)
{
    ScratchDir dir;
    HeaderFields h;
    h.size[0] = h.size[1] = h.page[0] = h.page[1] = 64;
    const std::string path = dir.write("p.fit", headerBytes(h) + numberedBytes(64 * 64));
    EXPECT_FIT_CHILD({
        kelConfig other(kelDouble, kelInterleaved, 1, nullptr, 0, kelLowerRightOrigin);
        expectReadFailureReported(path, path + "#FIT", other);
    });
}

// Pages of 40000 x 40000 bytes, in a header of 80 bytes or a new file.
TEST(FitLimits, PagesBeyondTheLimitAreRefused)
{
    ScratchDir dir;
    HeaderFields h;
    h.size[0] = h.size[1] = h.page[0] = h.page[1] = 40000;
    const char* message = "FIT page: a buffer of 1600000000 bytes exceeds the limit of 67108864 bytes";
    expectOpenRefusedByTheLimit(dir.write("huge.fit", headerBytes(h)) + "#FIT", 64 << 20, message);
    const std::string path = dir.file("new.fit");
    EXPECT_EXIT(
        {
            kelSetErrorHandler(kelRobustErrorHandler, nullptr);
            kelSetMaxPageBytes(64 << 20);
            const kelSize size(40000, 40000, 1, 1);
            kelStatus sts = 0;
            kelFile* f = createFit(path, size, kelUChar, kelInterleaved, size, sts);
            exit(!f && kelStatusMain(sts) == kelMALLOCFAILED ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), message);
}

// 2^62 pages of one byte in a file of nothing but its header: tiles at
// both ends of the image read as zeros, page by page, without visiting the
// pages in between.
TEST(FitLimits, HugePageCountsReadOnlyThePagesOfATile)
{
    ScratchDir dir;
    HeaderFields h;
    h.size[0] = h.size[1] = INT_MAX;
    h.page[0] = h.page[1] = 1;
    kelStatus sts = -1;
    kelFile* f = openFit(dir.write("many.fit", headerBytes(h)), O_RDONLY, sts);
    ASSERT_TRUE(f) << sts;
    for (int at : {0, INT_MAX - 3}) {
        unsigned char tile[9];
        memset(tile, 0xEE, sizeof tile);
        EXPECT_EQ(kelOKAY, f->getTile(at, at, 0, 3, 3, 1, tile));
        EXPECT_EQ(std::vector<unsigned char>(9, 0), std::vector<unsigned char>(tile, tile + 9));
    }
    f->close();
}

} // namespace
