// Raw files on descriptors that fail: full devices, pipes without readers,
// descriptors of the wrong access or kind; the page buffer limit; and no
// descriptor left open on any of these paths.
#include "lib/fault_test_support.h"
#include "raw_test_support.h"

namespace {

const char* const rgb4x4 = "#Raw%size=4,4,1,3";

class RawWriteFaults : public ::testing::TestWithParam<WriteFault> {};

// Every write reaches the descriptor (whole pages in another layout, and a
// part page that is read first): each reports the write failure, never
// success, and the descriptor is closed with the file.
TEST_P(RawWriteFaults, SetTileReportsTheFailure)
{
    ScratchDir dir;
    const std::string scratch = dir.file("scratch");
    const WriteFault& fault = GetParam();
    EXPECT_RAW_CHILD({
        signal(SIGPIPE, SIG_IGN);
        const int before = openDescriptors();
        const int fd = fault.make(scratch);
        CHILD_EXPECT(fd >= 0);
        kelStatus sts = -1;
        kelFile* f = kelFile::create(fd, (std::string("x") + rgb4x4).c_str(), nullptr, nullptr, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (!f)
            return;
        unsigned char pixels[4 * 4 * 3] = {1, 2, 3};
        kelConfig separate(kelUChar, kelSeparate, 3);
        CHILD_EXPECT_EQ(kelStatusMain(f->setTile(0, 0, 0, 4, 4, 1, pixels, &separate)), kelWRITEFAILED);
        // A part page is read first, which a pipe cannot do either.
        const int partial = kelStatusMain(f->setTile(1, 1, 0, 2, 2, 1, pixels, &separate));
        CHILD_EXPECT(partial == kelWRITEFAILED || partial == kelREADFAILED);
        f->close();
        CHILD_EXPECT_EQ(openDescriptors(), before);
    });
}

INSTANTIATE_TEST_SUITE_P(Descriptors, RawWriteFaults, ::testing::ValuesIn(writeFaults), writeFaultName);

// Created by name on the full device: the failure comes from setTile.
TEST(RawFaults, CreatedByNameOnAFullDevice)
{
    EXPECT_RAW_CHILD({
        const int before = openDescriptors();
        kelStatus sts = -1;
        kelFile* f = kelFile::create((std::string("/dev/full") + rgb4x4).c_str(), nullptr, nullptr, nullptr, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        unsigned char pixels[4 * 4 * 3] = {};
        CHILD_EXPECT_EQ(kelStatusMain(f->setTile(0, 0, 0, 4, 4, 1, pixels, nullptr)), kelWRITEFAILED);
        f->close();
        CHILD_EXPECT_EQ(openDescriptors(), before);
    });
}

// A descriptor that cannot be read (a directory, a write-only file): the
// read fails and the caller's buffer keeps its bytes, in any layout.
TEST(RawFaults, ReadFailuresLeaveTheCallersBufferAlone)
{
    ScratchDir dir;
    const std::string path = dir.write("data", numberedBytes(48));
    EXPECT_RAW_CHILD({
        const int before = openDescriptors();
        for (int fd : {::open(dir.path.c_str(), O_RDONLY | O_DIRECTORY), ::open(path.c_str(), O_WRONLY)}) {
            kelStatus sts = -1;
            kelFile* f = kelFile::open(fd, (path + rgb4x4).c_str(), O_RDONLY, nullptr, &sts);
            CHILD_EXPECT(f != nullptr);
            if (!f)
                continue;
            unsigned char pixels[4 * 4 * 3];
            memset(pixels, 0xEE, sizeof pixels);
            kelConfig separate(kelUChar, kelSeparate, 3);
            CHILD_EXPECT_EQ(kelStatusMain(f->getTile(0, 0, 0, 4, 4, 1, pixels, nullptr)), kelREADFAILED);
            CHILD_EXPECT_EQ(kelStatusMain(f->getTile(0, 0, 0, 4, 4, 1, pixels, &separate)), kelREADFAILED);
            for (unsigned char p : pixels)
                CHILD_EXPECT_EQ(p, 0xEE);
            f->close();
        }
        CHILD_EXPECT_EQ(openDescriptors(), before);
    });
}

// Opens that fail after the framework opened the file close it again.
TEST(RawFaults, FailedOpensAndCreatesLeaveNoDescriptor)
{
    ScratchDir dir;
    const std::string path = dir.write("data", numberedBytes(48));
    EXPECT_RAW_CHILD({
        kelSetErrorHandler(kelSilentErrorHandler, nullptr);
        const int before = openDescriptors();
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open((path + "#Raw%size=0,4").c_str(), O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT(sts != 0);
        CHILD_EXPECT(kelFile::open((path + "#Raw%size=1,1%pagesize=1,1,1,2147483647%type=int").c_str(), O_RDONLY,
                                   &sts) == nullptr);
        CHILD_EXPECT(kelFile::create(dir.file("new#Raw%size=-1,2").c_str(), nullptr, nullptr, nullptr, &sts) ==
                     nullptr);
        CHILD_EXPECT(kelFile::open(dir.file("missing#Raw%size=4,4").c_str(), O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT_EQ(openDescriptors(), before);
    });
}

// A page beyond the limit is refused at open, naming the limit; a limit
// lowered later refuses the page buffer of getTile, while a read straight
// into the caller's buffer needs none.
TEST(RawFaults, PageBufferLimit)
{
    ScratchDir dir;
    const std::string name = dir.write("data", numberedBytes(48)) + rgb4x4;
    EXPECT_EXIT(
        {
            setenv("KEL_DATABASE", KEL_TEST_DATABASE, 1);
            kelSetErrorHandler(kelRobustErrorHandler, nullptr);
            kelSetMaxPageBytes(47);
            kelStatus sts = 0;
            bool refused = kelFile::open(name.c_str(), O_RDONLY, &sts) == nullptr &&
                           kelStatusMain(sts) == kelMALLOCFAILED;
            kelSetMaxPageBytes(48);
            kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
            if (!refused || !f)
                exit(2);
            kelSetMaxPageBytes(40);
            unsigned char pixels[48];
            kelConfig separate(kelUChar, kelSeparate, 3);
            bool ok = kelStatusMain(f->getTile(0, 0, 0, 4, 4, 1, pixels, &separate)) == kelMALLOCFAILED &&
                      f->getTile(0, 0, 0, 4, 4, 1, pixels, nullptr) == 0 && pixels[47] == 47;
            f->close();
            exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0),
        "Raw page: a buffer of 48 bytes exceeds the limit of 47 bytes \\(KEL_MAX_PAGE_BYTES\\)(.|\n)*"
        "kelFile::getTile\\(\\): a buffer of 48 bytes exceeds the limit of 40 bytes");
}

} // namespace
