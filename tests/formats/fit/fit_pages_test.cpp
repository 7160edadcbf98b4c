#include "fit_test_support.h"

#include <signal.h>
#include <sys/resource.h>

namespace {

// A test's FIT file, at `path` in a scratch directory.
template <class Base>
class FitFileTest : public Base {
protected:
    kelFile* create(const kelSize& size, kelDataType type, kelOrder order, const kelSize& page,
                    kelOrientation orientation = kelUpperLeftOrigin)
    {
        kelFile* f = createFit(path, size, type, order, page, sts, kelColorModel(0), orientation);
        EXPECT_TRUE(f) << sts;
        return f;
    }

    ScratchDir dir;
    const std::string path = dir.file("p.fit");
    kelStatus sts = -1;
};

class FitPages : public FitFileTest<::testing::Test> {};

TEST_F(FitPages, PagesLieInIndexOrderAfterTheHeader)
{
    kelFile* f = create(kelSize(300, 200, 1, 3), kelUShort, kelInterleaved, kelSize(128, 128, 1, 3));
    ASSERT_TRUE(f);
    std::vector<unsigned short> page(128 * 128 * 3, 0);
    page[0] = 0x0102;
    page[1] = 0xa0b0;
    EXPECT_EQ(0, f->setPage(page.data(), 256, 128, 0, 0, 44, 72, 1, 3));
    EXPECT_EQ(0, f->close());
    // 3 x 2 pages of 98304 bytes; the page at (256, 128) is number 5
    EXPECT_EQ(80 + 6 * 98304, fileSize(path));
    EXPECT_EQ(hex("\x01\x02\xa0\xb0"), hex(bytesAt(path, 80 + 5 * 98304, 4)));
}

TEST_F(FitPages, SeparateChannelsFollowOneAnother)
{
    kelFile* f = create(kelSize(4, 4, 1, 3), kelUChar, kelSeparate, kelSize(2, 2, 1, 1));
    ASSERT_TRUE(f);
    const unsigned char first[4] = {1, 2, 3, 4}, second[4] = {5, 6, 7, 8};
    EXPECT_EQ(0, f->setPage(first, 0, 0, 0, 1, 2, 2, 1, 1));
    EXPECT_EQ(0, f->setPage(second, 2, 2, 0, 2, 2, 2, 1, 1));
    EXPECT_EQ(0, f->close());
    // four pages of 4 bytes per channel
    EXPECT_EQ(hex("\x01\x02\x03\x04"), hex(bytesAt(path, 80 + 4 * 4, 4)));
    EXPECT_EQ(hex("\x05\x06\x07\x08"), hex(bytesAt(path, 80 + 11 * 4, 4)));
}

struct Sample {
    kelDataType type;
    double a, b;
    std::string bigA, bigB; // how a and b are stored
};

void PrintTo(const Sample& s, std::ostream* os)
{
    *os << kelDataTypeName(s.type);
}

template <class T>
std::string native(double a, double b)
{
    T v[2] = {T(a), T(b)};
    return std::string(reinterpret_cast<const char*>(v), sizeof v);
}

std::string nativePair(kelDataType type, double a, double b)
{
    switch (type) {
    case kelUChar:
        return native<unsigned char>(a, b);
    case kelChar:
        return native<signed char>(a, b);
    case kelUShort:
        return native<unsigned short>(a, b);
    case kelShort:
        return native<short>(a, b);
    case kelUInt:
        return native<unsigned int>(a, b);
    case kelInt:
        return native<int>(a, b);
    case kelFloat:
        return native<float>(a, b);
    default:
        return native<double>(a, b);
    }
}

class FitByteOrder : public FitFileTest<::testing::TestWithParam<Sample>> {};

TEST_P(FitByteOrder, SamplesAreStoredBigEndianAndReadBack)
{
    const Sample& s = GetParam();
    kelFile* f = create(kelSize(2, 1, 1, 1), s.type, kelInterleaved, kelSize(2, 1, 1, 1));
    ASSERT_TRUE(f);
    const std::string page = nativePair(s.type, s.a, s.b);
    std::string buffer = page;
    EXPECT_EQ(0, f->setPage(buffer.data(), 0, 0, 0, 0, 2, 1, 1, 1));
    EXPECT_EQ(hex(page), hex(buffer)) << "the caller's page was changed";
    EXPECT_EQ(hex(s.bigA + s.bigB), hex(bytesAt(path, 80, 100)));
    std::string back(page.size(), '\xee');
    EXPECT_EQ(0, f->getPage(&back[0], 0, 0, 0, 0, 2, 1, 1, 1));
    EXPECT_EQ(hex(page), hex(back));
    f->close();
}

INSTANTIATE_TEST_SUITE_P(
    Types, FitByteOrder,
    ::testing::Values(Sample{kelUChar, 0xab, 1, "\xab", "\x01"}, Sample{kelChar, -2, 3, "\xfe", "\x03"},
                      Sample{kelUShort, 0x1234, 0xfe01, "\x12\x34", "\xfe\x01"},
                      Sample{kelShort, -2, 0x0102, "\xff\xfe", "\x01\x02"},
                      Sample{kelUInt, 0x01020304, 0xf0e0d0c0, "\x01\x02\x03\x04", "\xf0\xe0\xd0\xc0"},
                      Sample{kelInt, -2, 0x0a0b0c0d, std::string("\xff\xff\xff\xfe"), "\x0a\x0b\x0c\x0d"},
                      Sample{kelFloat, 1.0, -2.5, std::string("\x3f\x80\x00\x00", 4), std::string("\xc0\x20\x00\x00", 4)},
                      Sample{kelDouble, 1.0, -2.5, std::string("\x3f\xf0\x00\x00\x00\x00\x00\x00", 8),
                             std::string("\xc0\x04\x00\x00\x00\x00\x00\x00", 8)}),
    [](const ::testing::TestParamInfo<Sample>& info) { return "Type" + std::to_string(info.param.type); });

class FitTypeRoundTrip : public FitFileTest<::testing::TestWithParam<kelDataType>> {};

// Every type through tiles of another layout, over pages at the image's edges.
TEST_P(FitTypeRoundTrip, TilesComeBackAsWritten)
{
    const kelDataType type = GetParam();
    const int W = 5, H = 3, C = 3;
    std::vector<double> picture(W * H * C);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = type == kelBit ? double(i % 3 == 0) : double((i * 7) % 100);
    kelConfig cfg(kelDouble, kelInterleaved, C, nullptr, 0, kelUpperLeftOrigin);
    kelFile* f = create(kelSize(W, H, 1, C), type, kelSeparate, kelSize(2, 2, 1, 1), kelLowerLeftOrigin);
    ASSERT_TRUE(f);
    EXPECT_EQ(0, f->setTile(0, 0, 0, W, H, 1, picture.data(), &cfg));
    EXPECT_EQ(0, f->close());
    f = openFit(path, O_RDONLY, sts);
    ASSERT_TRUE(f) << sts;
    EXPECT_EQ(type, f->getDataType());
    std::vector<double> back(picture.size(), -1);
    EXPECT_EQ(0, f->getTile(0, 0, 0, W, H, 1, back.data(), &cfg));
    EXPECT_EQ(picture, back);
    f->close();
}

INSTANTIATE_TEST_SUITE_P(AllTypes, FitTypeRoundTrip,
                         ::testing::Values(kelBit, kelUChar, kelChar, kelUShort, kelShort, kelUInt, kelInt, kelFloat,
                                           kelDouble),
                         [](const ::testing::TestParamInfo<kelDataType>& info) {
                             return "Type" + std::to_string(info.param);
                         });

TEST_F(FitPages, PagesNeverWrittenReadAsZeros)
{
    kelFile* f = create(kelSize(8, 2, 1, 1), kelUShort, kelInterleaved, kelSize(4, 2, 1, 1));
    ASSERT_TRUE(f);
    // a partial tile on a new file: the rest of its page must be blank
    const unsigned short one = 0x4242;
    EXPECT_EQ(0, f->setTile(1, 1, 0, 1, 1, 1, &one));
    std::vector<unsigned short> all(16, 0xeeee), expected(16, 0);
    expected[9] = one;
    EXPECT_EQ(0, f->getTile(0, 0, 0, 8, 2, 1, all.data()));
    EXPECT_EQ(expected, all);
    EXPECT_EQ(0, f->close());
    // a page cut short by the end of the file
    ASSERT_EQ(0, truncate(path.c_str(), 80 + 3));
    f = openFit(path, O_RDONLY, sts);
    ASSERT_TRUE(f) << sts;
    std::vector<unsigned short> page(8, 0xeeee);
    EXPECT_EQ(0, f->getPage(page.data(), 0, 0, 0, 0, 4, 2, 1, 1));
    EXPECT_EQ(std::vector<unsigned short>(8, 0), page);
    f->close();
}

// The last page of a 64 Ki x 64 Ki image lies beyond 4 GiB; the file is
// sparse, only that page is written.
TEST_F(FitPages, OffsetsBeyondFourGigabytes)
{
    kelFile* f = create(kelSize(65536, 65536, 1, 1), kelUChar, kelInterleaved, kelSize(128, 128, 1, 1));
    ASSERT_TRUE(f);
    std::string page = numberedBytes(128 * 128);
    EXPECT_EQ(0, f->setPage(page.data(), 65408, 65408, 0, 0, 128, 128, 1, 1));
    EXPECT_EQ(0, f->close());
    const long long last = 80 + (512LL * 512 - 1) * 16384;
    ASSERT_EQ(last + 16384, fileSize(path));
    EXPECT_EQ(hex(page.substr(0, 8)), hex(bytesAt(path, last, 8)));

    f = openFit(path, O_RDWR, sts);
    ASSERT_TRUE(f) << sts;
    std::string back(page.size(), '\xee');
    EXPECT_EQ(0, f->getPage(&back[0], 65408, 65408, 0, 0, 128, 128, 1, 1));
    EXPECT_TRUE(back == page);
    EXPECT_EQ(0, f->getPage(&back[0], 0, 32768, 0, 0, 128, 128, 1, 1)); // a hole
    EXPECT_TRUE(back == std::string(page.size(), '\0'));
    EXPECT_EQ(0, f->setPage(page.data(), 128, 65408, 0, 0, 128, 128, 1, 1));
    f->close();
    EXPECT_EQ(hex(page.substr(0, 8)), hex(bytesAt(path, 80 + (511LL * 512 + 1) * 16384, 8)));
}

TEST_F(FitPages, OriginsOutsideTheImageAreRefused)
{
    kelFile* f = create(kelSize(10, 10, 1, 1), kelUChar, kelInterleaved, kelSize(4, 4, 1, 1));
    ASSERT_TRUE(f);
    unsigned char page[16] = {};
    EXPECT_EQ(kelBADPARAMS, f->getPage(page, -4, 0, 0, 0, 4, 4, 1, 1));
    EXPECT_EQ(kelBADPARAMS, f->getPage(page, 12, 0, 0, 0, 4, 4, 1, 1));
    EXPECT_EQ(kelBADPARAMS, f->setPage(page, 0, 10, 0, 0, 4, 4, 1, 1));
    EXPECT_EQ(kelBADPARAMS, f->setPage(page, 0, 0, 1, 0, 4, 4, 1, 1));
    EXPECT_EQ(kelBADPARAMS, f->setPage(page, 0, 0, 0, 1, 4, 4, 1, 1));
    f->close();
}

struct HookLog {
    std::string events;
};

kelStatus logBegin(void* arg)
{
    static_cast<HookLog*>(arg)->events += "(";
    return kelREADFAILED; // not used by the plug-in
}

kelStatus logEnd(void* arg)
{
    static_cast<HookLog*>(arg)->events += ")";
    return kelOKAY;
}

TEST_F(FitPages, HooksBracketEachPageTransfer)
{
    kelFile* f = create(kelSize(4, 4, 1, 1), kelShort, kelInterleaved, kelSize(2, 2, 1, 1));
    ASSERT_TRUE(f);
    HookLog log;
    f->setBeginFileIO_CB(logBegin, &log);
    f->setEndFileIO_CB(logEnd, &log);
    EXPECT_EQ(0, f->setItem(kelFITextensionData, "x", 1));
    short page[4] = {1, 2, 3, 4};
    EXPECT_EQ(0, f->setPage(page, 2, 0, 0, 0, 2, 2, 1, 1));
    EXPECT_EQ(0, f->getPage(page, 2, 0, 0, 0, 2, 2, 1, 1));
    EXPECT_EQ(0, f->flush());
    EXPECT_EQ("()()", log.events);
    f->close();
}

// A write that stops part-way is reported, and the part written counts as
// page data: the user area can no longer move under it. Runs in a child
// process, whose file size limit cuts the write.
void writeBeyondTheSizeLimit(const std::string& path)
{
    signal(SIGXFSZ, SIG_IGN);
    kelStatus sts = -1;
    kelFile* f = createFit(path, kelSize(64, 64, 1, 1), kelFloat, kelInterleaved, kelSize(64, 64, 1, 1), sts);
    CHILD_EXPECT(f != nullptr);
    if (!f)
        exit(1);
    struct rlimit limit;
    limit.rlim_cur = limit.rlim_max = 80 + 1000;
    CHILD_EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::vector<float> page(64 * 64, 1.0f);
    sts = f->setPage(page.data(), 0, 0, 0, 0, 64, 64, 1, 1);
    CHILD_EXPECT_EQ(kelStatusMain(sts), kelWRITEFAILED);
    CHILD_EXPECT_EQ(kelStatusErrno(sts), EFBIG);
    CHILD_EXPECT_EQ(fileSize(path), 80 + 1000);
    CHILD_EXPECT_EQ(f->setItem(kelFITextensionSize, 16), kelBADFIELDSET);
    f->close(1);
    exit(childFailures ? 1 : 0);
}

TEST_F(FitPages, WriteCutShortByTheFileSizeLimitFails)
{
    EXPECT_EXIT(writeBeyondTheSizeLimit(path), ::testing::ExitedWithCode(0), "");
}

// A write that the system refuses outright leaves no page data: the user
// area may still be sized.
TEST_F(FitPages, RefusedWriteLeavesTheUserAreaOpen)
{
    dir.write("p.fit", "");
    const int fd = ::open(path.c_str(), O_RDONLY);
    const kelSize size(2, 2, 1, 1);
    kelFileConfig cfg(&size, kelUShort, kelInterleaved, kelLuminance, kelUpperLeftOrigin);
    kelFile* f = kelFile::create(fd, (path + "#FIT").c_str(), nullptr, &cfg, nullptr, &sts);
    ASSERT_TRUE(f) << sts;
    unsigned short page[128 * 128] = {};
    sts = f->setPage(page, 0, 0, 0, 0, 2, 2, 1, 1);
    EXPECT_EQ(kelWRITEFAILED, kelStatusMain(sts));
    EXPECT_EQ(EBADF, kelStatusErrno(sts));
    EXPECT_EQ(0, f->setItem(kelFITextensionSize, 8));
    sts = f->close();
    EXPECT_EQ(kelWRITEFAILED, kelStatusMain(sts)); // the header cannot be written either
    EXPECT_EQ(0, fileSize(path));
}

} // namespace
