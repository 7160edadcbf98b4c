#include "file_test_support.h"

#include <sys/stat.h>

namespace {

class OpenTest : public ::testing::Test {
protected:
    OpenTest() : db(dir.write("db", testDatabaseText(false))), data(dir.write("pic.prb", "0123456789")) {}
    void SetUp() override { probeLog = ProbeLog(); }

    ScratchDir dir;
    std::string db;
    std::string data;
};

TEST_F(OpenTest, WriteOnlyModeIsRefusedBeforeTheDisk)
{
    kelStatus sts = 0;
    EXPECT_EQ(nullptr, kelFile::open(data.c_str(), O_WRONLY, &sts));
    EXPECT_EQ(kelBADPARAMS, sts);
    EXPECT_EQ(nullptr, kelFile::open(data.c_str(), 7, &sts));
    EXPECT_EQ(kelBADPARAMS, sts);
}

TEST_F(OpenTest, DirectoryIsNoImageFile)
{
    kelStatus sts = 0;
    EXPECT_EQ(nullptr, kelFile::open(dir.path.c_str(), O_RDONLY, &sts));
    EXPECT_EQ(kelOPENFAILED, sts);
}

TEST_F(OpenTest, MissingFileCarriesTheSystemError)
{
    kelStatus sts = 0;
    EXPECT_EQ(nullptr, kelFile::open(dir.file("missing").c_str(), O_RDONLY, &sts));
    EXPECT_EQ(kelOPENFAILED, kelStatusMain(sts));
    EXPECT_EQ(1, kelStatusKind(sts));
    EXPECT_EQ(ENOENT, kelStatusErrno(sts));
}

TEST_F(OpenTest, NullNameWithoutDescriptor)
{
    kelStatus sts = 0;
    EXPECT_EQ(nullptr, kelFile::open(static_cast<const char*>(nullptr), O_RDONLY, &sts));
    EXPECT_EQ(kelBADPARAMS, sts);
    EXPECT_EQ(nullptr, kelFile::create(static_cast<const char*>(nullptr), nullptr, nullptr, nullptr, &sts));
    EXPECT_EQ(kelBADPARAMS, sts);
}

TEST_F(OpenTest, UnknownFormatNameFailsBeforeTheDisk)
{
    const std::string missing = dir.file("name.xyz#nosuchformat");
    EXPECT_IN_CHILD(db.c_str(), {
        kelFileDesc desc(missing.c_str());
        CHILD_EXPECT_EQ(desc.getStatus(), kelBADIMGFMT);
        CHILD_EXPECT(desc.getFormat() == nullptr);
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open(missing.c_str(), O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADIMGFMT);
        CHILD_EXPECT(kelFile::create(missing.c_str(), nullptr, nullptr, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADIMGFMT);
        struct stat st;
        CHILD_EXPECT(stat(dir.file("name.xyz").c_str(), &st) != 0);
    });
}

TEST_F(OpenTest, DescriptorForms)
{
    const std::string name = data + "#ProbeFmt:3%a=1 b";
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        kelFileDesc parsed(name.c_str());
        CHILD_EXPECT_EQ(parsed.getStatus(), 0);
        CHILD_EXPECT(parsed.getFileName() == data);
        CHILD_EXPECT(parsed.getFormat() == &fmt);
        CHILD_EXPECT(strcmp(parsed.getFormatName(), "ProbeFmt") == 0);
        CHILD_EXPECT_EQ(parsed.getIndex(), 3);
        CHILD_EXPECT(strcmp(parsed.getFormatSpecific(), "a=1 b") == 0);
        CHILD_EXPECT_EQ(parsed.getFileDesc(), -1);

        kelFileDesc byName("f", 2, "probefmt", "x=1");
        CHILD_EXPECT(byName.getFormat() == &fmt && byName.getIndex() == 2);
        CHILD_EXPECT(strcmp(byName.getFileName(), "f") == 0 && strcmp(byName.getFormatSpecific(), "x=1") == 0);
        kelFileDesc unknown("f", -1, "nothing", nullptr);
        CHILD_EXPECT_EQ(unknown.getStatus(), kelBADIMGFMT);
        CHILD_EXPECT(unknown.getFormatName() == nullptr && unknown.getFormatSpecific() == nullptr);
        kelFileDesc argsOnly(nullptr, -1, &fmt, "y=2");
        CHILD_EXPECT_EQ(argsOnly.getStatus(), kelBADPARAMS);
        CHILD_EXPECT(strcmp(argsOnly.getFormatSpecific(), "y=2") == 0);

        // A descriptor stands in for the name; the format comes by magic
        // number, which none of these formats has.
        kelFileDesc none(nullptr);
        CHILD_EXPECT_EQ(none.getStatus(), kelBADPARAMS);
        int fd = ::open(data.c_str(), O_RDONLY);
        none.setFileDesc(fd);
        CHILD_EXPECT_EQ(none.getStatus(), 0);
        CHILD_EXPECT(none.getFileName() == nullptr && none.getFormat() == nullptr);
        CHILD_EXPECT_EQ(none.getFileDesc(), fd);
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open(none, O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADMAGIC);
        CHILD_EXPECT(fcntl(fd, F_GETFD) != -1); // the caller's descriptor stays open
        ::close(fd);
    });
}

