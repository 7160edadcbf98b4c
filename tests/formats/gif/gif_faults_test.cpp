// GIF files on descriptors that fail: full devices, pipes and sockets,
// descriptors of the wrong access or kind, reads that fail after the open;
// images whose buffers the page limit refuses; and no descriptor left open
// on any of these paths.
#include <sys/socket.h>

#include "gif_test_support.h"
#include "lib/fault_test_support.h"

namespace {

// A descriptor that cannot take a GIF file, and the status of the first
// image written to it.
struct GifWriteFault {
    WriteFault fault;
    int status;
};

class GifWriteFaults : public ::testing::TestWithParam<GifWriteFault> {};

// Neither image reaches the descriptor, which the file closes.
TEST_P(GifWriteFaults, SetTileReportsTheFailure)
{
    ScratchDir dir;
    const GifWriteFault& fault = GetParam();
    EXPECT_IN_CHILD(KEL_TEST_DATABASE, {
        signal(SIGPIPE, SIG_IGN);
        QuietMessages quiet;
        const int before = openDescriptors();
        const int fd = fault.fault.make(dir.file("scratch"));
        CHILD_EXPECT(fd >= 0);
        kelSize dims(64, 64, 1, 1);
        kelFileConfig cfg(&dims);
        kelStatus sts = -1;
        kelFile* f = kelFile::create(fd, "x.gif", nullptr, &cfg, nullptr, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        const kelColormap map = makeColormap(256);
        f->setColormap(&map);
        const Bytes pixels = noise(64 * 64, 3);
        CHILD_EXPECT_EQ(kelStatusMain(f->setTile(0, 0, 0, 64, 64, 1, pixels.data())), fault.status);
        CHILD_EXPECT_EQ(kelStatusMain(f->setTile(0, 0, 0, 64, 64, 1, pixels.data())), fault.status);
        CHILD_EXPECT_EQ(f->getNumImgs(), 1);
        if (fault.status == kelWRITEFAILED)
            CHILD_EXPECT(quiet.messages.has("Error writing GIF file: x.gif"));
        f->close();
        CHILD_EXPECT_EQ(openDescriptors(), before);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Descriptors, GifWriteFaults,
    ::testing::Values(GifWriteFault{writeFaults[0], kelWRITEFAILED},
                      GifWriteFault{{"socket_without_peer",
                                     [](const std::string&) {
                                         int ends[2];
                                         if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
                                             return -1;
                                         close(ends[1]);
                                         return ends[0];
                                     }},
                                    kelSEEKFAILED},
                      GifWriteFault{writeFaults[1], kelOPENFAILED}, GifWriteFault{writeFaults[2], kelOPENFAILED}),
    [](const ::testing::TestParamInfo<GifWriteFault>& info) { return std::string(info.param.fault.what); });

TEST(GifFaults, CreatedByNameOnAFullDevice)
{
    EXPECT_IN_CHILD(KEL_TEST_DATABASE, {
        QuietMessages quiet;
        const int before = openDescriptors();
        kelStatus sts = -1;
        kelFile* f = createGif("/dev/full#GIF", 8, 8, sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        const kelColormap map = makeColormap(4);
        f->setColormap(&map);
        const Bytes pixels(64, 1);
        CHILD_EXPECT_EQ(kelStatusMain(f->setTile(0, 0, 0, 8, 8, 1, pixels.data())), kelWRITEFAILED);
        f->close();
        CHILD_EXPECT_EQ(openDescriptors(), before);
    });
}

// A descriptor that cannot be read (a directory, a write-only file) opens
// no file; the descriptor stays the caller's.
TEST(GifFaults, UnreadableDescriptorsGiveTheReadFailure)
{
    ScratchDir dir;
    const std::string path =
        GifBytes().header(2, 2, 2).image(2, 2, 2, lzwEncode({0, 1, 2, 3}, 2)).trailer().write(dir, "ok.gif");
    EXPECT_IN_CHILD(KEL_TEST_DATABASE, {
        QuietMessages quiet;
        const int before = openDescriptors();
        for (int fd : {::open(dir.path.c_str(), O_RDONLY | O_DIRECTORY), ::open(path.c_str(), O_WRONLY)}) {
            kelStatus sts = -1;
            CHILD_EXPECT(kelFile::open(fd, (path + "#GIF").c_str(), O_RDONLY, nullptr, &sts) == nullptr);
            CHILD_EXPECT_EQ(kelStatusMain(sts), kelREADFAILED);
            CHILD_EXPECT(kelStatusErrno(sts) != 0);
            close(fd);
        }
        CHILD_EXPECT_EQ(openDescriptors(), before);
    });
}

// Reads that fail once the file is open: the first image's data lies past
// what the open read ahead, the second image's too, and the descriptor
// fails from then on.
TEST(GifFaults, ReadsFailingAfterTheOpenAreReported)
{
    ScratchDir dir;
    const std::string path = dir.file("big.gif");
    const Bytes first = noise(512 * 512, 4);
    kelStatus sts;
    kelFile* w = createGif(path, 512, 512, sts);
    ASSERT_NE(nullptr, w);
    const kelColormap map = makeColormap(256);
    w->setColormap(&map);
    ASSERT_EQ(kelOKAY, w->setTile(0, 0, 0, 512, 512, 1, first.data()));
    ASSERT_EQ(kelOKAY, w->setTile(0, 0, 0, 512, 512, 1, first.data()));
    ASSERT_EQ(kelOKAY, w->close());
    EXPECT_IN_CHILD(KEL_TEST_DATABASE, {
        QuietMessages quiet;
        const int fd = ::open(path.c_str(), O_RDONLY);
        kelFile* f = kelFile::open(fd, path.c_str(), O_RDONLY, nullptr, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        CHILD_EXPECT_EQ(f->getNumImgs(), 2);
        const int unreadable = ::open(path.c_str(), O_WRONLY);
        CHILD_EXPECT(dup2(unreadable, fd) == fd);
        close(unreadable);
        Bytes page(first.size());
        CHILD_EXPECT_EQ(kelStatusMain(f->getTile(0, 0, 0, 512, 512, 1, page.data())), kelREADFAILED);
        kelConfig transposed(kelUChar, kelInterleaved, 1, nullptr, 0, kelLeftUpperOrigin);
        CHILD_EXPECT_EQ(kelStatusMain(f->getTile(0, 0, 0, 512, 512, 1, page.data(), &transposed)), kelREADFAILED);
        CHILD_EXPECT_EQ(kelStatusMain(f->setCurrentImg(1)), kelREADFAILED);
        CHILD_EXPECT_EQ(f->getCurrentImg(), 0);
        f->close();
    });
}

// Images of 65535 x 65535 and 65535 x 32768 pixels in files of a few
// dozen bytes open at once. The first has more pixels than a page may
// hold; a tile of the second needs a page buffer of 2 GiB, which a lower
// limit refuses. The plug-in's buffer for interlaced rows is held to the
// limit too, while rows in natural order go straight to the caller.
TEST(GifLimits, ImageBuffersStayWithinThePageLimit)
{
    ScratchDir dir;
    const Bytes codes = lzwEncode({1, 2, 3, 0}, 2);
    const struct {
        int height;
        int status;
    } huge[] = {{65535, kelBADPARAMS}, {32768, kelMALLOCFAILED}};
    std::string hugePaths[2];
    for (int i = 0; i < 2; ++i)
        hugePaths[i] = GifBytes().header(65535, huge[i].height, 2).image(65535, huge[i].height, 2, codes).trailer().write(
            dir, i ? "tall.gif" : "huge.gif");
    GifBytes interlaced, natural;
    interlaced.header(2000, 1000, 2).image(2000, 1000, 2, codes, 0, 0, 0, true).trailer();
    natural.header(2000, 1000, 2).image(2000, 1000, 2, codes).trailer();
    const std::string paths[2] = {interlaced.write(dir, "interlaced.gif"), natural.write(dir, "natural.gif")};
    EXPECT_EXIT(
        {
            setenv("KEL_DATABASE", KEL_TEST_DATABASE, 1);
            kelSetErrorHandler(kelRobustErrorHandler, nullptr);
            kelSetMaxPageBytes(1 << 20);
            kelStatus sts;
            bool ok = true;
            for (int i = 0; i < 2; ++i) {
                kelFile* f = openGif(hugePaths[i], sts);
                if (!f)
                    exit(2);
                unsigned char tile[9];
                const kelSize size = storedSize(f);
                ok = ok && size.x == 65535 && size.y == huge[i].height &&
                     kelStatusMain(f->getTile(0, 0, 0, 3, 3, 1, tile)) == huge[i].status;
                f->close();
            }
            Bytes page(2000 * 1000);
            for (const std::string& path : paths) {
                kelFile* f = openGif(path, sts);
                if (!f)
                    exit(2);
                const kelStatus got = f->getTile(0, 0, 0, 2000, 1000, 1, page.data());
                ok = ok && (path == paths[0] ? kelStatusMain(got) == kelMALLOCFAILED : got == kelOKAY);
                kelSetMaxPageBytes(2000 * 1000);
                // The decoded pixels fill the top row from the left; the rest is 0.
                ok = ok && f->getTile(0, 0, 0, 2000, 1000, 1, page.data()) == kelOKAY && page[0] == 1 &&
                     page[3] == 0 && page[1999] == 0 && page[2000] == 0;
                kelSetMaxPageBytes(1 << 20);
                f->close();
            }
            exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0),
        "kelFile::getTile\\(\\): a buffer of 2147450880 bytes exceeds the limit of 1048576 bytes(.|\n)*"
        "GIF interlaced page: a buffer of 2000000 bytes exceeds the limit of 1048576 bytes");
}

} // namespace
