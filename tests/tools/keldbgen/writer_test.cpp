// The text written for each entry: clause order, match expressions with
// their line breaks and parentheses, numbers, access and suffixes.
#include "keldbgenRun.h"

class KeldbgenWriterTest : public KeldbgenTest {
protected:
    // The written text of one entry "X" made from the given clauses.
    std::string written(const std::string& clauses)
    {
        writeSource("a.db", "format XX\n" + clauses);
        KeldbgenResult r = generate();
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        return entriesText();
    }
    std::string matchLine(const std::string& expr)
    {
        std::string text = written("    match " + expr + "\n");
        std::string head = "\nformat XX\n    match\t\t";
        EXPECT_EQ(text.rfind(head, 0), 0u) << text;
        return text.substr(head.size(), text.size() - head.size() - 1);
    }
};

TEST_F(KeldbgenWriterTest, ClausesComeInFixedOrderWithTheirLayout)
{
    EXPECT_EQ(written("    suffixes .tif, .tiff\n"
                      "    subsystem kel.sw.tiff\n"
                      "    access readonly\n"
                      "    dll libkelTIFF0.so\n"
                      "    description \"Tagged \\\"image\\\" file\"\n"
                      "    match uchar(0) == 0x4d\n"),
              "\nformat XX\n"
              "    match\t\tuchar(0) == 0x4d\n"
              "    description\t\t\"Tagged \\\"image\\\" file\"\n"
              "    dll\t\t\tlibkelTIFF0.so\n"
              "    access\t\treadonly\n"
              "    subsystem\t\t\"kel.sw.tiff\"\n"
              "    suffixes\t\t.tif,.tiff\n");
}

TEST_F(KeldbgenWriterTest, LaterClausesReplaceEarlierOnes)
{
    EXPECT_EQ(written("    description \"one\"\n    description \"two\"\n"
                      "    dll liba.so\n    dll libb.so\n"
                      "    suffixes .a\n    suffixes .b\n"
                      "    match 1 == 1\n    match 2 == 2\n"),
              "\nformat XX\n    match\t\t2 == 2\n    description\t\t\"two\"\n    dll\t\t\tlibb.so\n"
              "    suffixes\t\t.b\n");
}

TEST_F(KeldbgenWriterTest, AccessModes)
{
    EXPECT_EQ(written("    access readwrite\n"), "\nformat XX\n");
    EXPECT_EQ(written("    access writeonly\n"), "\nformat XX\n    access\t\twriteonly\n");
    EXPECT_EQ(written("    access readonly\n"), "\nformat XX\n    access\t\treadonly\n");
}

TEST_F(KeldbgenWriterTest, DsoIsIgnored)
{
    EXPECT_EQ(written("    dso libfoo.so\n"), "\nformat XX\n");
    EXPECT_EQ(written("    dll libkelX0.so\n    dso libfoo.so\n"), "\nformat XX\n    dll\t\t\tlibkelX0.so\n");
}

TEST_F(KeldbgenWriterTest, SuffixFromAStringStaysAString)
{
    EXPECT_EQ(written("    suffixes .a, \".b\", \"c d\"\n"), "\nformat XX\n    suffixes\t\t.a,.b,\"c d\"\n");
}

TEST_F(KeldbgenWriterTest, NumbersUpTo31AreDecimalOthersHex)
{
    EXPECT_EQ(matchLine("uchar(0) == 31"), "uchar(0) == 31");
    EXPECT_EQ(matchLine("uchar(0) == 32"), "uchar(0) == 0x20");
    EXPECT_EQ(matchLine("uchar(0) == -1"), "uchar(0) == 0xffffffff");
    EXPECT_EQ(matchLine("uchar(0) == 0"), "uchar(0) == 0");
    EXPECT_EQ(matchLine("uchar(0) == 010"), "uchar(0) == 8");
    EXPECT_EQ(matchLine("ulong(0) == 0x80000000"), "ulong(0) == 0x80000000");
}

