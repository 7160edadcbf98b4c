// Test doubles for the file framework: a file class and a format class whose
// answers a test scripts and whose calls it counts, checks for child
// processes, and scratch files.
#ifndef KEL_TESTS_FILE_TEST_SUPPORT_H
#define KEL_TESTS_FILE_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <kel/kel.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

// Checks inside a child process: failures are printed and make the child
// exit with status 1, which the parent's EXPECT_EXIT reports.
inline int childFailures = 0;
#define CHILD_EXPECT(cond)                                                          \
    do {                                                                            \
        if (!(cond)) {                                                              \
            fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond);      \
            childFailures++;                                                        \
        }                                                                           \
    } while (0)
#define CHILD_EXPECT_EQ(a, b)                                                                 \
    do {                                                                                      \
        long long va_ = (long long)(a), vb_ = (long long)(b);                                 \
        if (va_ != vb_) {                                                                     \
            fprintf(stderr, "%s:%d: %s == %lld, expected %s == %lld\n", __FILE__, __LINE__, #a, \
                    va_, #b, vb_);                                                            \
            childFailures++;                                                                  \
        }                                                                                     \
    } while (0)

// Runs the braced body in a child process whose database is `database`.
#define EXPECT_IN_CHILD(database, ...)                                     \
    do {                                                                   \
        auto childBody_ = [&]() __VA_ARGS__;                               \
        EXPECT_EXIT(                                                       \
            {                                                              \
                setenv("KEL_DATABASE", (database), 1);                     \
                childBody_();                                              \
                exit(childFailures ? 1 : 0);                               \
            },                                                             \
            ::testing::ExitedWithCode(0), "");                             \
    } while (0)

// A scratch directory of the test, removed with its files afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        std::string tmpl = ::testing::TempDir() + "kelfileXXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        path = mkdtemp(buf.data()) ? buf.data() : "";
    }
    ~ScratchDir()
    {
        std::string cmd = "rm -rf '" + path + "'";
        if (!path.empty() && system(cmd.c_str()) != 0)
            fprintf(stderr, "could not remove %s\n", path.c_str());
    }
    std::string file(const char* name) const { return path + "/" + name; }
    // Writes `text` to `name` and returns the path.
    std::string write(const char* name, const std::string& text) const
    {
        std::string p = file(name);
        FILE* f = fopen(p.c_str(), "w");
        if (f) {
            fwrite(text.data(), 1, text.size(), f);
            fclose(f);
        }
        return p;
    }

    std::string path;
};

// A database whose formats are the test's own; their plug-ins are never
// loaded because the test constructs the format objects itself.
inline std::string testDatabaseText(bool withTiff)
{
    std::string text = "format ProbeFmt\n"
                       "  description \"Probe format\"\n"
                       "  dll libkelProbeNone0.so\n"
                       "  subsystem tests\n"
                       "  suffixes .prb, .probe\n"
                       "  access readwrite\n"
                       "format ReadOnlyFmt\n"
                       "  description \"Read-only probe\"\n"
                       "  dll libkelProbeNone0.so\n"
                       "  subsystem tests\n"
                       "  access readonly\n";
    if (withTiff)
        text += "format TIFF\n"
                "  description \"Fallback probe\"\n"
                "  dll libkelProbeNone0.so\n"
                "  subsystem tests\n"
                "  access readwrite\n";
    return text;
}

// What the probe objects did; reset by each test.
struct ProbeLog {
    int openCalls = 0;
    int createCalls = 0;
    int flushCalls = 0;
    int closeCalls = 0;
    int destroyed = 0;
    int fdSeen[4] = {-2, -2, -2, -2};
    int argsSeen[4] = {-1, -1, -1, -1};
    kelStatus openResults[4] = {0, 0, 0, 0};
    kelStatus createResult = 0;
    kelStatus flushResult = 0;
    kelStatus closeResult = 0;
    int numImgs = 1;
    int fdAtDestruction = -2;
};
inline ProbeLog probeLog;

class ProbeFile : public kelFile {
public:
    ~ProbeFile() override
    {
        probeLog.destroyed++;
        probeLog.fdAtDestruction = fd;
    }

    kelStatus flush() override
    {
        probeLog.flushCalls++;
        return probeLog.flushResult;
    }
    int getNumImgs() override { return probeLog.numImgs; }
    // Scale and statistics ranges: unsupported until set.
    kelStatus getScaleMinMax(double& lo, double& hi) override { return getRange(scale, lo, hi); }
    kelStatus setScaleMinMax(double lo, double hi) override { return setRange(scale, lo, hi); }
    kelStatus getStatMinMax(double& lo, double& hi) override { return getRange(stat, lo, hi); }
    kelStatus setStatMinMax(double lo, double hi) override { return setRange(stat, lo, hi); }

