#include "file_test_support.h"

#include <limits.h>

namespace {

// Each test runs in a child process whose database holds the probe formats.
class FormatTest : public ::testing::Test {
protected:
    FormatTest() : db(dir.write("db", testDatabaseText(false))) {}
    ScratchDir dir;
    std::string db;
};

TEST_F(FormatTest, ConstructionRegistersWithTheEntry)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        CHILD_EXPECT(fmt.getName() && strcmp(fmt.getName(), "ProbeFmt") == 0);
        CHILD_EXPECT(kelFormat::findByFormatName("ProbeFmt", 0) == &fmt);
        CHILD_EXPECT(kelFormat::findByFormatName("probefmt", 0) == &fmt);
        CHILD_EXPECT(strcmp(fmt.getDefaultSuffix(), ".prb") == 0);
        CHILD_EXPECT(strcmp(fmt.getDescription(), "Probe format") == 0);
        CHILD_EXPECT_EQ(fmt.accessModeIsSupported(0), 1);
        CHILD_EXPECT_EQ(fmt.accessModeIsSupported(1), 1);
        CHILD_EXPECT_EQ(fmt.accessModeIsSupported(2), 1);
        CHILD_EXPECT_EQ(fmt.haveDSOVersion(1, 3), 1);
        CHILD_EXPECT_EQ(fmt.haveDSOVersion(0, 9), 1);
        CHILD_EXPECT_EQ(fmt.haveDSOVersion(1, 4), 0);
        CHILD_EXPECT_EQ(fmt.haveDSOVersion(2, 1), 0);
        int count = 5;
        CHILD_EXPECT(fmt.getTagDescriptions(count) == nullptr);
        CHILD_EXPECT_EQ(count, 0);
    });
}

TEST_F(FormatTest, AccessOfAReadOnlyEntry)
{
    class ReadOnlyProbe : public kelReadOnlyFormat {
    public:
        ReadOnlyProbe() : kelReadOnlyFormat("ReadOnlyFmt") {}
    };
    EXPECT_IN_CHILD(db.c_str(), {
        ReadOnlyProbe fmt;
        CHILD_EXPECT_EQ(fmt.accessModeIsSupported(0), 1);
        CHILD_EXPECT_EQ(fmt.accessModeIsSupported(1), 0);
        CHILD_EXPECT_EQ(fmt.accessModeIsSupported(2), 0);
        CHILD_EXPECT(fmt.getDefaultSuffix() == nullptr);
        // Nothing is supported, so no file of it can be created.
        kelFileConfig fc;
        CHILD_EXPECT_EQ(fmt.applyDefaults(static_cast<kelFileConfig*>(nullptr), fc), kelUNSUPPORTEDBYFORMAT);
        // Every capability and every preference answers 0.
        const int answers[] = {fmt.typeIsSupported(kelUChar),
                               fmt.orderIsSupported(kelInterleaved),
                               fmt.orientationIsSupported(kelLowerLeftOrigin),
                               fmt.colorModelIsSupported(kelRGB),
                               fmt.compressionIsSupported(kelNoCompression),
                               fmt.sizeIsSupported(4, 4, 1, 3, kelLowerLeftOrigin),
                               fmt.pagingIsSupported(),
                               fmt.pageSizeIsSupported(4, 4, 1, 3, 4, 4, 1, 3, kelLowerLeftOrigin),
                               fmt.randomAccessReadIsSupported(),
                               fmt.randomAccessWriteIsSupported(),
                               fmt.getPreferredType(),
                               fmt.getPreferredOrder(),
                               fmt.getPreferredOrientation(),
                               fmt.getPreferredColorModel(3),
                               fmt.getPreferredCompression()};
        for (int a : answers)
            CHILD_EXPECT_EQ(a, 0);
        int px = 4, py = 5, pz = 6, pc = 7;
        fmt.getPreferredPageSize(1, 1, 1, 1, px, py, pz, pc, kelLowerLeftOrigin);
        CHILD_EXPECT(px == 4 && py == 5 && pz == 6 && pc == 7);
        CHILD_EXPECT(fmt.newfileobj() == nullptr);
    });
}

