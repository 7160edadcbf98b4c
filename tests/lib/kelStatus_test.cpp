#include <gtest/gtest.h>

#include <errno.h>
#include <limits.h>
#include <string.h>

#include <string>

#include <kel/kelStatus.h>

namespace {

TEST(MainStatusText, EveryMainStatusHasItsText)
{
    static const char* const expected[] = {
        "Successful operation",
        "Object is not writable",
        "Object is not readable",
        "Bad parameter(s)",
        "Attempted operation is unsupported by library",
        "Attempted operation is unsupported by file format",
        "Unrecognized magic number in file",
        "Bad image file format",
        "Failed to set field in file header",
        "Failed to get field in file header",
        "System configuration error",
        "Image index out of range of file",
        "Can't allocate memory",
        "File open failed",
        "File close failed",
        "File read failed",
        "File write failed",
        "File seek failed",
        "File stat failed",
        "Can't open file type database",
        "Script execution failed",
        "Premature end of file",
        "Corrupted image data",
        "Attempted operation is unsupported by file",
    };
    for (int i = 0; i < int(sizeof expected / sizeof expected[0]); i++)
        EXPECT_STREQ(expected[i], kelMainStatusToString(kelMainStatus(i))) << "main status " << i;
    EXPECT_STREQ("Bad parameter(s)", kelMainStatusToString(kelBADPARAMS));
    EXPECT_STREQ("Attempted operation is unsupported by file", kelMainStatusToString(kelUNSUPPORTEDBYFILE));
}

TEST(MainStatusText, UnrecognizedValues)
{
    for (int v : {24, 25, 0xfff, INT_MAX, -1, -24, INT_MIN})
        EXPECT_STREQ("(unrecognized kelMainStatus value)", kelMainStatusToString(kelMainStatus(v))) << v;
}

TEST(StatusWord, ComposeAndTakeApart)
{
    EXPECT_EQ(3, kelComposeStatus(kelBADPARAMS, 0, 0));
    EXPECT_EQ((ENOENT << 16) | 0x100d, kelComposeStatus(kelOPENFAILED, 1, ENOENT));
    // Every field is masked to its width.
    EXPECT_EQ(kelComposeStatus(0x12345, 0x13, 0x7ffff), kelComposeStatus(0x345, 0x3, 0xffff));

    kelStatus sts = kelComposeStatus(kelSEEKFAILED, 1, 0xfffe);
    EXPECT_EQ(kelSEEKFAILED, kelStatusMain(sts));
    EXPECT_EQ(1, kelStatusKind(sts));
    EXPECT_EQ(0xfffe, kelStatusErrno(sts));
}

TEST(StatusWord, SystemStatusAttachesErrno)
{
    errno = EACCES;
    kelStatus sts = kelSystemStatus(kelOPENFAILED);
    EXPECT_EQ(kelOPENFAILED, kelStatusMain(sts));
    EXPECT_EQ(1, kelStatusKind(sts));
    EXPECT_EQ(EACCES, kelStatusErrno(sts));
}

class StatusText : public testing::Test {
protected:
    std::string text(kelStatus sts, int bufsize)
    {
        memset(buf, 'x', sizeof buf);
        EXPECT_EQ(buf, kelStatusToString(sts, buf, bufsize));
        return buf;
    }
    char buf[256];
};

TEST_F(StatusText, PlainMainStatus)
{
    EXPECT_EQ("Successful operation", text(kelOKAY, sizeof buf));
    EXPECT_EQ("Bad parameter(s)", text(kelBADPARAMS, sizeof buf));
    EXPECT_EQ("(unrecognized kelMainStatus value)", text(24, sizeof buf));
    // A kind other than 1 carries no system error: the main status speaks.
    EXPECT_EQ("File read failed", text(kelComposeStatus(kelREADFAILED, 2, EIO), sizeof buf));
}

TEST_F(StatusText, SystemErrorWinsWhateverTheLowBits)
{
    std::string system = strerror(ENOENT);
    EXPECT_EQ(system, text(kelComposeStatus(kelOPENFAILED, 1, ENOENT), sizeof buf));
    EXPECT_EQ(system, text(kelComposeStatus(0, 1, ENOENT), sizeof buf));
    EXPECT_EQ(system, text(kelComposeStatus(0xfff, 1, ENOENT), sizeof buf));
    EXPECT_EQ(std::string(strerror(ENOSPC)), text(kelComposeStatus(kelWRITEFAILED, 1, ENOSPC), sizeof buf));
}

TEST_F(StatusText, TruncatesAndAlwaysTerminates)
{
    EXPECT_EQ("Bad ", text(kelBADPARAMS, 5));
    EXPECT_EQ('\0', buf[4]);
    EXPECT_EQ('x', buf[5]);

    EXPECT_EQ("", text(kelBADPARAMS, 1));
    EXPECT_EQ('x', buf[1]);

    // Exactly room for the text and its NUL.
    EXPECT_EQ("Bad parameter(s)", text(kelBADPARAMS, int(strlen("Bad parameter(s)")) + 1));
    EXPECT_EQ("Bad parameter(s", text(kelBADPARAMS, int(strlen("Bad parameter(s)"))));
}

TEST_F(StatusText, BufferSizeBelowOneWritesNothing)
{
    for (int size : {0, -1, INT_MIN}) {
        memset(buf, 'x', sizeof buf);
        EXPECT_EQ(buf, kelStatusToString(kelBADPARAMS, buf, size));
        EXPECT_EQ(std::string(sizeof buf, 'x'), std::string(buf, sizeof buf)) << size;
    }
    EXPECT_EQ(nullptr, kelStatusToString(kelBADPARAMS, nullptr, 0));
}

} // namespace
