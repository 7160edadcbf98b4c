#include <gtest/gtest.h>
#include <kel/kel.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// Collects the messages sent to the error handler while it lives.
class MessageLog {
public:
    MessageLog() : guard(record, this) {}
    std::vector<std::string> warnings;
    int others = 0;

private:
    static void record(void* arg, int flags, const char* fmt, va_list args)
    {
        MessageLog* log = (MessageLog*)arg;
        char text[256];
        vsnprintf(text, sizeof text, fmt, args);
        if ((flags & 0xff) == kelSeverityWarning)
            log->warnings.push_back(text);
        else
            log->others++;
    }
    kelSetLocalErrorHandler guard;
};

// A file whose items record the arguments they receive. getItem expects
// `expected` pointers of the kind given and stores known values through
// them; setItem expects `expected` values passed the way tags pass them.
class RecordingFile : public kelFile {
public:
    enum Kind { Short, Int, Float, Double, String };
    Kind kind = Int;
    int expected = 0;
    kelStatus result = kelOKAY;

    int calls = 0;
    int lastTag = -1;
    std::vector<void*> pointers;
    std::vector<double> numbers;
    std::vector<std::string> strings;
    char ownStrings[5][8] = {"zero", "one", "two", "three", "four"};

    kelStatus getItem(int tag, va_list args) override
    {
        calls++;
        lastTag = tag;
        for (int i = 0; i < expected; i++)
            pointers.push_back(storeThrough(args, i));
        return result;
    }

    kelStatus setItem(int tag, va_list args) override
    {
        calls++;
        lastTag = tag;
        for (int i = 0; i < expected; i++) {
            if (kind == String)
                strings.push_back(va_arg(args, char*));
            else if (kind == Float || kind == Double)
                numbers.push_back(va_arg(args, double));
            else
                numbers.push_back(va_arg(args, int));
        }
        return result;
    }

protected:
    kelStatus openFile() override { return kelOKAY; }
    kelStatus closeFile() override { return kelOKAY; }

private:
    void* storeThrough(va_list args, int i)
    {
        switch (kind) {
        case Short: {
            short* p = va_arg(args, short*);
            *p = short(-100 - i);
            return p;
        }
        case Float: {
            float* p = va_arg(args, float*);
            *p = 0.5f + i;
            return p;
        }
        case Double: {
            double* p = va_arg(args, double*);
            *p = 0.25 + i;
            return p;
        }
        case String: {
            char** p = va_arg(args, char**);
            *p = ownStrings[i];
            return p;
        }
        default: {
            int* p = va_arg(args, int*);
            *p = 100 + i;
            return p;
        }
        }
    }
};

const kelEnumSpec modes[] = {{"none", 0}, {"normal", 1}, {"Restore", 7}, {nullptr, -1}};

kelTagDescription describe(unsigned int flags, const void* spec = nullptr)
{
    return {9, flags, "A value for testing", "Sample", "0", spec};
}

template <typename T> T at(const kelTag& tag, int i)
{
    return ((const T*)tag.getValue())[i];
}

std::string encoded(const kelTag& tag)
{
    char buf[256];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(kelOKAY, tag.encode(buf));
    return buf;
}

TEST(TagInit, StorageIsZeroedAndFollowsTheDescription)
{
    kelTagDescription d = describe(0x6313);
    kelTag tag(&d);
    EXPECT_EQ(0x10, tag.getType());
    EXPECT_EQ(3, tag.getCount());
    ASSERT_NE(nullptr, tag.getValue());
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(0, at<int>(tag, i));
    EXPECT_EQ("0, 0, 0", encoded(tag));

    kelTag empty;
    EXPECT_EQ(nullptr, empty.getValue());
    EXPECT_EQ(0, empty.getCount());
    EXPECT_EQ("", encoded(empty));
}

TEST(TagInit, ReinitReleasesTheEarlierValues)
{
    kelTagDescription strings = describe(0x32);
    kelTagDescription ints = describe(0x12);
    kelTag tag(&strings);
    ASSERT_EQ(kelOKAY, tag.decode("abc def"));
    tag.init(&ints);
    EXPECT_EQ(2, tag.getCount());
    EXPECT_EQ(0, at<int>(tag, 1));
}

TEST(TagInit, UnknownTypesHaveNoStorageAndAreIgnored)
{
    kelTagDescription d = describe(0xc2);
    kelTag tag(&d);
    RecordingFile file;
    EXPECT_EQ(nullptr, tag.getValue());
    EXPECT_EQ(kelOKAY, tag.decode("1 2"));
    EXPECT_EQ("", encoded(tag));
    EXPECT_EQ(kelOKAY, tag.read(&file));
    EXPECT_EQ(kelOKAY, tag.write(&file));
    EXPECT_EQ(0, file.calls);
}