TEST_F(FormatTest, UnknownNameIsReportedAndLeftUnregistered)
{
    EXPECT_IN_CHILD(db.c_str(), {
        CapturedMessages messages;
        kelSetLocalErrorHandler guard(CapturedMessages::handler, &messages);
        ProbeFormat fmt("NoSuchFmt");
        CHILD_EXPECT(messages.has("Format NoSuchFmt not in KEL database"));
        CHILD_EXPECT_EQ(messages.severities.at(0), kelSeverityError);
        CHILD_EXPECT(fmt.getName() == nullptr);
        CHILD_EXPECT(fmt.getDefaultSuffix() == nullptr);
        CHILD_EXPECT(fmt.getDescription() == nullptr);
        CHILD_EXPECT_EQ(fmt.accessModeIsSupported(2), 0);
        CHILD_EXPECT_EQ(fmt.haveDSOVersion(1, 3), 0);
        CHILD_EXPECT_EQ(fmt.haveDSOVersion(2, 1), 0);
    });
}

TEST_F(FormatTest, UnknownNameEndsTheProcessUnderTheDefaultHandler)
{
    EXPECT_EXIT(
        {
            setenv("KEL_DATABASE", db.c_str(), 1);
            ProbeFormat fmt("NoSuchFmt");
            exit(0);
        },
        ::testing::ExitedWithCode(1), "Format NoSuchFmt not in KEL database");
}

TEST_F(FormatTest, Lookups)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        CHILD_EXPECT(kelFormat::findByFileName("a.probe", 0, 0) == &fmt);
        CHILD_EXPECT(kelFormat::findByFileName("a.prb", 1, 0) == &fmt);
        CHILD_EXPECT(kelFormat::findByFileName(".prb", 0, 0) == nullptr);
        CHILD_EXPECT(kelFormat::findByFileName("a.PRB", 0, 0) == nullptr);
        CHILD_EXPECT(kelFormat::findByFormatName("ReadOnlyFmt", 0) == nullptr);
        CHILD_EXPECT(kelFormat::findByFormatName("Missing", 1) == nullptr);
        // Enumeration skips entries whose object does not exist.
        int index = 0, found = 0;
        while (kelFormat* f = kelFormat::findNext(index, 0)) {
            CHILD_EXPECT(f == &fmt);
            found++;
        }
        CHILD_EXPECT_EQ(found, 1);
        int fd = ::open(db.c_str(), O_RDONLY);
        CHILD_EXPECT(kelFormat::findByMagic(fd, 0) == nullptr); // no entry has a rule
        ::close(fd);
    });
}

// applyDefaults with a source configuration.
TEST_F(FormatTest, DataTypeSearchesUpThenDown)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        fmt.types = kelUChar | kelUShort;
        kelFileConfig src(nullptr, kelShort, kelInterleaved, kelLuminance, kelLowerLeftOrigin, kelNoCompression);
        kelFileConfig fc;
        fmt.applyDefaults(&src, fc);
        CHILD_EXPECT_EQ(fc.getDataType(), kelUShort);
        const std::vector<int> asked = {16, 32, 64, 128, 256, 256, 128, 64, 32, 16, 8};
        CHILD_EXPECT(fmt.typesAsked.size() > asked.size());
        CHILD_EXPECT(std::equal(asked.begin(), asked.end(), fmt.typesAsked.begin()));

        fmt.types = 0; // nothing: the search ends at kelBit, which is stored
        kelFileConfig none;
        CHILD_EXPECT_EQ(fmt.applyDefaults(&src, none), kelUNSUPPORTEDBYFORMAT);
        CHILD_EXPECT_EQ(none.getDataType(), kelBit);
    });
}