TEST_F(OpenTest, OpenFillsTheObject)
{
    const std::string name = data + "%size=1";
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const int freeFd = lowestFreeFd();
        kelStatus sts = -1;
        kelFile* f = kelFile::open(name.c_str(), O_RDWR, &sts); // found by suffix
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        CHILD_EXPECT(f->getFileName() == data);
        CHILD_EXPECT(f->getFormat() == &fmt);
        CHILD_EXPECT_EQ(f->getFileMode(), O_RDWR);
        CHILD_EXPECT(f->getFileDesc() >= 0);
        CHILD_EXPECT_EQ(probeLog.fdSeen[0], f->getFileDesc());
        CHILD_EXPECT_EQ(probeLog.openCalls, 1);
        CHILD_EXPECT_EQ(f->close(), 0);
        CHILD_EXPECT_EQ(lowestFreeFd(), freeFd);
    });
}

TEST_F(OpenTest, NoFormatForTheFile)
{
    const std::string other = dir.write("pic.unknown", "x");
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const int freeFd = lowestFreeFd();
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open(other.c_str(), O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADMAGIC);
        CHILD_EXPECT_EQ(lowestFreeFd(), freeFd);
    });
}

TEST_F(OpenTest, AccessModeOfTheEntry)
{
    class ReadOnlyProbe : public kelReadOnlyFormat {
    public:
        ReadOnlyProbe() : kelReadOnlyFormat("ReadOnlyFmt") {}
        kelFile* newfileobj() override { return new ProbeFile; }
    };
    const std::string name = data + "#ReadOnlyFmt";
    EXPECT_IN_CHILD(db.c_str(), {
        ReadOnlyProbe fmt;
        const int freeFd = lowestFreeFd();
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open(name.c_str(), O_RDWR, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelUNSUPPORTEDBYFORMAT);
        CHILD_EXPECT_EQ(lowestFreeFd(), freeFd);
        CHILD_EXPECT(kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelUNSUPPORTEDBYFORMAT);
        kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (f)
            f->close();
    });
}

TEST_F(OpenTest, PluginThatOpensByNameIsCalledAgain)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const int freeFd = lowestFreeFd();
        probeLog.openResults[0] = kelUNSUPPORTEDBYLIBRARY;
        kelStatus sts = -1;
        kelFile* f = kelFile::open(data.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT_EQ(probeLog.openCalls, 2);
        CHILD_EXPECT(probeLog.fdSeen[0] >= 0);
        CHILD_EXPECT_EQ(probeLog.fdSeen[1], -1);
        CHILD_EXPECT(f && f->getFileDesc() >= 0); // the plug-in's own descriptor
        if (f)
            f->close();
        CHILD_EXPECT_EQ(lowestFreeFd(), freeFd);
    });
}

TEST_F(OpenTest, RetriedPluginSeesItsArgumentsWhole)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        probeLog.openResults[0] = kelUNSUPPORTEDBYLIBRARY;
        kelStatus sts = -1;
        kelFile* f = kelFile::open((data + "%a=1 b=2%c").c_str(), O_RDONLY, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT_EQ(probeLog.argsSeen[0], 3);
        CHILD_EXPECT_EQ(probeLog.argsSeen[1], 3);
        if (f)
            f->close();
    });
}

TEST_F(OpenTest, OnlyTheBareStatusIsRetried)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const int freeFd = lowestFreeFd();
        const kelStatus withErrno = kelComposeStatus(kelUNSUPPORTEDBYLIBRARY, 1, EIO);
        probeLog.openResults[0] = withErrno;
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open(data.c_str(), O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, withErrno);
        CHILD_EXPECT_EQ(probeLog.openCalls, 1);
        CHILD_EXPECT_EQ(probeLog.destroyed, 1);
        CHILD_EXPECT_EQ(probeLog.closeCalls, 0);
        CHILD_EXPECT_EQ(lowestFreeFd(), freeFd);

        // A descriptor from the caller is never closed, so there is no retry.
        probeLog = ProbeLog();
        probeLog.openResults[0] = kelUNSUPPORTEDBYLIBRARY;
        int fd = ::open(data.c_str(), O_RDONLY);
        CHILD_EXPECT(kelFile::open(fd, data.c_str(), O_RDONLY, &fmt, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelUNSUPPORTEDBYLIBRARY);
        CHILD_EXPECT_EQ(probeLog.openCalls, 1);
        CHILD_EXPECT(fcntl(fd, F_GETFD) != -1);
        ::close(fd);
    });
}