// The vectors of RFC 4648, with blanks and padding left out where decoding
// allows; null bytes: the text is refused.
TEST(TagBytes, Base64BothWays)
{
    const struct {
        const char* text;
        const char* bytes;
        const char* canonical;
    } cases[] = {{"", "", ""},          {"Zg==", "f", "Zg=="},     {"Zm8", "fo", "Zm8="},
                 {"Zm9v", "foo", "Zm9v"}, {" Zm9v\nYg== ", "foob", "Zm9vYg=="}, {"Zm9vYmE=", "fooba", "Zm9vYmE="},
                 {"Zm9vYmFy", "foobar", "Zm9vYmFy"}, {"/+8=", "\xff\xef", "/+8="}, {"Zm9vY", nullptr, nullptr},
                 {"Zm9v!", nullptr, nullptr}, {"Zg==Zg", nullptr, nullptr}};
    kelTagDescription d = describe(kelTagBytes | 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        kelTag tag(&d);
        MessageLog log;
        ASSERT_EQ(c.bytes ? kelOKAY : kelStatus(kelBADPARAMS), tag.decode(c.text));
        if (!c.bytes) {
            EXPECT_EQ(1u, log.warnings.size());
            continue;
        }
        const kelTagByteBlock* block = static_cast<const kelTagByteBlock*>(tag.getValue());
        EXPECT_EQ(std::string(c.bytes), std::string(static_cast<const char*>(block->data), size_t(block->size)));
        EXPECT_EQ(c.canonical, encoded(tag));
    }
}

TEST(TagDecode, IntegersWithSeparatorsAndBases)
{
    kelTagDescription d = describe(0x13);
    kelTag tag(&d);
    const char* texts[] = {"1, 2,3", "1 2 3", " \t1\t,2 ,  3  "};
    for (const char* t : texts) {
        ASSERT_EQ(kelOKAY, tag.decode(t)) << t;
        EXPECT_EQ(1, at<int>(tag, 0)) << t;
        EXPECT_EQ(2, at<int>(tag, 1)) << t;
        EXPECT_EQ(3, at<int>(tag, 2)) << t;
    }
    ASSERT_EQ(kelOKAY, tag.decode("0x10 010 -7"));
    EXPECT_EQ(16, at<int>(tag, 0));
    EXPECT_EQ(8, at<int>(tag, 1));
    EXPECT_EQ(-7, at<int>(tag, 2));
    // More values than the tag holds: the rest is ignored.
    ASSERT_EQ(kelOKAY, tag.decode("4 5 6 7"));
    EXPECT_EQ(6, at<int>(tag, 2));
}

TEST(TagDecode, TooFewValuesWarnAndLeaveTheRestUnchanged)
{
    kelTagDescription d = describe(0x13);
    kelTag tag(&d);
    MessageLog log;
    EXPECT_EQ(kelBADPARAMS, tag.decode("1, 2"));
    ASSERT_EQ(1u, log.warnings.size());
    EXPECT_EQ("Not enough values for Sample tag", log.warnings[0]);
    EXPECT_EQ(2, at<int>(tag, 1));
    EXPECT_EQ(0, at<int>(tag, 2));

    EXPECT_EQ(kelBADPARAMS, tag.decode(""));
    EXPECT_EQ(kelBADPARAMS, tag.decode(" \t "));
    EXPECT_EQ(kelBADPARAMS, tag.decode(nullptr));
    EXPECT_EQ(1u, log.warnings.size());
    EXPECT_EQ(0, log.others);
}

TEST(TagDecode, ShortValuesAreSixteenBits)
{
    kelTagDescription d = describe(0x02);
    kelTag tag(&d);
    ASSERT_EQ(kelOKAY, tag.decode("-2, 0x7fff"));
    EXPECT_EQ(-2, at<short>(tag, 0));
    EXPECT_EQ(32767, at<short>(tag, 1));
    EXPECT_EQ("-2, 32767", encoded(tag));
}

TEST(TagDecode, Booleans)
{
    kelTagDescription d = describe(0x41);
    kelTag tag(&d);
    const struct {
        const char* text;
        int value;
    } cases[] = {{"F", 0}, {"false", 0}, {"fa", 0}, {"FALSE", 0}, {"T", 1}, {"TRUE", 1}, {"tr", 1},
                 {"7", 7}, {"falsey", 0}, {"-3", -3}, {"yes", 0}};
    for (const auto& c : cases) {
        ASSERT_EQ(kelOKAY, tag.decode(c.text)) << c.text;
        EXPECT_EQ(c.value, at<int>(tag, 0)) << c.text;
    }
}

