#include <gtest/gtest.h>

#include "kelToolNames.h"
#include "kelToolOptions.h"

namespace {

TEST(ToolSize, ComponentsNotGivenAreLeftOpen)
{
    EXPECT_EQ(kelSize(256, 128, 0, 0), kelToolParseSize("--page", "256x128"));
    EXPECT_EQ(kelSize(4, 3, 2, 1), kelToolParseSize("--page", "4,3,2,1"));
    EXPECT_EQ(kelSize(4, 3, 2, 0), kelToolParseSize("--page", "4X3x2"));
}

TEST(ToolSize, RejectsWhatIsNoSize)
{
    for (const char* bad : {"", "5", "5x", "x5", "0x5", "-1x5", "axb", "1x2x3x4x5", "3x99999999999", "4x4 "})
        EXPECT_THROW(kelToolParseSize("--page", bad), kelToolUsageError) << bad;
    try {
        kelToolParseSize("--page", "0x5");
    } catch (const kelToolUsageError& e) {
        EXPECT_EQ("invalid value '0x5' for --page; expected WIDTHxHEIGHT[xDEPTH[xCHANNELS]] of positive numbers",
                  e.message);
    }
}

TEST(ToolNumber, RangeIsEnforced)
{
    EXPECT_EQ(16, kelToolParseNumber("--strip-mib", "16", 1, 4096));
    for (const char* bad : {"0", "4097", "", "12k", "-3"})
        EXPECT_THROW(kelToolParseNumber("--strip-mib", bad, 1, 4096), kelToolUsageError) << bad;
}

TEST(ToolKeywords, AnyCaseAndAliasesFindTheValue)
{
    EXPECT_EQ(kelFloat, kelToolParseKeyword("--type", "FLOAT", kelToolDataTypes));
    EXPECT_EQ(kelUShort, kelToolParseKeyword("--type", "u16", kelToolDataTypes));
    EXPECT_EQ(kelLeftUpperOrigin, kelToolParseKeyword("--orientation", "lt", kelToolOrientations));
    EXPECT_EQ(kelSeparate, kelToolParseKeyword("--order", "planar", kelToolOrders));
    EXPECT_EQ(kelLuminanceAlpha, kelToolParseKeyword("--colormodel", "la", kelToolColorModels));
    try {
        kelToolParseKeyword("--order", "diagonal", kelToolOrders);
        ADD_FAILURE() << "no exception";
    } catch (const kelToolUsageError& e) {
        EXPECT_EQ("invalid value 'diagonal' for --order; expected one of interleaved, sequential, separate", e.message);
    }
}

// Every printed name must read back as its own value, or kelinfo's output
// could not be fed to kelcp.
TEST(ToolKeywords, PrintedNamesReadBack)
{
    for (const kelToolName* table :
         {kelToolDataTypes, kelToolOrders, kelToolOrientations, kelToolColorModels, kelToolCompressions})
        for (const kelToolName* row = table; row->name; ++row)
            EXPECT_EQ(row->value, kelToolLookup(table, kelToolNameOf(table, row->value))) << row->name;
    EXPECT_STREQ("upper-left", kelToolNameOf(kelToolOrientations, kelUpperLeftOrigin));
    EXPECT_STREQ("unknown", kelToolNameOf(kelToolOrders, 3));
    EXPECT_EQ(0, kelToolLookup(kelToolDataTypes, "quad"));
}

TEST(ToolKeywords, ListsOnlyThePrintedNames)
{
    EXPECT_EQ("bit, uchar, char, ushort, short, uint, int, float, double", kelToolKeywords(kelToolDataTypes));
}

TEST(ToolSize, Text)
{
    EXPECT_EQ("7x5x1x3", kelToolSizeText(kelSize(7, 5, 1, 3)));
}

} // namespace
