// Reading X bitmaps: the texts the reader takes, the pages they give, and
// the texts it refuses.
#include "xbm_test_support.h"

namespace {

typedef std::vector<unsigned char> Bytes;

struct ReadCase {
    const char* label;
    const char* text;
    int width, height, pageWidth;
    Bytes page;
    int hotX = -1, hotY = -1;
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.label;
}

class XBMRead : public ::testing::TestWithParam<ReadCase> {
protected:
    ScratchDir dir;
};

TEST_P(XBMRead, GivesSizePageAndHotSpot)
{
    const ReadCase& c = GetParam();
    kelStatus sts;
    kelFile* f = openXBM(dir.write("in.xbm", c.text), sts);
    ASSERT_EQ(kelOKAY, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(kelSize(c.width, c.height, 1, 1), storedSize(f));
    EXPECT_EQ(kelSize(c.pageWidth, c.height, 1, 1), storedPageSize(f));
    EXPECT_EQ(kelBit, f->getDataType());
    EXPECT_EQ(kelInterleaved, f->getOrder());
    EXPECT_EQ(kelUpperLeftOrigin, f->getOrientation());
    EXPECT_EQ(kelNegative, f->getColorModel());
    EXPECT_EQ(kelNoCompression, f->getCompression());
    EXPECT_EQ(c.page, readPage(f, sts));
    EXPECT_EQ(kelOKAY, sts);
    // Every read starts again at the array.
    EXPECT_EQ(c.page, readPage(f, sts));
    int x = -2, y = -2;
    if (c.hotX >= 0) {
        EXPECT_EQ(kelOKAY, f->getItem(kelXBMhotSpot, &x, &y));
        EXPECT_EQ(c.hotX, x);
        EXPECT_EQ(c.hotY, y);
    } else {
        EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelXBMhotSpot, &x, &y));
    }
    EXPECT_EQ(kelOKAY, f->close());
}

// 10 x 2 with the values 0x01, 0x02, 0x80, 0x00: the leftmost pixel of
// row 0 is set, and pixel 9 of row 0, and pixel 7 of row 1.
const Bytes tenByTwo = {0x80, 0x40, 0x01, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Texts, XBMRead,
    ::testing::Values(
        ReadCase{"ByteArray",
                 "#define t_width 10\n#define t_height 2\nstatic unsigned char t_bits[] = {\n 0x01, 0x02, 0x80, "
                 "0x00};\n",
                 10, 2, 16, tenByTwo},
        ReadCase{"CommentsAndBlankLines",
                 "/* A bitmap\n * described over\n * several lines */\n\n#define c_width 10\n/* one line */\n  \t\n"
                 "#define c_height 2\n\nstatic char c_bits[] = {\n/* row 0 */\n 0x01, 0x02,\n\n/* row 1\n */\n"
                 " 0x80, 0x00 };\n",
                 10, 2, 16, tenByTwo},
        ReadCase{"NumberBases",
                 "#define n_width 8\n#define n_height 6\nstatic char n_bits[] = {\n 1, 0x2, 0X80, 010, 0377, 0x101 };\n",
                 8, 6, 8, {0x80, 0x40, 0x01, 0x10, 0xff, 0x80}},
        ReadCase{"ValuesOnTheHeadLine",
                 "#define h_width 10\n#define h_height 2\nstatic char h_bits[] = { 0x01, 0x02,\n 0x80, 0x00 };\n", 10,
                 2, 16, tenByTwo},
        ReadCase{"AllOnOneLineWithoutFinalNewline",
                 "#define o_width 10\n#define o_height 2\nstatic char o_bits[]={0x01,0x02,0x80,0x00};", 10, 2, 16,
                 tenByTwo},
        ReadCase{"CarriageReturns",
                 "#define r_width 10\r\n#define r_height 2\r\nstatic char r_bits[] = {\r\n 0x01, 0x02,\r\n 0x80, "
                 "0x00 };\r\n",
                 10, 2, 16, tenByTwo},
        ReadCase{"ShortArrayLeavesZeros",
                 "#define s_width 10\n#define s_height 2\nstatic char s_bits[] = {\n 0x01, 0x02 };\n", 10, 2, 16,
                 {0x80, 0x40, 0x00, 0x00}},
        ReadCase{"ValuesPastThePageAreIgnored",
                 "#define p_width 8\n#define p_height 1\nstatic char p_bits[] = {\n 0x01, 0x02, 0x03 };\n", 8, 1, 8,
                 {0x80}},
        ReadCase{"QualifiedElementType",
                 "#define q_width 8\n#define q_height 1\nstatic const unsigned char q_bits[] = {\n 0x81 };\n", 8, 1,
                 8, {0x81}},
        ReadCase{"ArrayLengthGiven",
                 "#define l_width 8\n#define l_height 1\nstatic char l_bits[1] = {\n 0x07 };\n", 8, 1, 8, {0xe0}},
        // X10: the low byte of each value holds the leftmost eight pixels.
        ReadCase{"ShortArray",
                 "#define x_width 10\n#define x_height 2\nstatic short x_bits[] = {\n 0x0201, 0x8001 };\n", 10, 2, 16,
                 {0x80, 0x40, 0x80, 0x01}},
        ReadCase{"ShortRowsPaddedToSixteen",
                 "#define w_width 20\n#define w_height 2\nstatic unsigned short w_bits[] = {\n 0x0001, 0x000f,\n"
                 " 0xff00, 0x0008 };\n",
                 20, 2, 32, {0x80, 0x00, 0xf0, 0x00, 0x00, 0xff, 0x10, 0x00}},
        ReadCase{"HotSpotAndOtherDefines",
                 "#define FOO 7\n#define k_x_hot 3\n  #define k_y_hot 1\n#define k_depth 1\n#define k_width 8\n"
                 "#define k_height 1\n#define k_width_is 12\nstatic char k_bits[] = {\n 0x03 };\n",
                 8, 1, 8, {0xc0}, 3, 1},
        ReadCase{"HotSpotWithOneCoordinateOnly",
                 "#define k_x_hot 3\n#define k_width 8\n#define k_height 1\nstatic char k_bits[] = {\n 0x03 };\n", 8,
                 1, 8, {0xc0}}));

