#include <gtest/gtest.h>
#include <kel/kel.h>

TEST(Smoke, StatusText)
{
    char buf[64];
    EXPECT_STREQ("Bad parameter(s)", kelStatusToString(kelBADPARAMS, buf, sizeof buf));
}