TEST_F(OpenTest, FailedRetryLeaksNoDescriptor)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const int freeFd = lowestFreeFd();
        probeLog.openResults[0] = kelUNSUPPORTEDBYLIBRARY;
        const std::string name = data + ":1";
        kelStatus sts = 0;
        // The second call opens by name, then the image index fails.
        CHILD_EXPECT(kelFile::open(name.c_str(), O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelFILEINDEXOOB);
        CHILD_EXPECT_EQ(probeLog.openCalls, 2);
        CHILD_EXPECT_EQ(lowestFreeFd(), freeFd);
        // closed by the framework, and no longer the object's to close
        CHILD_EXPECT_EQ(probeLog.fdAtDestruction, -1);
    });
}

TEST_F(OpenTest, DescriptorObjectForgetsWhatOpenClosed)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        probeLog.openResults[0] = kelCORRUPTED;
        kelFileDesc failing(data.c_str());
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open(failing, O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelCORRUPTED);
        CHILD_EXPECT_EQ(failing.getFileDesc(), -1);

        probeLog = ProbeLog();
        probeLog.openResults[0] = kelUNSUPPORTEDBYLIBRARY;
        kelFileDesc retried(data.c_str());
        kelFile* f = kelFile::open(retried, O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        CHILD_EXPECT_EQ(retried.getFileDesc(), -1); // closed before the second call
        if (f)
            f->close();
    });
}

TEST_F(OpenTest, NegativeDescriptorIsNoDescriptor)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        kelFileDesc desc(nullptr);
        desc.setFileDesc(-2);
        CHILD_EXPECT_EQ(desc.getStatus(), kelBADPARAMS);
        CHILD_EXPECT_EQ(desc.getFileDesc(), -1);
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open(-2, nullptr, O_RDONLY, &fmt, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADPARAMS);
        CHILD_EXPECT(kelFile::create(-2, nullptr, nullptr, nullptr, &fmt, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelBADPARAMS);
        // With a name, the path is opened as when no descriptor was given.
        kelFile* f = kelFile::open(-2, data.c_str(), O_RDONLY, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(f && f->getFileDesc() >= 0);
        if (f)
            f->close();
    });
}

TEST_F(OpenTest, ImageIndex)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const int freeFd = lowestFreeFd();
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::open((data + ":2").c_str(), O_RDONLY, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelFILEINDEXOOB);
        CHILD_EXPECT_EQ(probeLog.destroyed, 1);
        CHILD_EXPECT_EQ(probeLog.closeCalls, 0);
        CHILD_EXPECT_EQ(probeLog.fdAtDestruction, -1); // the framework closed it
        CHILD_EXPECT_EQ(lowestFreeFd(), freeFd);
        kelFile* f = kelFile::open((data + ":0").c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        CHILD_EXPECT_EQ(sts, 0);
        if (f)
            f->close();
    });
}

TEST_F(OpenTest, OpenByDescriptorKeepsTheCallersDescriptor)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        int fd = ::open(data.c_str(), O_RDONLY);
        kelStatus sts = -1;
        kelFile* f = kelFile::open(fd, nullptr, O_RDONLY, &fmt, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(f && f->getFileName() == nullptr && f->getFileDesc() == fd);
        if (f)
            f->close(); // the probe's closeFile closes it
        probeLog = ProbeLog();
        probeLog.openResults[0] = kelCORRUPTED;
        fd = ::open(data.c_str(), O_RDONLY);
        CHILD_EXPECT(kelFile::open(fd, nullptr, O_RDONLY, &fmt, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelCORRUPTED);
        CHILD_EXPECT(fcntl(fd, F_GETFD) != -1);
        CHILD_EXPECT_EQ(probeLog.fdAtDestruction, -1); // not the object's to close
        ::close(fd);
    });
}

class CreateTest : public OpenTest {
};

