#include "file_test_support.h"

namespace {

// Parses and keeps the block alive for the checks; frees it at scope end.
class ParsedName {
public:
    explicit ParsedName(const char* name)
    {
        block = kelFile::parseFileName(name, &format, &index, &args);
    }
    ~ParsedName() { free(block); }
    ParsedName(const ParsedName&) = delete;
    ParsedName& operator=(const ParsedName&) = delete;

    std::string fmt() const { return format ? format : "(null)"; }
    std::string arg() const { return args ? args : "(null)"; }

    char* block;
    char* format;
    int index;
    char* args;
};

TEST(ParseFileName, PlainPath)
{
    ParsedName p("pic.gif");
    EXPECT_STREQ("pic.gif", p.block);
    EXPECT_EQ(nullptr, p.format);
    EXPECT_EQ(-1, p.index);
    EXPECT_EQ(nullptr, p.args);
}

TEST(ParseFileName, NullName)
{
    char* fmt = reinterpret_cast<char*>(1);
    char* args = reinterpret_cast<char*>(1);
    int index = 7;
    EXPECT_EQ(nullptr, kelFile::parseFileName(nullptr, &fmt, &index, &args));
    EXPECT_EQ(nullptr, fmt);
    EXPECT_EQ(-1, index);
    EXPECT_EQ(nullptr, args);
}

TEST(ParseFileName, FormatAndArguments)
{
    ParsedName p("data#Raw%size=10,20,1,3");
    EXPECT_STREQ("data", p.block);
    EXPECT_EQ("Raw", p.fmt());
    EXPECT_EQ("size=10,20,1,3", p.arg());
    EXPECT_EQ(-1, p.index);
}

TEST(ParseFileName, ArgumentsAreTakenUnchanged)
{
    ParsedName p("d%a=1%b=x#y:3%%c::d##");
    EXPECT_STREQ("d", p.block);
    EXPECT_EQ("a=1%b=x#y:3%%c::d##", p.arg());
    EXPECT_EQ(nullptr, p.format);
    EXPECT_EQ(-1, p.index);
}

TEST(ParseFileName, ImageIndex)
{
    ParsedName a("movie.fit:3");
    EXPECT_STREQ("movie.fit", a.block);
    EXPECT_EQ(3, a.index);

    ParsedName b("movie:12#FIT%x=1");
    EXPECT_STREQ("movie", b.block);
    EXPECT_EQ(12, b.index);
    EXPECT_EQ("FIT", b.fmt());
    EXPECT_EQ("x=1", b.arg());
}

TEST(ParseFileName, ColonThatIsNoIndexStaysInThePath)
{
    ParsedName a("pic:x2");
    EXPECT_STREQ("pic:x2", a.block);
    EXPECT_EQ(-1, a.index);
    ParsedName b("pic:2z");
    EXPECT_STREQ("pic:2z", b.block);
    EXPECT_EQ(-1, b.index);
    ParsedName c("C:\\data\\pic.rgb");
    EXPECT_STREQ("C:\\data\\pic.rgb", c.block);
    ParsedName d("pic:");
    EXPECT_STREQ("pic:", d.block);
    EXPECT_EQ(-1, d.index);
    ParsedName e("C:\\dir\\pic:4");
    EXPECT_STREQ("C:\\dir\\pic", e.block);
    EXPECT_EQ(4, e.index);
}

TEST(ParseFileName, HugeIndexDoesNotWrap)
{
    ParsedName p("pic:99999999999999999999");
    EXPECT_STREQ("pic", p.block);
    EXPECT_GT(p.index, 0);
}

TEST(ParseFileName, DoubledDelimitersStandForThemselves)
{
    ParsedName a("a##b");
    EXPECT_STREQ("a#b", a.block);
    EXPECT_EQ(nullptr, a.format);
    ParsedName b("x::2");
    EXPECT_STREQ("x:2", b.block);
    EXPECT_EQ(-1, b.index);
    ParsedName c("100%%#Raw");
    EXPECT_STREQ("100%", c.block);
    EXPECT_EQ("Raw", c.fmt());
    ParsedName d("a###b");
    EXPECT_STREQ("a#", d.block);
    EXPECT_EQ("b", d.fmt());
}

TEST(ParseFileName, LaterFormatReplacesEarlier)
{
    ParsedName p("f#One#Two");
    EXPECT_STREQ("f", p.block);
    EXPECT_EQ("Two", p.fmt());
}

TEST(ParseFileName, OutputsAreOptional)
{
    char* block = kelFile::parseFileName("a#B:1%c", nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, block);
    EXPECT_STREQ("a", block);
    free(block);
}

class Arguments : public ::testing::Test {
protected:
    int parse(const char* text, int maxParams = 16)
    {
        file.setArgs(text);
        return file.parse(params, maxParams);
    }
    std::string name(int i) const { return params[i].name; }
    std::string value(int i) const { return params[i].value ? params[i].value : "(null)"; }

    ProbeFile file;
    kelParameterDesc params[16];
};

TEST_F(Arguments, NoArgumentText)
{
    EXPECT_EQ(0, parse(nullptr));
    EXPECT_EQ(0, parse(""));
    EXPECT_EQ(0, parse(" %\t%"));
}

TEST_F(Arguments, SeparatorsAndBlanksAroundEquals)
{
    ASSERT_EQ(4, parse("size = 10,20%pagesize=4,4\tflag  %type=float"));
    EXPECT_EQ("size", name(0));
    EXPECT_EQ("10,20", value(0));
    EXPECT_EQ("pagesize", name(1));
    EXPECT_EQ("4,4", value(1));
    EXPECT_EQ("flag", name(2));
    EXPECT_EQ("(null)", value(2));
    EXPECT_EQ("type", name(3));
    EXPECT_EQ("float", value(3));
}

TEST_F(Arguments, StopsAtMaxParams)
{
    ASSERT_EQ(2, parse("a=1 b c=3", 2));
    EXPECT_EQ("a", name(0));
    EXPECT_EQ("1", value(0));
    EXPECT_EQ("b", name(1));
    EXPECT_EQ("(null)", value(1));
}

TEST_F(Arguments, EmptyValueAndTrailingName)
{
    ASSERT_EQ(2, parse("a=%b"));
    EXPECT_EQ("a", name(0));
    EXPECT_EQ("", value(0));
    EXPECT_EQ("b", name(1));
    EXPECT_EQ("(null)", value(1));
}

TEST(LookupName, PrefixWithoutCase)
{
    const kelNameDesc table[] = {{"size", 1}, {"pagesize", 2}, {"order", 3}, {"orientation", 4}, {nullptr, -1}};
    EXPECT_EQ(2, ProbeFile::lookup("pages", table));
    EXPECT_EQ(2, ProbeFile::lookup("PAGESIZE", table));
    EXPECT_EQ(3, ProbeFile::lookup("o", table));
    EXPECT_EQ(4, ProbeFile::lookup("ori", table));
    EXPECT_EQ(1, ProbeFile::lookup("", table));
    EXPECT_EQ(-1, ProbeFile::lookup("x", table));
    EXPECT_EQ(-1, ProbeFile::lookup("sizes", table));
    const kelNameDesc other[] = {{"a", 1}, {nullptr, 99}};
    EXPECT_EQ(99, ProbeFile::lookup("b", other));
}

} // namespace
