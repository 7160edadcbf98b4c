// The process-wide page buffer limit: its default, the environment
// variable and the setter.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <kel/kelError.h>
#include <kel/kelLimits.h>

namespace {

using ::testing::ExitedWithCode;

const unsigned long long defaultLimit = 4ULL << 30;

struct EnvCase {
    const char* value;
    unsigned long long limit;
};

class PageLimitEnvironment : public ::testing::TestWithParam<EnvCase> {};

// Read once, at the first use, in a fresh process.
TEST_P(PageLimitEnvironment, ValueOrDefault)
{
    const EnvCase& c = GetParam();
    EXPECT_EXIT(
        {
            setenv("KEL_MAX_PAGE_BYTES", c.value, 1);
            exit(kelGetMaxPageBytes() == c.limit ? 0 : 1);
        },
        ExitedWithCode(0), "");
}

INSTANTIATE_TEST_SUITE_P(Values, PageLimitEnvironment,
                         ::testing::Values(EnvCase{"1048576", 1048576}, EnvCase{"64k", 65536},
                                           EnvCase{"3M", 3ULL << 20}, EnvCase{"5G", 5ULL << 30},
                                           EnvCase{"", defaultLimit}, EnvCase{"0", defaultLimit},
                                           EnvCase{"-5", defaultLimit}, EnvCase{"12 bytes", defaultLimit},
                                           EnvCase{"99999999999999999999", defaultLimit},
                                           EnvCase{"17179869184G", defaultLimit}));

TEST(PageLimit, DefaultIsGenerousAndTheSetterOverridesIt)
{
    EXPECT_EXIT(
        {
            unsetenv("KEL_MAX_PAGE_BYTES");
            bool ok = kelGetMaxPageBytes() == defaultLimit;
            kelSetMaxPageBytes(1000);
            ok = ok && kelGetMaxPageBytes() == 1000;
            kelSetMaxPageBytes(0);
            exit(ok && kelGetMaxPageBytes() == defaultLimit ? 0 : 1);
        },
        ExitedWithCode(0), "");
}

TEST(PageLimit, CheckNamesTheLimitAndRefusesWithENOMEM)
{
    EXPECT_EXIT(
        {
            kelSetErrorHandler(kelRobustErrorHandler, nullptr);
            kelSetMaxPageBytes(4096);
            bool ok = kelCheckPageBytes(4096, "here") == kelOKAY;
            kelStatus sts = kelCheckPageBytes(4097, "here");
            ok = ok && kelStatusMain(sts) == kelMALLOCFAILED && kelStatusErrno(sts) == ENOMEM;
            exit(ok ? 0 : 1);
        },
        ExitedWithCode(0),
        "Error: here: a buffer of 4097 bytes exceeds the limit of 4096 bytes \\(KEL_MAX_PAGE_BYTES\\)");
}

} // namespace