TEST_F(CreateTest, FormatBySuffixAndUprightSizes)
{
    const std::string name = dir.file("new.probe%args");
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const kelSize dims(8, 6, 1, 3), page(8, 2, 1, 3);
        kelFileConfig cfg(&dims, kelUShort, kelInterleaved, kelRGB, kelLeftUpperOrigin, kelNoCompression, &page);
        kelStatus sts = -1;
        kelFile* f = kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        CHILD_EXPECT_EQ(probeLog.createCalls, 1);
        CHILD_EXPECT(f->getFormat() == &fmt);
        CHILD_EXPECT_EQ(f->getFileMode(), O_RDWR);
        CHILD_EXPECT_EQ(f->getFileDesc(), -1);
        CHILD_EXPECT(f->getFileName() == dir.file("new.probe"));
        CHILD_EXPECT_EQ(f->getDataType(), kelUShort);
        CHILD_EXPECT_EQ(f->getOrientation(), kelLeftUpperOrigin);
        kelSize s;
        f->getSize(s, kelLeftUpperOrigin); // as stored
        CHILD_EXPECT(s == kelSize(6, 8, 1, 3));
        f->getPageSize(s, kelLeftUpperOrigin);
        CHILD_EXPECT(s == kelSize(2, 8, 1, 3));
        f->getDimensions(s);
        CHILD_EXPECT(s == dims);
        f->close(1);
    });
}

TEST_F(CreateTest, FallsBackToTiff)
{
    const std::string tiffDb = dir.write("tiffdb", testDatabaseText(true));
    const std::string name = dir.file("new.unclaimed");
    EXPECT_IN_CHILD(tiffDb.c_str(), {
        ProbeFormat fmt;
        ProbeFormat tiff("TIFF");
        kelStatus sts = -1;
        kelFile* f = kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts);
        CHILD_EXPECT_EQ(sts, 0);
        CHILD_EXPECT(f && f->getFormat() == &tiff);
        if (f)
            f->close();
    });
}

TEST_F(CreateTest, NoFallbackFormatIsAConfigurationError)
{
    const std::string name = dir.file("new.unclaimed");
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        kelStatus sts = 0;
        CHILD_EXPECT(kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelSYSTEM_CONFIGURATION_ERROR);
        CHILD_EXPECT_EQ(probeLog.createCalls, 0);
    });
}

TEST_F(CreateTest, FailuresDestroyTheObject)
{
    const std::string name = dir.file("new.prb");
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        kelStatus sts = 0;
        fmt.sizeOk = 0;
        CHILD_EXPECT(kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, kelUNSUPPORTEDBYFORMAT);
        CHILD_EXPECT_EQ(probeLog.createCalls, 0);
        fmt.sizeOk = 1;
        probeLog.createResult = kelComposeStatus(kelOPENFAILED, 1, EACCES);
        CHILD_EXPECT(kelFile::create(name.c_str(), nullptr, nullptr, nullptr, &sts) == nullptr);
        CHILD_EXPECT_EQ(sts, probeLog.createResult);
        CHILD_EXPECT_EQ(probeLog.destroyed, 1);
        CHILD_EXPECT_EQ(probeLog.closeCalls, 0);
        // a failing create leaves the caller's descriptor to the caller
        int fd = ::open(name.c_str(), O_RDWR | O_CREAT, 0666);
        CHILD_EXPECT(kelFile::create(fd, name.c_str(), nullptr, nullptr, &fmt, &sts) == nullptr);
        CHILD_EXPECT_EQ(probeLog.destroyed, 2);
        CHILD_EXPECT_EQ(probeLog.fdAtDestruction, -1);
        CHILD_EXPECT(fcntl(fd, F_GETFD) != -1);
        ::close(fd);
    });
}

TEST_F(CreateTest, SourceGivesAttributesAndRanges)
{
    const std::string name = dir.file("copy.prb");
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        ProbeFile source;
        source.setGeometry(kelSize(5, 7, 1, 1), kelSize(5, 7, 1, 1), kelUpperLeftOrigin);
        source.setAttributes(kelShort, kelInterleaved, kelLuminance, kelNoCompression);
        source.setScaleMinMax(-3, 9);
        kelStatus sts = -1;
        kelFile* f = kelFile::create(name.c_str(), &source, nullptr, nullptr, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        double lo = 0, hi = 0;
        CHILD_EXPECT_EQ(f->getScaleMinMax(lo, hi), 0);
        CHILD_EXPECT(lo == -3 && hi == 9);
        CHILD_EXPECT_EQ(f->getStatMinMax(lo, hi), kelUNSUPPORTEDBYFORMAT); // the source had none
        CHILD_EXPECT_EQ(f->getDataType(), kelShort);
        CHILD_EXPECT_EQ(f->getColorModel(), kelLuminance);
        kelSize s;
        f->getDimensions(s);
        CHILD_EXPECT(s == kelSize(5, 7, 1, 1));
        f->close();
    });
}

} // namespace