TEST(TagDecode, QuotedStrings)
{
    kelTagDescription d = describe(0x32);
    kelTag tag(&d);
    ASSERT_EQ(kelOKAY, tag.decode("'a b', \"c\""));
    EXPECT_STREQ("a b", at<char*>(tag, 0));
    EXPECT_STREQ("c", at<char*>(tag, 1));
    ASSERT_EQ(kelOKAY, tag.decode("\"it's\" plain,more"));
    EXPECT_STREQ("it's", at<char*>(tag, 0));
    EXPECT_STREQ("plain", at<char*>(tag, 1));
    ASSERT_EQ(kelOKAY, tag.decode("'' x"));
    EXPECT_STREQ("", at<char*>(tag, 0));
}

TEST(TagDecode, UnclosedQuoteEndsTheParse)
{
    kelTagDescription d = describe(0x32);
    kelTag tag(&d);
    MessageLog log;
    EXPECT_EQ(kelBADPARAMS, tag.decode("'a', \"b"));
    EXPECT_STREQ("a", at<char*>(tag, 0));
    EXPECT_EQ(nullptr, at<char*>(tag, 1));
    EXPECT_EQ(1u, log.warnings.size());
    EXPECT_EQ(kelBADPARAMS, tag.decode("'open"));
    EXPECT_EQ(nullptr, at<char*>(tag, 0));
    EXPECT_EQ(1u, log.warnings.size());
}

TEST(TagDecode, SingleStringTakesTheWholeText)
{
    kelTagDescription d = describe(0x31);
    kelTag tag(&d);
    ASSERT_EQ(kelOKAY, tag.decode("  x, y z "));
    EXPECT_STREQ("x, y z ", at<char*>(tag, 0));
    ASSERT_EQ(kelOKAY, tag.decode("\"quoted\" tail"));
    EXPECT_STREQ("quoted", at<char*>(tag, 0));
    EXPECT_EQ("quoted", encoded(tag));
}

TEST(TagDecode, EnumerationsMatchTheFirstRowWithThePrefix)
{
    kelTagDescription d = describe(0x62, modes);
    kelTag tag(&d);
    MessageLog log;
    ASSERT_EQ(kelOKAY, tag.decode("no, nor"));
    EXPECT_EQ(0, at<int>(tag, 0));
    EXPECT_EQ(1, at<int>(tag, 1));
    ASSERT_EQ(kelOKAY, tag.decode("rest NORMAL"));
    EXPECT_EQ(7, at<int>(tag, 0));
    EXPECT_EQ(1, at<int>(tag, 1));
    EXPECT_TRUE(log.warnings.empty());
    // An unknown name is counted but leaves its element unchanged.
    EXPECT_EQ(kelOKAY, tag.decode("bogus, none"));
    ASSERT_EQ(1u, log.warnings.size());
    EXPECT_EQ("Invalid value for Sample tag", log.warnings[0]);
    EXPECT_EQ(7, at<int>(tag, 0));
    EXPECT_EQ(0, at<int>(tag, 1));
}

TEST(TagDecode, ShortEnumerations)
{
    kelTagDescription d = describe(0x52, modes);
    kelTag tag(&d);
    ASSERT_EQ(kelOKAY, tag.decode("Restore normal"));
    EXPECT_EQ(7, at<short>(tag, 0));
    EXPECT_EQ(1, at<short>(tag, 1));
    EXPECT_EQ("Restore, normal", encoded(tag));
}

TEST(TagDecode, EnumerationWithoutSpecWarns)
{
    kelTagDescription d = describe(0x61);
    kelTag tag(&d);
    MessageLog log;
    EXPECT_EQ(kelOKAY, tag.decode("none"));
    EXPECT_EQ(1u, log.warnings.size());
    char buf[32];
    EXPECT_EQ(kelBADPARAMS, tag.encode(buf));
}