TEST(XBMReadLongLines, AManyThousandValueLineIsOneLine)
{
    ScratchDir dir;
    std::string text = "#define l_width 8\n#define l_height 20000\nstatic char l_bits[] = {";
    for (int i = 0; i < 20000; ++i)
        text += i % 2 ? " 0x01," : " 0x80,";
    text += "};\n";
    kelStatus sts;
    kelFile* f = openXBM(dir.write("long.xbm", text), sts);
    ASSERT_NE(nullptr, f);
    Bytes page = readPage(f, sts);
    EXPECT_EQ(kelOKAY, sts);
    Bytes expected(20000);
    for (int i = 0; i < 20000; ++i)
        expected[i] = i % 2 ? 0x80 : 0x01;
    EXPECT_EQ(expected, page);
    f->close();
}

// A line beyond the bound fails the read instead of taking any memory it asks for.
TEST(XBMReadLongLines, ALineBeyondTheBoundFailsTheRead)
{
    ScratchDir dir;
    const std::string head = "#define l_width 8\n#define l_height 2\nstatic char l_bits[] = {\n";
    const std::string huge(size_t(17) << 20, ' ');
    kelStatus sts;
    kelFile* f = openXBM(dir.write("values.xbm", head + "0x01," + huge + "0x02\n};\n"), sts);
    ASSERT_NE(nullptr, f);
    readPage(f, sts);
    EXPECT_EQ(kelREADFAILED, sts);
    f->close();
    EXPECT_EQ(nullptr, openXBM(dir.write("head.xbm", "/*" + huge + "*/\n" + head + "0x01 };\n"), sts));
    EXPECT_EQ(kelREADFAILED, sts);
}

TEST(XBMReadEnd, APrematureEndWarnsAndLeavesTheRestZero)
{
    ScratchDir dir;
    kelStatus sts;
    kelFile* f = openXBM(
        dir.write("cut.xbm", "#define p_width 8\n#define p_height 3\nstatic char p_bits[] = {\n 0x01, 0x02,"), sts);
    ASSERT_NE(nullptr, f);
    CapturedMessages messages;
    {
        kelSetLocalErrorHandler capture(CapturedMessages::handler, &messages);
        EXPECT_EQ((Bytes{0x80, 0x40, 0x00}), readPage(f, sts));
    }
    EXPECT_EQ(kelOKAY, sts);
    ASSERT_EQ(1u, messages.texts.size());
    EXPECT_EQ("premature end of file in XBM image", messages.texts[0]);
    EXPECT_EQ(kelSeverityWarning, messages.severities[0]);
    f->close();
}

struct Refusal {
    const char* label;
    std::string text;
    kelStatus status;
};

void PrintTo(const Refusal& r, std::ostream* os)
{
    *os << r.label;
}

class XBMRefusal : public ::testing::TestWithParam<Refusal> {
protected:
    ScratchDir dir;
};

