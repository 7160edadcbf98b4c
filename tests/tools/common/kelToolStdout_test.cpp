#include <stdio.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include "kelToolStdout.h"

namespace {

TEST(ToolStdout, KeepsTheStatusWhenEverythingWasWritten)
{
    EXPECT_EQ(0, kelToolFinishOutput("tool", 0));
    EXPECT_EQ(2, kelToolFinishOutput("tool", 2));
}

TEST(ToolStdoutDeathTest, AFailedWriteIsAFailureNamingTheReason)
{
    EXPECT_EXIT(
        {
            if (!freopen("/dev/full", "w", stdout))
                exit(3);
            fputs("lost\n", stdout);
            exit(kelToolFinishOutput("tool", EXIT_SUCCESS));
        },
        testing::ExitedWithCode(1), "tool: standard output: No space left on device");
}

} // namespace