TEST(TagDecode, FloatingTypes)
{
    kelTagDescription f = describe(0x22), r = describe(0x81);
    kelTag floats(&f), reals(&r);
    ASSERT_EQ(kelOKAY, floats.decode("2.5, 1e39"));
    EXPECT_EQ(2.5f, at<float>(floats, 0));
    EXPECT_TRUE(isinf(at<float>(floats, 1)));
    ASSERT_EQ(kelOKAY, reals.decode("-0.125"));
    EXPECT_EQ(-0.125f, at<float>(reals, 0));

    kelTagDescription d = describe(0x92), ld = describe(0xa1);
    kelTag doubles(&d), longDoubles(&ld);
    ASSERT_EQ(kelOKAY, doubles.decode("0.5 2"));
    EXPECT_EQ(0.5, at<double>(doubles, 0));
    EXPECT_EQ(2.0, at<double>(doubles, 1));
    EXPECT_EQ("0.5, 2", encoded(doubles));
    ASSERT_EQ(kelOKAY, longDoubles.decode("1e300"));
    EXPECT_EQ(1e300, at<double>(longDoubles, 0));
    EXPECT_EQ("1e+300", encoded(longDoubles));
}

TEST(TagDecode, LongIsThirtyTwoBits)
{
    kelTagDescription d = describe(0x72);
    kelTag tag(&d);
    ASSERT_EQ(kelOKAY, tag.decode("-1 0x7fffffff"));
    EXPECT_EQ(-1, at<int>(tag, 0));
    EXPECT_EQ(2147483647, at<int>(tag, 1));
}

TEST(TagEncode, BooleansAndEnumerations)
{
    kelTagDescription b = describe(0x43);
    kelTag flags(&b);
    ASSERT_EQ(kelOKAY, flags.decode("7 f t"));
    EXPECT_EQ("True, False, True", encoded(flags));

    kelTagDescription e = describe(0x62, modes);
    kelTag mode(&e);
    EXPECT_EQ("none, none", encoded(mode));
    ((int*)mode.getValue())[1] = 5;
    char buf[64];
    EXPECT_EQ(kelBADPARAMS, mode.encode(buf));
    EXPECT_STREQ("none", buf);
}

TEST(TagEncode, StringsAndNoValues)
{
    kelTagDescription s = describe(0x33);
    kelTag strings(&s);
    MessageLog log;
    ASSERT_EQ(kelBADPARAMS, strings.decode("a \"b c\""));
    EXPECT_EQ(1u, log.warnings.size());
    EXPECT_EQ("a, b c, ", encoded(strings));

    kelTagDescription none = describe(0x10);
    kelTag empty(&none);
    EXPECT_EQ("", encoded(empty));
    EXPECT_EQ(kelOKAY, empty.decode("whatever"));
}

TEST(TagEncode, SizedBufferIsNeverOverrun)
{
    kelTagDescription d = describe(0x13);
    kelTag tag(&d);
    ASSERT_EQ(kelOKAY, tag.decode("100 200 300"));
    char buf[8];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(kelBADPARAMS, tag.encode(buf, 6));
    EXPECT_STREQ("100, ", buf);
    EXPECT_EQ('x', buf[6]);
    EXPECT_EQ(kelBADPARAMS, tag.encode(buf, 0));
    char exact[14];
    EXPECT_EQ(kelOKAY, tag.encode(exact, sizeof exact));
    EXPECT_STREQ("100, 200, 300", exact);
}

TEST(TagRead, PassesOnePointerPerElement)
{
    kelTagDescription d = describe(0x13);
    kelTag tag(&d);
    RecordingFile file;
    file.expected = 3;
    file.result = kelUNSUPPORTEDBYFILE;
    EXPECT_EQ(kelUNSUPPORTEDBYFILE, tag.read(&file));
    EXPECT_EQ(1, file.calls);
    EXPECT_EQ(9, file.lastTag);
    ASSERT_EQ(3u, file.pointers.size());
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ((int*)tag.getValue() + i, file.pointers[i]);
        EXPECT_EQ(100 + i, at<int>(tag, i));
    }
}

TEST(TagRead, PointerTypesFollowTheElements)
{
    const struct {
        unsigned int flags;
        RecordingFile::Kind kind;
        size_t size;
    } cases[] = {
        {0x05, RecordingFile::Short, sizeof(short)},  {0x54, RecordingFile::Short, sizeof(short)},
        {0x42, RecordingFile::Int, sizeof(int)},      {0x71, RecordingFile::Int, sizeof(int)},
        {0x23, RecordingFile::Float, sizeof(float)},  {0x81, RecordingFile::Float, sizeof(float)},
        {0x92, RecordingFile::Double, sizeof(double)}, {0xa2, RecordingFile::Double, sizeof(double)},
    };
    for (const auto& c : cases) {
        kelTagDescription d = describe(c.flags);
        kelTag tag(&d);
        RecordingFile file;
        file.kind = c.kind;
        file.expected = c.flags & 0xf;
        ASSERT_EQ(kelOKAY, tag.read(&file));
        ASSERT_EQ((size_t)file.expected, file.pointers.size());
        for (int i = 0; i < file.expected; i++)
            EXPECT_EQ((char*)tag.getValue() + i * c.size, file.pointers[i]) << std::hex << c.flags;
    }
}