TEST_P(XBMRefusal, FailsTheOpenAndLeaksNoDescriptor)
{
    const Refusal& r = GetParam();
    const std::string path = dir.write("bad.xbm", r.text);
    int lowest = lowestFreeFd();
    kelStatus sts;
    EXPECT_EQ(nullptr, openXBM(path + "#XBM", sts));
    EXPECT_EQ(r.status, sts);
    EXPECT_EQ(lowest, lowestFreeFd());

    // A descriptor of the caller's stays open and is not taken over.
    int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(nullptr, kelFile::open(fd, path.c_str(), O_RDONLY, kelFormat::findByFormatName("XBM", 1), &sts));
    EXPECT_EQ(r.status, sts);
    EXPECT_NE(-1, fcntl(fd, F_GETFD));
    EXPECT_EQ(0, ::close(fd));
    EXPECT_EQ(lowest, lowestFreeFd());
}

const std::string sizes = "#define a_width 8\n#define a_height 1\n";

INSTANTIATE_TEST_SUITE_P(
    Texts, XBMRefusal,
    ::testing::Values(
        Refusal{"HeadBeforeHeight", "#define a_width 8\nstatic char a_bits[] = {\n 0x01 };\n#define a_height 1\n",
                kelBADIMGFMT},
        Refusal{"IntElements", sizes + "static int a_bits[] = {\n 0x01 };\n", kelBADIMGFMT},
        Refusal{"UnsignedLongElements", sizes + "static unsigned long a_bits[] = {\n 0x01 };\n", kelBADIMGFMT},
        Refusal{"NotStatic", sizes + "char a_bits[] = {\n 0x01 };\n", kelBADIMGFMT},
        Refusal{"NoBrackets", sizes + "static char a_bits = {\n 0x01 };\n", kelBADIMGFMT},
        Refusal{"NoBrace", sizes + "static char a_bits[] =\n { 0x01 };\n", kelBADIMGFMT},
        Refusal{"OtherText", sizes + "int main() {}\n", kelBADIMGFMT},
        Refusal{"ZeroWidth", "#define a_width 0\n#define a_height 1\nstatic char a_bits[] = {\n};\n", kelBADIMGFMT},
        Refusal{"NegativeHeight", "#define a_width 8\n#define a_height -1\nstatic char a_bits[] = {\n};\n",
                kelBADIMGFMT},
        Refusal{"WidthBeyondInt", "#define a_width 4294967304\n#define a_height 1\nstatic char a_bits[] = {\n};\n",
                kelBADIMGFMT},
        Refusal{"PageOfMoreThanIntPixels",
                "#define a_width 65536\n#define a_height 65536\nstatic char a_bits[] = {\n};\n", kelBADIMGFMT},
        Refusal{"PageWidthRoundedPastInt",
                "#define a_width 2147483647\n#define a_height 1\nstatic char a_bits[] = {\n};\n", kelBADIMGFMT},
        Refusal{"EndBeforeTheArray", sizes, kelREADFAILED},
        Refusal{"EmptyText", "", kelREADFAILED},
        Refusal{"UnclosedComment", "/* no end\n" + sizes + "static char a_bits[] = {\n 0x01 };\n", kelREADFAILED}));

TEST(XBMItems, OnlyTheHotSpotWithTwoPointers)
{
    ScratchDir dir;
    kelStatus sts;
    kelFile* f = openXBM(dir.write("i.xbm", "#define i_width 8\n#define i_height 1\n#define i_x_hot 2\n"
                                            "#define i_y_hot 0\nstatic char i_bits[] = {\n 0x01 };\n"),
                         sts);
    ASSERT_NE(nullptr, f);
    int x = -5, y = -5;
    EXPECT_EQ(kelBADPARAMS, f->getItem(kelXBMhotSpot, &x, (int*)nullptr));
    EXPECT_EQ(kelBADPARAMS, f->getItem(kelXBMhotSpot, (int*)nullptr, &y));
    EXPECT_EQ(kelBADPARAMS, f->getItem(1, &x, &y));
    EXPECT_EQ(kelBADPARAMS, f->setItem(1, 1, 1));
    EXPECT_EQ(kelOKAY, f->setItem(kelXBMhotSpot, 3, -1));
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelXBMhotSpot, &x, &y));
    EXPECT_EQ(kelOKAY, f->setItem(kelXBMhotSpot, 7, 0));
    EXPECT_EQ(kelOKAY, f->getItem(kelXBMhotSpot, &x, &y));
    EXPECT_EQ(7, x);
    EXPECT_EQ(0, y);
    f->close();
}

} // namespace
