#include "raw_test_support.h"

#include <sys/stat.h>

namespace {

// Visits the origin of every page of a file, in stored coordinates.
template <class F>
void forEachPage(kelFile* f, F visit)
{
    const kelSize s = storedSize(f), p = storedPageSize(f);
    for (int c = 0; c < s.c; c += p.c)
        for (int z = 0; z < s.z; z += p.z)
            for (int y = 0; y < s.y; y += p.y)
                for (int x = 0; x < s.x; x += p.x)
                    visit(x, y, z, c);
}

size_t pageBytes(kelFile* f)
{
    const kelSize p = storedPageSize(f);
    return kelDataSize(f->getDataType(), p.x * p.y * p.z * p.c);
}

// A page's contents derived from its origin, so that pages differ.
std::vector<unsigned char> pagePattern(size_t bytes, int x, int y, int z, int c)
{
    std::vector<unsigned char> page(bytes);
    for (size_t i = 0; i < bytes; i++)
        page[i] = (unsigned char)(i * 7 + x * 31 + y * 17 + z * 13 + c * 5 + 1);
    return page;
}

int writeAllPages(kelFile* f)
{
    int pages = 0;
    forEachPage(f, [&](int x, int y, int z, int c) {
        std::vector<unsigned char> page = pagePattern(pageBytes(f), x, y, z, c);
        CHILD_EXPECT_EQ(f->setPage(page.data(), x, y, z, c, 0, 0, 0, 0), 0);
        pages++;
    });
    return pages;
}

void checkAllPages(kelFile* f)
{
    forEachPage(f, [&](int x, int y, int z, int c) {
        kelStatus sts = -1;
        std::vector<unsigned char> page = readPage(f, x, y, z, c, pageBytes(f), sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (page != pagePattern(pageBytes(f), x, y, z, c))
            fprintf(stderr, "page (%d, %d, %d, %d) differs\n", x, y, z, c);
        CHILD_EXPECT(page == pagePattern(pageBytes(f), x, y, z, c));
    });
}

struct RoundTrip {
    const char* args;
    kelSize stored;      // size in the file's orientation
    kelSize storedPage;  // page size in the file's orientation
    int pages;
    int offset;
};

class RawRoundTrip : public ::testing::TestWithParam<RoundTrip> {
protected:
    ScratchDir dir;
};

TEST_P(RawRoundTrip, WriteEveryPageThenReadBackByNameAndDescriptor)
{
    const RoundTrip rt = GetParam();
    const std::string path = dir.file("img");
    const std::string name = path + "#Raw%" + rt.args;
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (!f)
            return;
        CHILD_EXPECT(storedSize(f) == rt.stored);
        CHILD_EXPECT(storedPageSize(f) == rt.storedPage);
        CHILD_EXPECT_EQ(writeAllPages(f), rt.pages);
        const kelDataType type = f->getDataType();
        const size_t bytes = pageBytes(f);
        CHILD_EXPECT_EQ(f->close(), 0);
        struct stat st;
        CHILD_EXPECT(stat(path.c_str(), &st) == 0 && size_t(st.st_size) == rt.offset + rt.pages * bytes);

        f = kelFile::open(name.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (!f)
            return;
        CHILD_EXPECT(storedSize(f) == rt.stored);
        CHILD_EXPECT(storedPageSize(f) == rt.storedPage);
        CHILD_EXPECT_EQ(f->getDataType(), type);
        checkAllPages(f);
        CHILD_EXPECT_EQ(f->close(), 0);

        const int fd = ::open(path.c_str(), O_RDONLY);
        f = kelFile::open(fd, name.c_str(), O_RDONLY, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (!f)
            return;
        CHILD_EXPECT_EQ(f->getFileDesc(), fd);
        checkAllPages(f);
        CHILD_EXPECT_EQ(f->close(), 0);
        CHILD_EXPECT(fcntl(fd, F_GETFD) == -1); // closing the file closed it
    });
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RawRoundTrip,
    ::testing::Values(
        RoundTrip{"size=10,7%pagesize=4,3", kelSize(10, 7, 1, 3), kelSize(4, 3, 1, 3), 9, 0},
        RoundTrip{"size=9,5,2%pagesize=4,4,1%type=short%colormodel=rgba", kelSize(9, 5, 2, 4),
                  kelSize(4, 4, 1, 4), 12, 0},
        RoundTrip{"size=6,4%order=separate%type=float%pagesize=4,4", kelSize(6, 4, 1, 3), kelSize(4, 4, 1, 1), 6,
                  0},
        RoundTrip{"size=5,8%orientation=lt%pagesize=2,3%type=double%offset=17", kelSize(8, 5, 1, 3),
                  kelSize(3, 2, 1, 3), 9, 17},
        RoundTrip{"size=12,3%type=bit%colormodel=luminance", kelSize(12, 3, 1, 1), kelSize(12, 3, 1, 1), 1, 0},
        RoundTrip{"size=7,6%order=sequential%type=uint%colormodel=la%pagesize=3,3", kelSize(7, 6, 1, 2),
                  kelSize(3, 3, 1, 2), 6, 0},
        RoundTrip{"size=4,4,1,5%order=separate%pagesize=2,2,1,2%type=ushort%orientation=rb%offset=3",
                  kelSize(4, 4, 1, 5), kelSize(2, 2, 1, 2), 12, 3}));

TEST(RawCreate, TransposedConfigurationIsNotSwappedTwice)
{
    ScratchDir dir;
    const std::string path = dir.file("t.raw");
    const std::string reopen = path + "%size=5,8%orientation=lt";
    EXPECT_RAW_CHILD({
        const kelSize dims(5, 8, 1, 3);
        kelFileConfig cfg(&dims, kelUChar, kelInterleaved, kelRGB, kelLeftUpperOrigin, kelNoCompression);
        kelStatus sts = -1;
        kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (!f)
            return;
        CHILD_EXPECT(storedSize(f) == kelSize(8, 5, 1, 3));
        CHILD_EXPECT(storedPageSize(f) == kelSize(8, 5, 1, 3));
        writeAllPages(f);
        f->close();
        f = kelFile::open(reopen.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        CHILD_EXPECT(storedSize(f) == kelSize(8, 5, 1, 3));
        checkAllPages(f);
        f->close();
    });
}

TEST(RawCreate, ThroughTheCallersDescriptor)
{
    ScratchDir dir;
    const std::string path = dir.write("fd.bin", "0123456789");
    const std::string name = path + "#Raw%size=2,2,1,1%offset=4";
    EXPECT_RAW_CHILD({
        const int fd = ::open(path.c_str(), O_RDWR);
        kelStatus sts = -1;
        kelFile* f = kelFile::create(fd, name.c_str(), nullptr, nullptr, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        if (!f)
            return;
        CHILD_EXPECT_EQ(f->getFileDesc(), fd);
        CHILD_EXPECT_EQ(f->getFileMode(), O_RDWR);
        const unsigned char page[4] = {'a', 'b', 'c', 'd'};
        CHILD_EXPECT_EQ(f->setPage(page, 0, 0, 0, 0, 2, 2, 1, 1), 0);
        CHILD_EXPECT_EQ(f->close(), 0);
        // not truncated: the preamble keeps its bytes, the page replaced the rest
        const std::string expected = "0123abcd89";
        CHILD_EXPECT(fileBytes(path) == std::vector<unsigned char>(expected.begin(), expected.end()));
    });
}

TEST(RawCreate, ArgumentsReplaceTheDecidedValues)
{
    ScratchDir dir;
    const std::string a = dir.file("a.raw%size=6,4%orientation=lt");
    const std::string b = dir.file("b.raw%colormodel=rgba%order=separate");
    const std::string c = dir.file("c.raw%pagesize=2,2%colormodel=la");
    const std::string d = dir.file("d.raw%type=float");
    EXPECT_RAW_CHILD({
        const kelSize dims(10, 20, 1, 3);
        kelFileConfig cfg(&dims, kelUChar, kelInterleaved, kelRGB, kelLowerLeftOrigin);
        kelStatus sts = -1;
        // size given upright, orientation changed: stored swapped, page whole
        kelFile* f = kelFile::create(a.c_str(), nullptr, &cfg, nullptr, &sts);
        CHILD_EXPECT(f && storedSize(f) == kelSize(4, 6, 1, 3) && storedPageSize(f) == kelSize(4, 6, 1, 3));
        if (f)
            f->close();
        f = kelFile::create(b.c_str(), nullptr, &cfg, nullptr, &sts);
        CHILD_EXPECT(f && storedSize(f) == kelSize(10, 20, 1, 4) && storedPageSize(f) == kelSize(10, 20, 1, 1));
        if (f)
            f->close();
        f = kelFile::create(c.c_str(), nullptr, &cfg, nullptr, &sts);
        CHILD_EXPECT(f && storedSize(f) == kelSize(10, 20, 1, 2) && storedPageSize(f) == kelSize(2, 2, 1, 2));
        CHILD_EXPECT(f && f->getColorModel() == kelLuminanceAlpha);
        if (f)
            f->close();
        f = kelFile::create(d.c_str(), nullptr, &cfg, nullptr, &sts);
        CHILD_EXPECT(f && f->getDataType() == kelFloat);
        double lo = -1, hi = -1;
        CHILD_EXPECT(f && f->getScaleMinMax(lo, hi) == 0 && lo == 0.0 && hi == 1.0);
        if (f)
            f->close();
    });
}

// A file created with arguments and opened with the same ones has one
// layout (found by fuzzing: "order" after "pagesize" dropped the page's
// channel count on create only).
TEST(RawCreate, CreateAndOpenAgreeOnTheLayout)
{
    ScratchDir dir;
    const char* const args[] = {"%size=5,3,2,2%pagesize=5,3,2,1%order=interleaved",
                                "%pagesize=2,2,1,1%order=sequential%size=4,4,1,3",
                                "%size=4,4,1,3%order=separate", "%size=6,4%orientation=lt%pagesize=3,2%type=short"};
    const std::string path = dir.file("layout.raw");
    EXPECT_RAW_CHILD({
        for (const char* a : args) {
            kelStatus sts = -1;
            kelFile* f = kelFile::create((path + a).c_str(), nullptr, nullptr, nullptr, &sts);
            CHILD_EXPECT(f != nullptr);
            if (!f)
                continue;
            const kelSize size = storedSize(f), page = storedPageSize(f);
            f->close();
            f = kelFile::open((path + a).c_str(), O_RDONLY, &sts);
            CHILD_EXPECT(f && storedSize(f) == size && storedPageSize(f) == page);
            if (f)
                f->close();
        }
    });
}

TEST(RawCreate, UnknownKeywordValuesChangeNothing)
{
    ScratchDir dir;
    const std::string model = dir.file("m.raw%colormodel=bogus");
    const std::string order = dir.file("o.raw%order=bogus");
    EXPECT_RAW_CHILD({
        const kelSize dims(4, 4, 1, 2), page(4, 4, 1, 1);
        kelFileConfig cfg(&dims, kelUChar, kelInterleaved, kelLuminanceAlpha, kelLowerLeftOrigin,
                          kelNoCompression, &page);
        for (const std::string& name : {model, order}) {
            kelStatus sts = -1;
            kelFile* f = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
            CHILD_EXPECT_EQ(sts, 0);
            CHILD_EXPECT(f && f->getColorModel() == kelLuminanceAlpha && f->getOrder() == kelInterleaved);
            CHILD_EXPECT(f && storedSize(f) == dims && storedPageSize(f) == page);
            if (f)
                f->close();
        }
    });
}

TEST(RawCreate, RefusesGeometryThatCannotBeStored)
{
    ScratchDir dir;
    const std::string noSize = dir.file("n.raw");
    const std::string huge = dir.file("h.raw%size=100000,100000,100000,100");
    const std::string badOrientation = dir.file("o.raw");
    EXPECT_RAW_CHILD({
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::create(noSize.c_str(), nullptr, nullptr, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADPARAMS);
        CHILD_EXPECT(kelFile::create(huge.c_str(), nullptr, nullptr, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADPARAMS);
        const kelSize dims(4, 4, 1, 1);
        kelFileConfig cfg(&dims, kelUChar, kelInterleaved, kelLuminance, kelOrientation(42));
        CHILD_EXPECT(kelFile::create(badOrientation.c_str(), nullptr, &cfg, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADPARAMS);
        kelFileConfig badOrder(&dims, kelUChar, kelOrder(3), kelLuminance, kelLowerLeftOrigin);
        CHILD_EXPECT(kelFile::create(badOrientation.c_str(), nullptr, &badOrder, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADPARAMS);
        kelFileConfig badModel(&dims, kelUChar, kelInterleaved, kelColorModel(99), kelLowerLeftOrigin);
        CHILD_EXPECT(kelFile::create(badOrientation.c_str(), nullptr, &badModel, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADPARAMS);
        struct stat st;
        CHILD_EXPECT(stat(dir.file("h.raw").c_str(), &st) != 0); // nothing was created
        CHILD_EXPECT(stat(noSize.c_str(), &st) != 0);
    });
}

TEST(RawCreate, SourceScaleIsCopied)
{
    ScratchDir dir;
    const std::string src = dir.write("s.raw", numberedBytes(16)) + "%size=4,4,1,1%min=-2%max=5%type=char";
    const std::string dst = dir.file("d.raw");
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* source = kelFile::open(src.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(source != nullptr);
        if (!source)
            return;
        kelFile* f = kelFile::create(dst.c_str(), source, nullptr, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        double lo = 0, hi = 0;
        CHILD_EXPECT(f && f->getScaleMinMax(lo, hi) == 0 && lo == -2.0 && hi == 5.0);
        CHILD_EXPECT(f && f->getDataType() == kelChar && storedSize(f) == kelSize(4, 4, 1, 1));
        CHILD_EXPECT(f && f->setScaleMinMax(1, 3) == 0 && f->getScaleMinMax(lo, hi) == 0 && lo == 1 && hi == 3);
        if (f)
            f->close();
        source->close();
    });
}

TEST(RawPages, OriginsOutsideTheImageAreRefused)
{
    ScratchDir dir;
    const std::string name = dir.write("p", numberedBytes(300)) + "#Raw%size=10,10,1,1%pagesize=4,4";
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(name.c_str(), O_RDWR, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        unsigned char page[16] = {};
        CHILD_EXPECT_EQ(f->getPage(page, -4, 0, 0, 0, 4, 4, 1, 1), kelBADPARAMS);
        CHILD_EXPECT_EQ(f->getPage(page, 12, 0, 0, 0, 4, 4, 1, 1), kelBADPARAMS);
        CHILD_EXPECT_EQ(f->setPage(page, 0, 10, 0, 0, 4, 4, 1, 1), kelBADPARAMS);
        CHILD_EXPECT_EQ(f->setPage(page, 0, 0, 1, 0, 4, 4, 1, 1), kelBADPARAMS);
        CHILD_EXPECT_EQ(f->setPage(page, 0, 0, 0, 1, 4, 4, 1, 1), kelBADPARAMS);
        f->close();
        const std::string original = numberedBytes(300);
        CHILD_EXPECT(fileBytes(name.substr(0, name.find('#'))) ==
                     std::vector<unsigned char>(original.begin(), original.end()));
    });
}

struct HookCounts {
    int begin = 0, end = 0;
};

kelStatus countBegin(void* arg)
{
    static_cast<HookCounts*>(arg)->begin++;
    return kelREADFAILED; // ignored by the plug-in
}

kelStatus countEnd(void* arg)
{
    static_cast<HookCounts*>(arg)->end++;
    return kelOKAY;
}

TEST(RawPages, HooksBracketEachTransfer)
{
    ScratchDir dir;
    const std::string name = dir.write("h", numberedBytes(64)) + "#Raw%size=4,4,1,1%pagesize=2,2";
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(name.c_str(), O_RDWR, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        HookCounts counts;
        f->setBeginFileIO_CB(countBegin, &counts);
        f->setEndFileIO_CB(countEnd, &counts);
        unsigned char page[4];
        CHILD_EXPECT_EQ(f->getPage(page, 2, 2, 0, 0, 2, 2, 1, 1), 0);
        CHILD_EXPECT_EQ(f->setPage(page, 0, 0, 0, 0, 2, 2, 1, 1), 0);
        CHILD_EXPECT_EQ(counts.begin, 2);
        CHILD_EXPECT_EQ(counts.end, 2);
        f->close(1);
    });
}

TEST(RawPages, ShortReadBlanksTheRestOfThePage)
{
    ScratchDir dir;
    const std::string file = numberedBytes(20);
    const std::string name = dir.write("s", file) + "#Raw%size=4,4,1,1%pagesize=4,4";
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        std::vector<unsigned char> page = readPage(f, 0, 0, 0, 0, 16, sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(memcmp(page.data(), file.data(), 16) == 0);
        f->close();
        f = kelFile::open((name + "%offset=12").c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        page = readPage(f, 0, 0, 0, 0, 16, sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(memcmp(page.data(), file.data() + 12, 8) == 0);
        // past the end of the file the page is blank, not what the buffer held
        for (int i = 8; i < 16; ++i)
            CHILD_EXPECT_EQ(page[i], 0);
        f->close();
    });
}

TEST(RawPages, SystemFailuresCarryErrno)
{
    ScratchDir dir;
    const std::string path = dir.write("e", numberedBytes(16));
    const std::string name = path + "#Raw%size=4,4,1,1";
    EXPECT_RAW_CHILD({
        // A read-only descriptor cannot take pages; a write-only one cannot give them.
        kelStatus sts = -1;
        kelFile* f = kelFile::open(::open(path.c_str(), O_RDONLY), name.c_str(), O_RDONLY, nullptr, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        unsigned char page[16] = {};
        sts = f->setPage(page, 0, 0, 0, 0, 4, 4, 1, 1);
        CHILD_EXPECT_EQ(kelStatusMain(sts), kelWRITEFAILED);
        CHILD_EXPECT_EQ(kelStatusErrno(sts), EBADF);
        f->close();
        f = kelFile::open(::open(path.c_str(), O_WRONLY), name.c_str(), O_RDONLY, nullptr, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        sts = f->getPage(page, 0, 0, 0, 0, 4, 4, 1, 1);
        CHILD_EXPECT_EQ(kelStatusMain(sts), kelREADFAILED);
        CHILD_EXPECT_EQ(kelStatusErrno(sts), EBADF);
        f->close();
    });
}

TEST(RawFormat, CapabilitiesAndPreferences)
{
    EXPECT_RAW_CHILD({
        kelFormat* fmt = kelFormat::findByFormatName("Raw", 1);
        CHILD_EXPECT(fmt != nullptr);
        if (!fmt)
            return;
        CHILD_EXPECT(strcmp(fmt->getName(), "Raw") == 0);
        CHILD_EXPECT(strcmp(fmt->getDefaultSuffix(), ".raw") == 0);
        CHILD_EXPECT_EQ(fmt->haveDSOVersion(1, 3), 1);
        CHILD_EXPECT_EQ(fmt->haveDSOVersion(2, 1), 0);
        CHILD_EXPECT(fmt->typeIsSupported(kelDouble) && fmt->typeIsSupported(kelBit));
        CHILD_EXPECT(fmt->orderIsSupported(kelSeparate) && fmt->orientationIsSupported(kelLeftLowerOrigin));
        CHILD_EXPECT(fmt->colorModelIsSupported(kelYCC));
        CHILD_EXPECT(fmt->compressionIsSupported(kelNoCompression));
        CHILD_EXPECT(!fmt->compressionIsSupported(kelLZW));
        CHILD_EXPECT(fmt->pagingIsSupported() && fmt->randomAccessReadIsSupported() &&
                     fmt->randomAccessWriteIsSupported());
        CHILD_EXPECT_EQ(fmt->getPreferredType(), kelUChar);
        CHILD_EXPECT_EQ(fmt->getPreferredOrder(), kelInterleaved);
        CHILD_EXPECT_EQ(fmt->getPreferredOrientation(), kelLowerLeftOrigin);
        CHILD_EXPECT_EQ(fmt->getPreferredColorModel(0), kelRGB);
        CHILD_EXPECT_EQ(fmt->getPreferredColorModel(2), kelLuminanceAlpha);
        CHILD_EXPECT_EQ(fmt->getPreferredColorModel(7), kelMultiSpectral);
        CHILD_EXPECT_EQ(fmt->getPreferredCompression(), kelNoCompression);
        int px = 1, py = 1, pz = 1, pc = 1;
        fmt->getPreferredPageSize(10, 20, 3, 4, px, py, pz, pc, kelUpperLeftOrigin);
        CHILD_EXPECT(px == 10 && py == 20 && pz == 3 && pc == 4);
        kelFile* f = fmt->newfileobj();
        CHILD_EXPECT(f != nullptr);
        delete f;
        int index = 0;
        CHILD_EXPECT(kelFormat::findNext(index, 0) == fmt);
    });
}

} // namespace
