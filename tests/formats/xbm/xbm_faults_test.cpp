// X bitmaps on descriptors that fail, under a lowered page limit, and with
// defines that declare huge bitmaps in a few bytes: every failure is
// reported, and none leaves a descriptor open.
#include "lib/fault_test_support.h"
#include "xbm_test_support.h"

namespace {

#define EXPECT_XBM_CHILD(...) EXPECT_IN_CHILD(KEL_TEST_DATABASE, __VA_ARGS__)

// More text than a stream buffers.
const kelSize bitSize(200, 100, 1, 1);

class XBMWriteFaults : public ::testing::TestWithParam<WriteFault> {};

TEST_P(XBMWriteFaults, AreReportedNeverSuccess)
{
    ScratchDir dir;
    const std::vector<unsigned char> pixels(200 / 8 * 100, 0x5A);
    EXPECT_XBM_CHILD({
        kelFileConfig cfg(&bitSize);
        expectWriteFailureReported(&GetParam(), dir.file("scratch"), "XBM", cfg, pixels.data());
    });
}

INSTANTIATE_TEST_SUITE_P(Descriptors, XBMWriteFaults, ::testing::ValuesIn(writeFaults), writeFaultName);

TEST(XBMFaults, AFullDeviceOpenedByNameFailsTheWrite)
{
    const std::vector<unsigned char> pixels(200 / 8 * 100, 0x5A);
    EXPECT_XBM_CHILD({
        kelFileConfig cfg(&bitSize);
        expectWriteFailureReported(nullptr, "", "XBM", cfg, pixels.data());
    });
}

std::string defines(long long width, long long height)
{
    return "#define b_width " + std::to_string(width) + "\n#define b_height " + std::to_string(height) +
           "\nstatic unsigned char b_bits[] = {\n";
}

TEST(XBMFaults, ReadsThatFailAreReported)
{
    ScratchDir dir;
    std::string text = defines(bitSize.x, bitSize.y);
    for (int i = 0; i < bitSize.x / 8 * bitSize.y; i++)
        text += " 0x5a,";
    const std::string path = dir.write("big.xbm", text + "};\n");
    EXPECT_XBM_CHILD({
        kelConfig other(kelUChar, kelSeparate, 1, nullptr, 0, kelRightUpperOrigin);
        expectReadFailureReported(path, path + "#XBM", other);
    });
}

TEST(XBMLimits, PagesBeyondTheLimitAreRefusedAtOpen)
{
    ScratchDir dir;
    expectOpenRefusedByTheLimit(dir.write("huge.xbm", defines(40000, 40000) + "0x01 };\n") + "#XBM", 64 << 20,
                                "XBM page: a buffer of 200000000 bytes exceeds the limit of 67108864 bytes");
}

// A 4096 x 4096 bitmap of three values: they are read, the rest is 0.
TEST(XBMLimits, HugeDefinesWithFewValues)
{
    ScratchDir dir;
    kelStatus sts;
    kelFile* f = openXBM(dir.write("few.xbm", defines(4096, 4096) + "0x01, 0x02, 0x80"), sts);
    ASSERT_NE(nullptr, f) << sts;
    CapturedMessages messages;
    kelSetLocalErrorHandler capture(CapturedMessages::handler, &messages);
    std::vector<unsigned char> page = readPage(f, sts);
    EXPECT_EQ(kelOKAY, sts);
    EXPECT_TRUE(messages.has("premature end of file in XBM image"));
    EXPECT_EQ((std::vector<unsigned char>{0x80, 0x40, 0x01}), std::vector<unsigned char>(page.begin(), page.begin() + 3));
    EXPECT_EQ(page.size() - 3, size_t(std::count(page.begin(), page.end(), 0)));
    f->close();
}

} // namespace