TEST(TagRead, StringsPointIntoTheFile)
{
    kelTagDescription d = describe(0x32);
    kelTag tag(&d);
    ASSERT_EQ(kelOKAY, tag.decode("mine yours"));
    RecordingFile file;
    file.kind = RecordingFile::String;
    file.expected = 2;
    ASSERT_EQ(kelOKAY, tag.read(&file));
    EXPECT_EQ((char**)tag.getValue() + 1, file.pointers[1]);
    EXPECT_EQ(file.ownStrings[0], at<char*>(tag, 0));
    EXPECT_EQ(file.ownStrings[1], at<char*>(tag, 1));
    EXPECT_EQ("zero, one", encoded(tag));
    // Decoding again must not free the file's strings.
    ASSERT_EQ(kelOKAY, tag.decode("'x' y"));
    EXPECT_STREQ("zero", file.ownStrings[0]);
}

TEST(TagRead, CountsOutsideOneToFiveDoNothing)
{
    const unsigned int flagSet[] = {0x10, 0x16, 0x1f};
    for (unsigned int flags : flagSet) {
        kelTagDescription d = describe(flags);
        kelTag tag(&d);
        RecordingFile file;
        file.result = kelBADFIELDGET;
        EXPECT_EQ(kelOKAY, tag.read(&file));
        EXPECT_EQ(0, file.calls);
    }
}

TEST(TagRead, FiveValues)
{
    kelTagDescription d = describe(0x15);
    kelTag tag(&d);
    RecordingFile file;
    file.expected = 5;
    ASSERT_EQ(kelOKAY, tag.read(&file));
    EXPECT_EQ("100, 101, 102, 103, 104", encoded(tag));
}

TEST(TagWrite, CountZeroPassesTheTagAlone)
{
    kelTagDescription d = describe(0x40);
    kelTag tag(&d);
    RecordingFile file;
    file.result = kelREADONLY;
    EXPECT_EQ(kelREADONLY, tag.write(&file));
    EXPECT_EQ(1, file.calls);
    EXPECT_EQ(9, file.lastTag);
}

TEST(TagWrite, ValuesAreWidened)
{
    const struct {
        unsigned int flags;
        RecordingFile::Kind kind;
        const char* text;
        std::vector<double> want;
    } cases[] = {
        {0x03, RecordingFile::Short, "-5 0x7fff 1", {-5, 32767, 1}},
        {0x52, RecordingFile::Short, "normal Restore", {1, 7}},
        {0x15, RecordingFile::Int, "1 2 3 4 -5", {1, 2, 3, 4, -5}},
        {0x42, RecordingFile::Int, "true no", {1, 0}},
        {0x61, RecordingFile::Int, "nor", {1}},
        {0x71, RecordingFile::Int, "-9", {-9}},
        {0x22, RecordingFile::Float, "2.5 -0.75", {2.5, -0.75}},
        {0x81, RecordingFile::Float, "0.5", {0.5}},
        {0x92, RecordingFile::Double, "0.1 1e300", {0.1, 1e300}},
        {0xa1, RecordingFile::Double, "-2", {-2}},
    };
    for (const auto& c : cases) {
        kelTagDescription d = describe(c.flags, modes);
        kelTag tag(&d);
        ASSERT_EQ(kelOKAY, tag.decode(c.text)) << c.text;
        RecordingFile file;
        file.kind = c.kind;
        file.expected = c.flags & 0xf;
        ASSERT_EQ(kelOKAY, tag.write(&file)) << c.text;
        EXPECT_EQ(1, file.calls);
        EXPECT_EQ(c.want, file.numbers) << c.text;
    }
}

TEST(TagWrite, StringsPassTheirPointers)
{
    kelTagDescription d = describe(0x32);
    kelTag tag(&d);
    ASSERT_EQ(kelOKAY, tag.decode("\"a b\" c"));
    RecordingFile file;
    file.kind = RecordingFile::String;
    file.expected = 2;
    ASSERT_EQ(kelOKAY, tag.write(&file));
    EXPECT_EQ((std::vector<std::string>{"a b", "c"}), file.strings);
}

TEST(TagWrite, CountAboveFiveDoesNothing)
{
    kelTagDescription d = describe(0x16);
    kelTag tag(&d);
    RecordingFile file;
    EXPECT_EQ(kelOKAY, tag.write(&file));
    EXPECT_EQ(0, file.calls);
}

} // namespace
