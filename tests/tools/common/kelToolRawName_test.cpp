#include <gtest/gtest.h>

#include "kelToolRawName.h"

namespace {

TEST(ToolRawName, ArgumentsDescribeTheLayoutInRawKeywords)
{
    kelToolRawLayout layout{kelSize(10, 20, 1, 2), kelSize(4, 4, 1, 1), kelShort, kelSeparate, kelLeftUpperOrigin,
                            kelLuminanceAlpha};
    EXPECT_EQ("colormodel=la%size=10,20,1,2%pagesize=4,4,1,1%type=short%order=separate%orientation=lt",
              kelToolRawArguments(layout));
}

TEST(ToolRawName, OnePageNeedsNoPageSize)
{
    kelToolRawLayout layout{kelSize(3, 2, 1, 3), kelSize(0, 0, 0, 0), kelUChar, kelInterleaved, kelUpperLeftOrigin,
                            kelRGB};
    EXPECT_EQ("colormodel=rgb%size=3,2,1,3%type=uchar%order=interleaved%orientation=tl", kelToolRawArguments(layout));
}

} // namespace
