#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "kelToolOutputFile.h"

namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string directoryOf(const std::string& path)
{
    return path.substr(0, path.rfind('/'));
}

class ToolOutputFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/kel-outfile-test-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(name));
        dir = name;
    }
    void TearDown() override
    {
        unlink((dir + "/out.img").c_str());
        rmdir(dir.c_str());
    }
    std::string dir;
};

// The temporary file keeps the destination's base name, in a hidden
// directory beside it that goes with it.
TEST_F(ToolOutputFile, WritesBesideTheDestinationAndRenamesOnCommit)
{
    kelToolOutputFile out;
    ASSERT_EQ(kelOKAY, out.reserve(dir + "/out.img"));
    const std::string temp = out.temporaryPath();
    EXPECT_EQ(0u, temp.find(dir + "/.out.img.")) << temp;
    EXPECT_EQ("/out.img", temp.substr(temp.rfind('/'))) << temp;
    EXPECT_EQ(dir, directoryOf(directoryOf(temp))) << temp;
    EXPECT_TRUE(exists(temp));
    EXPECT_FALSE(exists(dir + "/out.img"));
    mode_t mask = umask(022);
    EXPECT_EQ(kelOKAY, out.commit());
    umask(mask);
    EXPECT_FALSE(exists(temp));
    EXPECT_FALSE(exists(directoryOf(temp)));
    struct stat st;
    ASSERT_EQ(0, stat((dir + "/out.img").c_str(), &st));
    EXPECT_EQ(0644u, st.st_mode & 0777);
}

TEST_F(ToolOutputFile, AnUncommittedFileIsRemoved)
{
    std::string temp;
    {
        kelToolOutputFile out;
        ASSERT_EQ(kelOKAY, out.reserve(dir + "/out.img"));
        temp = out.temporaryPath();
    }
    EXPECT_FALSE(exists(temp));
    EXPECT_FALSE(exists(directoryOf(temp)));
    EXPECT_FALSE(exists(dir + "/out.img"));
}

TEST_F(ToolOutputFile, AMissingDirectoryFailsWithTheSystemError)
{
    kelToolOutputFile out;
    kelStatus sts = out.reserve(dir + "/missing/out.img");
    EXPECT_EQ(kelOPENFAILED, kelStatusMain(sts));
    EXPECT_EQ(ENOENT, kelStatusErrno(sts));
    EXPECT_TRUE(out.temporaryPath().empty());
}

} // namespace