TEST_F(FormatTest, ColorModelSearchesDownThenUp)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        fmt.models = modelBit(kelLuminance) | modelBit(kelRGB);
        kelFileConfig src(nullptr, kelUChar, kelInterleaved, kelRGBA, kelLowerLeftOrigin, kelNoCompression);
        kelFileConfig fc;
        fmt.applyDefaults(&src, fc);
        CHILD_EXPECT_EQ(fc.getColorModel(), kelRGB);

        fmt.models = modelBit(kelCMYK);
        kelFileConfig up;
        fmt.applyDefaults(&src, up); // down from 5 to 1, then up to 8
        CHILD_EXPECT_EQ(up.getColorModel(), kelCMYK);
    });
}

TEST_F(FormatTest, ColorModelSearchOfAGarbageValueStaysShort)
{
    class CountingProbe : public ProbeFormat {
    public:
        long long modelQuestions = 0;
        int colorModelIsSupported(kelColorModel m) override
        {
            modelQuestions++;
            return ProbeFormat::colorModelIsSupported(m);
        }
    };
    EXPECT_IN_CHILD(db.c_str(), {
        CountingProbe fmt;
        fmt.models = modelBit(kelRGB);
        for (int garbage : {INT_MIN, -1, 14, INT_MAX}) {
            kelFileConfig src(nullptr, kelUChar, kelInterleaved, kelColorModel(garbage), kelLowerLeftOrigin,
                              kelNoCompression);
            kelFileConfig fc;
            fmt.modelQuestions = 0;
            fmt.applyDefaults(&src, fc);
            CHILD_EXPECT_EQ(fc.getColorModel(), kelRGB);
            CHILD_EXPECT(fmt.modelQuestions < 30);
        }
    });
}

TEST_F(FormatTest, ChannelCountOverridesTheSourceModel)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        fmt.models = modelBit(kelLuminance) | modelBit(kelRGB) | modelBit(kelRGBA);
        const kelSize srcDims(8, 6, 1, 4);
        kelFileConfig src(&srcDims, kelUChar, kelInterleaved, kelRGBA, kelLowerLeftOrigin, kelNoCompression);
        const kelSize want(0, 0, 0, 1);
        kelFileConfig fc(&want);
        CHILD_EXPECT_EQ(fmt.applyDefaults(&src, fc), kelOKAY);
        CHILD_EXPECT_EQ(fc.getColorModel(), kelLuminance);
        kelSize s;
        fc.getDimensions(s);
        CHILD_EXPECT(s == kelSize(8, 6, 1, 1));
    });
}

TEST_F(FormatTest, SizesComeFromTheSource)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const kelSize srcDims(8, 6, 2, 5), srcPage(4, 3, 1, 5);
        kelFileConfig src(&srcDims, kelFloat, kelSeparate, kelMultiSpectral, kelUpperLeftOrigin, kelNoCompression,
                          &srcPage);
        kelFileConfig fc;
        CHILD_EXPECT_EQ(fmt.applyDefaults(&src, fc), kelOKAY);
        kelSize s;
        fc.getDimensions(s);
        CHILD_EXPECT(s == kelSize(8, 6, 2, 5)); // multi-spectral: the source's count
        fc.getPageDimensions(s);
        CHILD_EXPECT(s == kelSize(4, 3, 1, 1)); // separate: one channel per page
        CHILD_EXPECT_EQ(fc.getOrder(), kelSeparate);
        CHILD_EXPECT_EQ(fc.getOrientation(), kelUpperLeftOrigin);
        CHILD_EXPECT_EQ(fc.getDataType(), kelFloat);
        CHILD_EXPECT_EQ(fmt.pageSizeCalls, 0);

        const kelSize rgbDims(8, 6, 1, 3), rgbPage(8, 2, 1, 3);
        kelFileConfig rgb(&rgbDims, kelUChar, kelInterleaved, kelRGB, kelLowerLeftOrigin, kelNoCompression,
                          &rgbPage);
        const kelSize partial(0, 10, 0, 0);
        kelFileConfig mine(&partial, kelDataType(0), kelOrder(0), kelRGBA);
        CHILD_EXPECT_EQ(fmt.applyDefaults(&rgb, mine), kelOKAY);
        mine.getDimensions(s);
        CHILD_EXPECT(s == kelSize(8, 10, 1, 4)); // chosen y kept; c from the chosen model
        mine.getPageDimensions(s);
        CHILD_EXPECT(s == kelSize(8, 2, 1, 4));
    });
}