    void setArgs(const char* text)
    {
        free(formatArgs);
        formatArgs = text ? strdup(text) : nullptr;
    }
    int parse(kelParameterDesc* params, int maxParams) { return parseArguments(params, maxParams); }
    static int lookup(const char* name, const kelNameDesc* names) { return lookupName(name, names); }
    void setGeometry(const kelSize& s, const kelSize& ps, kelOrientation o)
    {
        size = s;
        pageSize = ps;
        orientation = o;
    }
    void setAttributes(kelDataType t, kelOrder ord, kelColorModel model, kelCompression comp)
    {
        dtype = t;
        order = ord;
        cm = model;
        compression = comp;
    }
    void changeAttributes() { markAttributesChanged(); }
    kelStatus runBegin() { return beginFileIO(); }
    kelStatus runEnd() { return endFileIO(); }

protected:
    struct Range {
        int set = 0;
        double lo = 0, hi = 0;
    };
    static kelStatus getRange(const Range& r, double& lo, double& hi)
    {
        if (!r.set)
            return kelUNSUPPORTEDBYFORMAT;
        lo = r.lo;
        hi = r.hi;
        return kelOKAY;
    }
    static kelStatus setRange(Range& r, double lo, double hi)
    {
        r.set = 1;
        r.lo = lo;
        r.hi = hi;
        return kelOKAY;
    }
    Range scale, stat;

    kelStatus openFile() override
    {
        int call = probeLog.openCalls++;
        if (call < 4) {
            kelParameterDesc params[8];
            probeLog.fdSeen[call] = fd;
            probeLog.argsSeen[call] = parseArguments(params, 8);
        }
        kelStatus sts = call < 4 ? probeLog.openResults[call] : 0;
        if (sts == kelOKAY && fd < 0 && filename)
            fd = ::open(filename, accessmode);
        return sts;
    }
    kelStatus createFile() override
    {
        probeLog.createCalls++;
        return probeLog.createResult;
    }
    kelStatus closeFile() override
    {
        probeLog.closeCalls++;
        if (fd >= 0)
            ::close(fd);
        return probeLog.closeResult;
    }
};

// A format whose capabilities and preferences a test chooses. Each set is a
// mask; color models and compressions by bit (1 << value).
class ProbeFormat : public kelFormat {
public:
    explicit ProbeFormat(const char* name = "ProbeFmt") : kelFormat(name) {}

    int types = 0x1ff, orders = 7, models = ~0, compressions = ~0;
    int sizeOk = 1, pageOk = 1;
    kelDataType prefType = kelUChar;
    kelOrder prefOrder = kelInterleaved;
    kelOrientation prefOrientation = kelLowerLeftOrigin;
    kelCompression prefCompression = kelNoCompression;
    kelSize prefPage = kelSize(0, 0, 0, 0); // 0 components: the image's
    int pageQuestions = 0, pageSizeCalls = 0, sizeQuestions = 0;
    std::vector<int> typesAsked;

    int typeIsSupported(kelDataType t) override
    {
        typesAsked.push_back(t);
        return t > 0 && (types & t) != 0;
    }
    int orderIsSupported(kelOrder o) override { return o > 0 && (orders & o) != 0; }
    int orientationIsSupported(kelOrientation o) override { return o >= 1 && o <= 8; }
    int colorModelIsSupported(kelColorModel m) override { return m > 0 && m < 31 && (models >> m & 1); }
    int compressionIsSupported(kelCompression c) override { return c > 0 && c < 31 && (compressions >> c & 1); }
    int sizeIsSupported(int, int, int, int, kelOrientation) override
    {
        sizeQuestions++;
        return sizeOk;
    }
    int pagingIsSupported() override { return 1; }
    int pageSizeIsSupported(int, int, int, int, int, int, int, int, kelOrientation) override
    {
        pageQuestions++;
        return pageOk;
    }
    int randomAccessReadIsSupported() override { return 1; }
    int randomAccessWriteIsSupported() override { return 1; }
    kelDataType getPreferredType() override { return prefType; }
    kelOrder getPreferredOrder() override { return prefOrder; }
    kelOrientation getPreferredOrientation() override { return prefOrientation; }
    kelColorModel getPreferredColorModel(int nc) override { return nc ? kelColorModelFromChans(nc) : kelRGB; }
    kelCompression getPreferredCompression() override { return prefCompression; }
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation) override
    {
        pageSizeCalls++;
        px = prefPage.x ? prefPage.x : x;
        py = prefPage.y ? prefPage.y : y;
        pz = prefPage.z ? prefPage.z : z;
        pc = prefPage.c ? prefPage.c : c;
    }
    kelFile* newfileobj() override { return new ProbeFile; }
};

// The bytes of a file; none when it cannot be read.
inline std::vector<unsigned char> fileBytes(const std::string& path)
{
    std::vector<unsigned char> bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    int ch;
    while ((ch = fgetc(f)) != EOF)
        bytes.push_back((unsigned char)ch);
    fclose(f);
    return bytes;
}

// The lowest free descriptor number; unchanged across an operation when
// the operation leaked no descriptor.
inline int lowestFreeFd()
{
    int fd = dup(0);
    if (fd >= 0)
        close(fd);
    return fd;
}

inline int modelBit(kelColorModel m)
{
    return 1 << m;
}

// Messages that reach the error handler, formatted.
struct CapturedMessages {
    std::vector<std::string> texts;
    std::vector<int> severities;

    static void handler(void* arg, int flags, const char* fmt, va_list args)
    {
        auto* self = static_cast<CapturedMessages*>(arg);
        char buf[512];
        vsnprintf(buf, sizeof buf, fmt, args);
        self->texts.push_back(buf);
        self->severities.push_back(flags & 0xff);
    }
    bool has(const std::string& text) const
    {
        for (const std::string& t : texts)
            if (t == text)
                return true;
        return false;
    }
};

#endif
