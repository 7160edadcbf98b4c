#include <gtest/gtest.h>

#include "kelToolErrorLog.h"

namespace {

TEST(ToolErrorLog, CollectsErrorsOnOneLineEach)
{
    kelToolErrorLog log("tool");
    kelError(kelSeverityError, "Dynamic shared object \"%s\" not found\n\tfor %s.\n", "libX.so", "X");
    kelError(kelSeverityInfo, "ignored");
    ASSERT_EQ(1u, log.messages().size());
    EXPECT_EQ("Dynamic shared object \"libX.so\" not found for X.", log.messages()[0]);
}

TEST(ToolErrorLog, FailPrintsTheLineThenTheDetailAndClears)
{
    kelToolErrorLog log("tool");
    kelError(kelSeverityError, "cause %d", 7);
    testing::internal::CaptureStderr();
    log.fail("pic.gif", kelBADMAGIC);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ("tool: pic.gif: " + kelToolErrorLog::statusText(kelBADMAGIC) + "\ntool:   cause 7\n", err);
    EXPECT_TRUE(log.messages().empty());
}

TEST(ToolErrorLog, WarningsAreShownAtOnce)
{
    kelToolErrorLog log("tool");
    testing::internal::CaptureStderr();
    kelError(kelSeverityWarning, "Unknown parameter name: %s", "bogus");
    EXPECT_EQ("tool: warning: Unknown parameter name: bogus\n", testing::internal::GetCapturedStderr());
    EXPECT_TRUE(log.messages().empty());
}

TEST(ToolErrorLog, RestoresTheHandlerItReplaced)
{
    kelErrorHandler before, during, after;
    void *beforeArg, *duringArg, *afterArg;
    kelGetErrorHandler(&before, &beforeArg);
    {
        kelToolErrorLog log("tool");
        kelGetErrorHandler(&during, &duringArg);
        EXPECT_EQ(&log, duringArg);
    }
    kelGetErrorHandler(&after, &afterArg);
    EXPECT_EQ(before, after);
    EXPECT_EQ(beforeArg, afterArg);
}

TEST(ToolErrorLogDeathTest, FatalErrorsRunTheCleanupAndEndTheProcess)
{
    EXPECT_EXIT(
        {
            kelToolErrorLog log("tool");
            log.setFatalCleanup([] { fputs("cleaned\n", stderr); });
            kelError(kelSeverityFatal, "out of %s", "luck");
        },
        testing::ExitedWithCode(1), "tool: fatal: out of luck\ncleaned");
}

} // namespace