TEST_F(FormatTest, UnsupportedSourceValuesFallBackToPreferences)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        fmt.orders = kelInterleaved;
        fmt.compressions = 1 << kelNoCompression;
        fmt.prefOrder = kelInterleaved;
        fmt.prefCompression = kelNoCompression;
        const kelSize dims(4, 4, 1, 3);
        kelFileConfig src(&dims, kelUChar, kelSequential, kelRGB, kelOrientation(0), kelLZW, &dims);
        kelFileConfig fc;
        CHILD_EXPECT_EQ(fmt.applyDefaults(&src, fc), kelOKAY);
        CHILD_EXPECT_EQ(fc.getOrder(), kelInterleaved);
        CHILD_EXPECT_EQ(fc.getCompression(), kelNoCompression);
        CHILD_EXPECT_EQ(fc.getOrientation(), kelLowerLeftOrigin);

        // A source of no data type gives no hint (and no endless search).
        kelFileConfig noType(&dims, kelDataType(0), kelInterleaved, kelRGB, kelLowerLeftOrigin,
                             kelNoCompression, &dims);
        kelFileConfig out;
        fmt.applyDefaults(&noType, out);
        CHILD_EXPECT_EQ(out.getDataType(), kelUChar);
    });
}

TEST_F(FormatTest, PageSizeQuestionsWithASource)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        fmt.pageOk = 0;
        const kelSize dims(10, 10, 1, 3), page(4, 4, 1, 3);
        kelFileConfig src(&dims, kelUChar, kelInterleaved, kelRGB, kelLowerLeftOrigin, kelNoCompression, &page);

        // All four page components given: no page question before the final check.
        kelFileConfig given(&dims, kelDataType(0), kelOrder(0), kelColorModel(0), kelOrientation(0),
                            kelCompression(0), &page);
        CHILD_EXPECT_EQ(fmt.applyDefaults(&src, given), kelUNSUPPORTEDBYFORMAT);
        CHILD_EXPECT_EQ(fmt.pageSizeCalls, 0);
        CHILD_EXPECT_EQ(fmt.pageQuestions, 1);

        // One page component open: asked, refused, so the format rewrites it.
        fmt.pageQuestions = 0;
        fmt.prefPage = kelSize(2, 2, 1, 3);
        const kelSize open(0, 4, 1, 3);
        kelFileConfig partial(&dims, kelDataType(0), kelOrder(0), kelColorModel(0), kelOrientation(0),
                              kelCompression(0), &open);
        fmt.applyDefaults(&src, partial);
        CHILD_EXPECT_EQ(fmt.pageSizeCalls, 1);
        CHILD_EXPECT_EQ(fmt.pageQuestions, 2);
        kelSize s;
        partial.getPageDimensions(s);
        CHILD_EXPECT(s == kelSize(2, 2, 1, 3));
    });
}

TEST_F(FormatTest, SourceFileGivesUprightSizes)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        ProbeFile file;
        file.setGeometry(kelSize(6, 8, 1, 3), kelSize(6, 8, 1, 3), kelLeftUpperOrigin);
        file.setAttributes(kelUShort, kelInterleaved, kelRGB, kelNoCompression);
        kelFileConfig fc;
        CHILD_EXPECT_EQ(fmt.applyDefaults(&file, fc), kelOKAY);
        kelSize s;
        fc.getDimensions(s);
        CHILD_EXPECT(s == kelSize(8, 6, 1, 3));
        CHILD_EXPECT_EQ(fc.getDataType(), kelUShort);
        CHILD_EXPECT_EQ(fc.getOrientation(), kelLeftUpperOrigin);
    });
}