TEST_F(KeldbgenWriterTest, FileReadsAndOperators)
{
    EXPECT_EQ(matchLine("char(1) != 2"), "char(1) != 2");
    EXPECT_EQ(matchLine("ushort(2) <= 3"), "ushort(2) <= 3");
    EXPECT_EQ(matchLine("short(3) >= 4"), "short(3) >= 4");
    EXPECT_EQ(matchLine("uint(4) < 5"), "ulong(4) < 5");
    EXPECT_EQ(matchLine("int(5) > 6"), "long(5) > 6");
    EXPECT_EQ(matchLine("long(6) == ulong(7)"), "long(6) == ulong(7)");
    EXPECT_EQ(matchLine("string(0,4) == \"a\\\"b\""), "string(0,4) == \"a\\\"b\"");
}

TEST_F(KeldbgenWriterTest, MixedAndOrGroupsAreParenthesised)
{
    EXPECT_EQ(matchLine("1 == 1 && 2 == 2 || 3 == 3"), "(1 == 1 && 2 == 2) || 3 == 3");
    EXPECT_EQ(matchLine("1 == 1 && (2 == 2 || 3 == 3)"), "1 == 1 && (2 == 2 || 3 == 3)");
    EXPECT_EQ(matchLine("((1 == 1))"), "1 == 1");
    EXPECT_EQ(matchLine("1 == 1 || 2 == 2 || 3 == 3"), "1 == 1 || 2 == 2 || 3 == 3");
}

TEST_F(KeldbgenWriterTest, LongChainsBreakAfterTheOperatorOnceTheBudgetIsLow)
{
    // Each comparison is 17 characters: after two of them and two operators
    // only 14 columns remain.
    EXPECT_EQ(matchLine("uchar(10) == 0x47 && uchar(11) == 0x49 && uchar(12) == 0x46 && "
                        "uchar(13) == 0x38 && uchar(14) == 0x39"),
              "uchar(10) == 0x47 && uchar(11) == 0x49 && \n\t\t\t"
              "uchar(12) == 0x46 && uchar(13) == 0x38 && \n\t\t\t"
              "uchar(14) == 0x39");
}

TEST_F(KeldbgenWriterTest, ParenthesesCountAgainstTheBudget)
{
    // 1 + 13 + 4 + 13 + 1 = 32 columns, then " || " leaves exactly 20;
    // without the parentheses 22 would remain.
    EXPECT_EQ(matchLine("uchar(0) == 1 && uchar(1) == 2 || uchar(2) == 3"),
              "(uchar(0) == 1 && uchar(1) == 2) || \n\t\t\tuchar(2) == 3");
    EXPECT_EQ(matchLine("uchar(0) == 1 || uchar(1) == 2 || uchar(2) == 3"),
              "uchar(0) == 1 || uchar(1) == 2 || uchar(2) == 3");
    EXPECT_EQ(matchLine("uchar(0) == 1 && uchar(1) == 2 || uchar(2) == 3 && uchar(3) == 4"),
              "(uchar(0) == 1 && uchar(1) == 2) || \n\t\t\t(uchar(2) == 3 && uchar(3) == 4)");
}

TEST_F(KeldbgenWriterTest, VeryLongChainsAreReadAndWrittenWhole)
{
    // Such a chain nests 200000 levels deep on the left.
    const int terms = 200000;
    std::string expr = "1 == 1";
    for (int i = 1; i < terms; i++)
        expr += i % 2 ? " && 2 == 2" : " && 1 == 1";
    std::string text = matchLine(expr);
    size_t operators = 0;
    for (size_t at = text.find(" && "); at != std::string::npos; at = text.find(" && ", at + 4))
        operators++;
    EXPECT_EQ(operators, size_t(terms - 1));
    EXPECT_EQ(text.substr(text.size() - 6), "2 == 2");
}
