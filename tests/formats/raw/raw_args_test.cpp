#include "raw_test_support.h"

namespace {

class RawArgs : public ::testing::Test {
protected:
    RawArgs() : path(dir.write("data", numberedBytes(2000))) {}
    // The open name of the data file with `args`.
    std::string name(const char* args) const { return path + "#Raw%" + args; }

    ScratchDir dir;
    std::string path;
};

TEST_F(RawArgs, SizeAloneGivesAnRgbImageOfOnePage)
{
    const std::string file = numberedBytes(2000);
    const std::string n = name("size=4,3");
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(n.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (!f)
            return;
        CHILD_EXPECT(storedSize(f) == kelSize(4, 3, 1, 3));
        CHILD_EXPECT(storedPageSize(f) == kelSize(4, 3, 1, 3));
        CHILD_EXPECT_EQ(f->getColorModel(), kelRGB);
        CHILD_EXPECT_EQ(f->getDataType(), kelUChar);
        CHILD_EXPECT_EQ(f->getOrder(), kelInterleaved);
        CHILD_EXPECT_EQ(f->getOrientation(), kelUpperLeftOrigin);
        CHILD_EXPECT_EQ(f->getCompression(), kelNoCompression);
        CHILD_EXPECT(strcmp(f->getFormat()->getName(), "Raw") == 0);
        std::vector<unsigned char> page = readPage(f, 0, 0, 0, 0, 37, sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(memcmp(page.data(), file.data(), 36) == 0);
        CHILD_EXPECT_EQ(page[36], 0xEE); // exactly 36 bytes were read
        CHILD_EXPECT_EQ(f->close(), 0);
    });
}

TEST_F(RawArgs, OffsetSkipsThePreamble)
{
    const std::string file = numberedBytes(2000);
    const std::string n = name("size=4,3,1,1%offset=100");
    const std::string negative = name("size=4,3,1,1%offset=-5");
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(n.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        CHILD_EXPECT_EQ(f->getColorModel(), kelLuminance);
        std::vector<unsigned char> page = readPage(f, 0, 0, 0, 0, 12, sts);
        CHILD_EXPECT(pageHoldsFileBytes(page, file, 100));
        f->close();
        f = kelFile::open(negative.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        page = readPage(f, 0, 0, 0, 0, 12, sts);
        CHILD_EXPECT(pageHoldsFileBytes(page, file, 0));
        f->close();
    });
}

TEST_F(RawArgs, PagesAlongEveryAxis)
{
    const std::string file = numberedBytes(2000);
    const std::string n = name("size=10,10%pagesize=4,4");
    const std::string sep = name("size=10,10%pagesize=4,4%order=separate");
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(n.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        CHILD_EXPECT(storedPageSize(f) == kelSize(4, 4, 1, 3));
        // page (8, 4) is page number 2 + 3 * 1 = 5, of 48 bytes
        std::vector<unsigned char> page = readPage(f, 8, 4, 0, 0, 48, sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(pageHoldsFileBytes(page, file, 5 * 48));
        f->close();

        f = kelFile::open(sep.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        CHILD_EXPECT(storedPageSize(f) == kelSize(4, 4, 1, 1));
        // channel 2 of the page at the origin: page 2 * 3 * 3 * 1, of 16 bytes
        page = readPage(f, 0, 0, 0, 2, 16, sts);
        CHILD_EXPECT(pageHoldsFileBytes(page, file, 18 * 16));
        page = readPage(f, 4, 8, 0, 1, 16, sts);
        CHILD_EXPECT(pageHoldsFileBytes(page, file, (1 + 3 * 2 + 9 * 1) * 16));
        f->close();
    });
}

TEST_F(RawArgs, TransposedOrientationSwapsTheStoredSize)
{
    const std::string n = name("orientation=lt%size=4,3%pagesize=4,1");
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(n.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        CHILD_EXPECT_EQ(f->getOrientation(), kelLeftUpperOrigin);
        CHILD_EXPECT(storedSize(f) == kelSize(3, 4, 1, 3));
        CHILD_EXPECT(storedPageSize(f) == kelSize(1, 4, 1, 3));
        kelSize s;
        f->getDimensions(s);
        CHILD_EXPECT(s == kelSize(4, 3, 1, 3));
        f->close();
    });
}

TEST_F(RawArgs, BadGeometryIsRefused)
{
    const std::vector<std::string> bad = {
        name("size=4,3,1,0%colormodel=multispectral"),
        name("size=0,3"),
        name("size=4,3,-1"),
        name("size=4,-3"),
        name("size=4,3,1,-2"),
        name("size=4,3%pagesize=-1"),
        name("type=short"),
        name("size=100000,100000,100000,100"),            // element count far beyond an int
        name("size=50000,50000,1,1"),                     // 2.5e9 elements in one page
        name("size=40000,40000,1,1%type=double"),         // 12.8e9 bytes in one page
        name("size=2147483647,2147483647,2147483647,1%pagesize=1,1,1,1"), // 2^93 pages
        name("size=99999999999,3"),                       // clamped, still far too large
    };
    EXPECT_RAW_CHILD({
        const int freeFd = lowestFreeFd();
        for (const std::string& n : bad) {
            kelStatus sts = 0;
            CHILD_EXPECT(kelFile::open(n.c_str(), O_RDONLY, &sts) == nullptr);
            if (sts != kelBADPARAMS)
                fprintf(stderr, "%s: status %d\n", n.c_str(), sts);
            CHILD_EXPECT_EQ(sts, kelBADPARAMS);
        }
        CHILD_EXPECT_EQ(lowestFreeFd(), freeFd);
    });
}

TEST_F(RawArgs, LargeButValidGeometryIsAccepted)
{
    // 2^31 - 1 pages of 1 byte: the last offset needs 64 bits... and fits.
    const std::string many = name("size=65536,32768,1,1%pagesize=1,1,1,1");
    const std::string big = name("size=46340,46340,1,1"); // 2147395600 bytes in one page
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(many.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (f) {
            // the last page lies far beyond the end of the file: it reads as zeros
            std::vector<unsigned char> page = readPage(f, 65535, 32767, 0, 0, 1, sts);
            CHILD_EXPECT_EQ(sts, 0);
            CHILD_EXPECT_EQ(page[0], 0);
            f->close();
        }
        f = kelFile::open(big.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (f)
            f->close();
    });
}

TEST_F(RawArgs, WarningsForUnusableArguments)
{
    const std::string n =
        name("bogus=1%size=4,3%type%colormodel=xyz%type=quad%order=zigzag%orientation=up%=7");
    EXPECT_RAW_CHILD({
        CapturedMessages messages;
        kelSetLocalErrorHandler guard(CapturedMessages::handler, &messages);
        kelStatus sts = -1;
        kelFile* f = kelFile::open(n.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(messages.has("Unknown parameter name: bogus"));
        CHILD_EXPECT(messages.has("Missing value for type parameter"));
        CHILD_EXPECT(messages.has("Unknown color model: xyz"));
        CHILD_EXPECT(messages.has("Unknown data type: quad"));
        CHILD_EXPECT(messages.has("Unknown dimension order: zigzag"));
        CHILD_EXPECT(messages.has("Unknown orientation: up"));
        CHILD_EXPECT_EQ(messages.texts.size(), 6u);
        for (int s : messages.severities)
            CHILD_EXPECT_EQ(s, kelSeverityWarning);
        if (!f)
            return;
        // The empty name matched the first keyword: size=7 changed x only.
        CHILD_EXPECT(storedSize(f) == kelSize(7, 3, 1, 3));
        CHILD_EXPECT_EQ(f->getDataType(), kelUChar);
        CHILD_EXPECT_EQ(f->getOrder(), kelInterleaved);
        CHILD_EXPECT_EQ(f->getOrientation(), kelUpperLeftOrigin);
        f->close();
    });
}

TEST_F(RawArgs, KeywordsByPrefixAndCase)
{
    struct Case {
        std::string args;
        kelColorModel cm;
        kelDataType type;
        int channels;
        kelOrder order;
        kelOrientation orientation;
    };
    const std::vector<Case> cases = {
        {"S=4,3%T=f%COL=c", kelCMY, kelFloat, 3, kelInterleaved, kelUpperLeftOrigin},
        {"s=4,3%t=c%c=l", kelLuminance, kelChar, 1, kelInterleaved, kelUpperLeftOrigin},
        {"size=4,3%col=luminancea%or=se%orient=rb", kelLuminanceAlpha, kelUChar, 2, kelSeparate,
         kelRightLowerOrigin},
        {"size=4,3%col=la%o=seq%ori=BL%type=us", kelLuminanceAlpha, kelUShort, 2, kelSequential,
         kelLowerLeftOrigin},
        {"size=4,3,1,5", kelMultiSpectral, kelUChar, 5, kelInterleaved, kelUpperLeftOrigin},
        {"size=4,3,1,4%colormodel=cmyk%type=ui", kelCMYK, kelUInt, 4, kelInterleaved, kelUpperLeftOrigin},
        {"size=4,3%colormodel=palette%type=b", kelRGBPalette, kelBit, 1, kelInterleaved, kelUpperLeftOrigin},
        {"size=4,3%colormodel=abgr%type=d%orientation=tr", kelABGR, kelDouble, 4, kelInterleaved,
         kelUpperRightOrigin},
    };
    std::vector<std::string> names;
    for (const Case& c : cases)
        names.push_back(name(c.args.c_str()));
    EXPECT_RAW_CHILD({
        for (size_t i = 0; i < cases.size(); i++) {
            kelStatus sts = -1;
            kelFile* f = kelFile::open(names[i].c_str(), O_RDONLY, &sts);
            CHILD_EXPECT(f != nullptr);
            if (!f)
                continue;
            CHILD_EXPECT_EQ(f->getColorModel(), cases[i].cm);
            CHILD_EXPECT_EQ(f->getDataType(), cases[i].type);
            CHILD_EXPECT_EQ(f->getCsize(), cases[i].channels);
            CHILD_EXPECT_EQ(f->getOrder(), cases[i].order);
            CHILD_EXPECT_EQ(f->getOrientation(), cases[i].orientation);
            f->close();
        }
    });
}

TEST_F(RawArgs, ScaleRangeFromArgumentsOrType)
{
    const std::string flt = name("size=2,2%type=float");
    const std::string shrt = name("size=2,2%type=short");
    const std::string given = name("size=2,2%min=-1.5%maximum=2e3%type=double");
    const std::string bit = name("size=2,2%type=bit%max=0.5");
    EXPECT_RAW_CHILD({
        auto range = [](const std::string& n, double& lo, double& hi) {
            kelStatus sts = -1;
            kelFile* f = kelFile::open(n.c_str(), O_RDONLY, &sts);
            if (!f)
                return kelStatus(-1);
            sts = f->getScaleMinMax(lo, hi);
            f->close();
            return sts;
        };
        double lo = 7, hi = 7;
        CHILD_EXPECT_EQ(range(flt, lo, hi), 0);
        CHILD_EXPECT(lo == 0.0 && hi == 1.0);
        CHILD_EXPECT_EQ(range(shrt, lo, hi), 0);
        CHILD_EXPECT(lo == -32768.0 && hi == 32767.0);
        CHILD_EXPECT_EQ(range(given, lo, hi), 0);
        CHILD_EXPECT(lo == -1.5 && hi == 2000.0);
        CHILD_EXPECT_EQ(range(bit, lo, hi), 0);
        CHILD_EXPECT(lo == 0.0 && hi == 0.5);
    });
}

TEST_F(RawArgs, AtMostSixteenArgumentsAreRead)
{
    std::string args = "size=4,3,1,1";
    for (int i = 0; i < 15; i++)
        args += "%offset=1";
    args += "%offset=7"; // the seventeenth
    const std::string n = name(args.c_str());
    const std::string file = numberedBytes(2000);
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(n.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        std::vector<unsigned char> page = readPage(f, 0, 0, 0, 0, 12, sts);
        CHILD_EXPECT(pageHoldsFileBytes(page, file, 1));
        f->close();
    });
}

TEST_F(RawArgs, FoundBySuffixWithoutFormatName)
{
    const std::string rawPath = dir.write("pic.raw", numberedBytes(64));
    const std::string n = rawPath + "%size=2,2";
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(n.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(f && strcmp(f->getFormat()->getName(), "Raw") == 0);
        if (f)
            f->close();
        kelFile* g = kelFile::open((rawPath + ":2%size=2,2").c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(g == nullptr);
        CHILD_EXPECT_EQ(sts, kelFILEINDEXOOB);
    });
}

} // namespace