// applyDefaults without a source.
TEST_F(FormatTest, PreferencesFillAnEmptyConfiguration)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        fmt.prefType = kelShort;
        fmt.prefOrder = kelSequential;
        fmt.prefOrientation = kelUpperLeftOrigin;
        fmt.prefPage = kelSize(16, 0, 0, 0);
        const kelSize dims(40, 30, 0, 0);
        kelFileConfig fc(&dims);
        CHILD_EXPECT_EQ(fmt.applyDefaults(static_cast<kelFile*>(nullptr), fc), kelOKAY);
        CHILD_EXPECT_EQ(fc.getDataType(), kelShort);
        CHILD_EXPECT_EQ(fc.getOrder(), kelSequential);
        CHILD_EXPECT_EQ(fc.getOrientation(), kelUpperLeftOrigin);
        CHILD_EXPECT_EQ(fc.getColorModel(), kelRGB);
        CHILD_EXPECT_EQ(fc.getCompression(), kelNoCompression);
        kelSize s;
        fc.getDimensions(s);
        CHILD_EXPECT(s == kelSize(40, 30, 1, 3));
        fc.getPageDimensions(s);
        CHILD_EXPECT(s == kelSize(16, 30, 1, 3));
        CHILD_EXPECT_EQ(fmt.pageSizeCalls, 1);
        CHILD_EXPECT_EQ(fmt.pageQuestions, 1); // the final check only
    });
}

TEST_F(FormatTest, WithoutSourceOrSizeTheSizeStaysOpen)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        kelFileConfig fc;
        CHILD_EXPECT_EQ(fmt.applyDefaults(static_cast<kelFileConfig*>(nullptr), fc), kelOKAY);
        kelSize s;
        fc.getDimensions(s);
        CHILD_EXPECT(s == kelSize(0, 0, 1, 3));

        fmt.sizeOk = 0;
        kelFileConfig refused;
        CHILD_EXPECT_EQ(fmt.applyDefaults(static_cast<kelFileConfig*>(nullptr), refused), kelUNSUPPORTEDBYFORMAT);
        refused.getDimensions(s);
        CHILD_EXPECT(s == kelSize(0, 0, 1, 3)); // filled values are kept
        CHILD_EXPECT_EQ(refused.getDataType(), kelUChar);
    });
}

TEST_F(FormatTest, MultiSpectralWithoutCountGetsNoChannels)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        const kelSize dims(5, 5, 1, 0);
        kelFileConfig fc(&dims, kelDataType(0), kelOrder(0), kelMultiSpectral);
        fmt.applyDefaults(static_cast<kelFileConfig*>(nullptr), fc);
        kelSize s;
        fc.getDimensions(s);
        CHILD_EXPECT(s == kelSize(5, 5, 1, 0));
    });
}

TEST_F(FormatTest, ChosenFieldsAreKeptAndCheckedInOrder)
{
    EXPECT_IN_CHILD(db.c_str(), {
        ProbeFormat fmt;
        fmt.types = kelUChar;
        const kelSize dims(4, 4, 1, 1), page(4, 4, 1, 1);
        kelFileConfig fc(&dims, kelFloat, kelSeparate, kelLuminance, kelRightLowerOrigin, kelNoCompression, &page);
        CHILD_EXPECT_EQ(fmt.applyDefaults(static_cast<kelFileConfig*>(nullptr), fc), kelUNSUPPORTEDBYFORMAT);
        CHILD_EXPECT_EQ(fc.getDataType(), kelFloat);
        CHILD_EXPECT_EQ(fc.getOrder(), kelSeparate);
        CHILD_EXPECT_EQ(fc.getOrientation(), kelRightLowerOrigin);
        // The type check failed, so the page question after it was never asked.
        CHILD_EXPECT_EQ(fmt.sizeQuestions, 1);
        CHILD_EXPECT_EQ(fmt.pageQuestions, 0);
        fmt.types = kelFloat;
        CHILD_EXPECT_EQ(fmt.applyDefaults(static_cast<kelFileConfig*>(nullptr), fc), kelOKAY);
        CHILD_EXPECT_EQ(fmt.pageQuestions, 1);
    });
}

} // namespace
