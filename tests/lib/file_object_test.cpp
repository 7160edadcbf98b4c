#include "file_test_support.h"

namespace {

class FileObject : public ::testing::Test {
protected:
    void SetUp() override { probeLog = ProbeLog(); }
};

TEST_F(FileObject, BaseOperationsAnswerUnsupported)
{
    ProbeFile f;
    char buf[4];
    double lo, hi;
    const kelColormap* cmap = nullptr;
    EXPECT_EQ(kelOKAY, f.kelFile::flush());
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.getPage(buf, 0, 0, 0, 0, 1, 1, 1, 1));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.setPage(buf, 0, 0, 0, 0, 1, 1, 1, 1));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.getCompressedPage(1, 2));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.decompressPage());
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.compressPage());
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.setCompressedPage());
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.appendImg(nullptr, nullptr));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.getColormap(cmap));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.setColormap(nullptr));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.kelFile::getStatMinMax(lo, hi));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.kelFile::setStatMinMax(0, 1));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.kelFile::getScaleMinMax(lo, hi));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.kelFile::setScaleMinMax(0, 1));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.getTag(1, &lo));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.setItem(1, 2.0));
    EXPECT_STREQ("Base File", f.getDefaultDescription());
}

TEST_F(FileObject, OptionalServicesNeedAFormatOfInterface21)
{
    ProbeFile f;
    int size = 0;
    void* profile = nullptr;
    unsigned int align = 0;
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.getICCProfile(size, profile));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.freeICCProfile(nullptr));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.setICCProfile(0, nullptr));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.enableDirectIO(1));
    EXPECT_EQ(kelUNSUPPORTEDBYFORMAT, f.getDirectIOMemAlignment(align));
}

TEST_F(FileObject, SingleImageSelection)
{
    ProbeFile f;
    EXPECT_EQ(1, f.getNumImgs());
    EXPECT_EQ(0, f.getCurrentImg());
    EXPECT_EQ(kelOKAY, f.setCurrentImg(0));
    EXPECT_EQ(kelFILEINDEXOOB, f.setCurrentImg(1));
    EXPECT_EQ(kelFILEINDEXOOB, f.setCurrentImg(-1));
    probeLog.numImgs = 3;
    // other images exist, but the base class cannot switch to them
    EXPECT_EQ(kelUNSUPPORTEDBYLIBRARY, f.setCurrentImg(2));
    EXPECT_EQ(kelFILEINDEXOOB, f.setCurrentImg(3));
}

TEST_F(FileObject, AttributeChangesAreReadAndCleared)
{
    ProbeFile f;
    EXPECT_EQ(0, f.haveAttributesChanged());
    f.changeAttributes();
    EXPECT_EQ(1, f.haveAttributesChanged());
    EXPECT_EQ(0, f.haveAttributesChanged());
}

struct HookRecord {
    int calls = 0;
    kelStatus result = 0;
};

kelStatus hook(void* arg)
{
    auto* r = static_cast<HookRecord*>(arg);
    r->calls++;
    return r->result;
}

TEST_F(FileObject, IoHooksRunWithTheirArgument)
{
    ProbeFile f;
    EXPECT_EQ(kelOKAY, f.runBegin());
    EXPECT_EQ(kelOKAY, f.runEnd());
    HookRecord begin, end;
    begin.result = kelREADFAILED;
    f.setBeginFileIO_CB(hook, &begin);
    f.setEndFileIO_CB(hook, &end);
    EXPECT_EQ(kelREADFAILED, f.runBegin());
    EXPECT_EQ(kelOKAY, f.runEnd());
    EXPECT_EQ(1, begin.calls);
    EXPECT_EQ(1, end.calls);
    f.setBeginFileIO_CB(nullptr, nullptr);
    EXPECT_EQ(kelOKAY, f.runBegin());
    EXPECT_EQ(1, begin.calls);
}

TEST_F(FileObject, ClassIdentity)
{
    ProbeFile f;
    EXPECT_STREQ("kelFile", f.getClassName());
    EXPECT_EQ(nullptr, f.getClassName(1));
    EXPECT_EQ(&kelFile::classList, f.getClassId());
    EXPECT_EQ(1, f.derivesFrom(&kelFile::classList));
    kelClassList other("other", nullptr);
    EXPECT_EQ(0, f.derivesFrom(&other));
}

// Items: the variadic entry points hand their arguments on unchanged.
class ItemFile : public ProbeFile {
public:
    using kelFile::getItem;
    using kelFile::setItem;
    kelStatus getItem(int tag, va_list args) override
    {
        int* out = va_arg(args, int*);
        *out = tag * 10;
        return tag == 99 ? kelStatus(kelBADFIELDGET) : kelStatus(kelOKAY);
    }
    // Tag 7 takes one int, the others an int and a double.
    kelStatus setItem(int tag, va_list args) override
    {
        lastTag = tag;
        lastInt = va_arg(args, int);
        if (tag != 7)
            lastDouble = va_arg(args, double);
        return kelOKAY;
    }
    int lastTag = 0, lastInt = 0;
    double lastDouble = 0;
};

kelStatus callGetTagV(kelFile& f, int tag, ...)
{
    va_list args;
    va_start(args, tag);
    kelStatus sts = f.getTagV(tag, args);
    va_end(args);
    return sts;
}

TEST_F(FileObject, ItemEntryPointsPassTheirArguments)
{
    ItemFile f;
    int v = 0;
    EXPECT_EQ(kelOKAY, f.getTag(3, &v));
    EXPECT_EQ(30, v);
    EXPECT_EQ(kelOKAY, f.getItem(4, &v));
    EXPECT_EQ(40, v);
    EXPECT_EQ(kelBADFIELDGET, callGetTagV(f, 99, &v));
    EXPECT_EQ(990, v);
    EXPECT_EQ(kelOKAY, f.setTag(5, 17, 2.5));
    EXPECT_EQ(5, f.lastTag);
    EXPECT_EQ(17, f.lastInt);
    EXPECT_DOUBLE_EQ(2.5, f.lastDouble);
    EXPECT_EQ(kelOKAY, f.setItem(6, -1, 0.25));
    EXPECT_EQ(6, f.lastTag);
    EXPECT_EQ(-1, f.lastInt);
    EXPECT_DOUBLE_EQ(0.25, f.lastDouble);
}

TEST_F(FileObject, ALiteralZeroAfterTheTagIsAValue)
{
    ItemFile f;
    f.lastInt = 5;
    EXPECT_EQ(kelOKAY, f.setItem(7, 0));
    EXPECT_EQ(7, f.lastTag);
    EXPECT_EQ(0, f.lastInt);
    kelFile& base = f;
    EXPECT_EQ(kelOKAY, base.setItem(7, 0));
    EXPECT_EQ(0, f.lastInt);
}

TEST_F(FileObject, SizesUprightAndInOtherOrientations)
{
    ProbeFile f;
    f.setGeometry(kelSize(3, 4, 5, 2), kelSize(3, 2, 1, 1), kelLeftUpperOrigin);
    kelSize s;
    f.getDimensions(s);
    EXPECT_EQ(kelSize(4, 3, 5, 2), s);
    f.getPageDimensions(s);
    EXPECT_EQ(kelSize(2, 3, 1, 1), s);
    f.getSize(s, kelRightLowerOrigin);
    EXPECT_EQ(kelSize(3, 4, 5, 2), s);
    f.getPageSize(s, kelUpperRightOrigin);
    EXPECT_EQ(kelSize(2, 3, 1, 1), s);
    EXPECT_EQ(5, f.getZsize());
    EXPECT_EQ(2, f.getCsize());
}

TEST_F(FileObject, CloseFlushesUnlessBitZeroIsSet)
{
    auto* f = new ProbeFile;
    EXPECT_EQ(kelOKAY, f->close());
    EXPECT_EQ(1, probeLog.flushCalls);
    EXPECT_EQ(1, probeLog.closeCalls);
    EXPECT_EQ(1, probeLog.destroyed);

    f = new ProbeFile;
    probeLog.closeResult = kelCLOSEFAILED;
    EXPECT_EQ(kelCLOSEFAILED, f->close(1));
    EXPECT_EQ(1, probeLog.flushCalls);
    EXPECT_EQ(2, probeLog.closeCalls);
    EXPECT_EQ(2, probeLog.destroyed);
}

TEST_F(FileObject, CloseReportsTheFlushFailureFirst)
{
    probeLog.flushResult = kelWRITEFAILED;
    probeLog.closeResult = kelCLOSEFAILED;
    EXPECT_EQ(kelWRITEFAILED, (new ProbeFile)->close());
    EXPECT_EQ(1, probeLog.closeCalls);
    EXPECT_EQ(1, probeLog.destroyed);
}

TEST(FileConfig, ConstructionAndDefaultedFields)
{
    kelFileConfig empty;
    EXPECT_TRUE(empty.areDimensionsDefaulted());
    EXPECT_TRUE(empty.isDataTypeDefaulted());
    EXPECT_TRUE(empty.isOrderDefaulted());
    EXPECT_TRUE(empty.isColorModelDefaulted());
    EXPECT_TRUE(empty.isOrientationDefaulted());
    EXPECT_TRUE(empty.isCompressionDefaulted());
    EXPECT_TRUE(empty.arePageDimensionsDefaulted());

    const kelSize dims(10, 20, 1, 3), page(10, 0, 1, 3);
    kelFileConfig c(&dims, kelShort, kelSeparate, kelRGB, kelLeftLowerOrigin, kelNoCompression, &page);
    EXPECT_FALSE(c.areDimensionsDefaulted());
    EXPECT_TRUE(c.arePageDimensionsDefaulted()); // one component open
    EXPECT_FALSE(c.isDataTypeDefaulted());
    EXPECT_EQ(kelShort, c.getDataType());
    EXPECT_EQ(kelSeparate, c.getOrder());
    EXPECT_EQ(kelRGB, c.getColorModel());
    EXPECT_EQ(kelLeftLowerOrigin, c.getOrientation());
    EXPECT_EQ(kelNoCompression, c.getCompression());

    kelSize s;
    c.getDimensions(s);
    EXPECT_EQ(dims, s);
    c.getSize(s); // transposed orientation: x and y as stored
    EXPECT_EQ(kelSize(20, 10, 1, 3), s);
    c.getPageSize(s);
    EXPECT_EQ(kelSize(0, 10, 1, 3), s);

    kelFileConfig copy = c;
    copy.getPageDimensions(s);
    EXPECT_EQ(page, s);
    c.reset();
    EXPECT_TRUE(c.isDataTypeDefaulted());
    EXPECT_TRUE(c.areDimensionsDefaulted());
    EXPECT_FALSE(copy.isDataTypeDefaulted());
}

TEST(FileConfig, FromAFileHoldsUprightSizes)
{
    ProbeFile f;
    f.setGeometry(kelSize(3, 4, 1, 3), kelSize(3, 2, 1, 1), kelRightUpperOrigin);
    f.setAttributes(kelFloat, kelSequential, kelHSV, kelNoCompression);
    kelFileConfig c(&f);
    kelSize s;
    c.getDimensions(s);
    EXPECT_EQ(kelSize(4, 3, 1, 3), s);
    c.getPageDimensions(s);
    EXPECT_EQ(kelSize(2, 3, 1, 1), s);
    EXPECT_EQ(kelFloat, c.getDataType());
    EXPECT_EQ(kelSequential, c.getOrder());
    EXPECT_EQ(kelHSV, c.getColorModel());
    EXPECT_EQ(kelRightUpperOrigin, c.getOrientation());
    EXPECT_EQ(kelNoCompression, c.getCompression());

    kelFileConfig none(static_cast<kelFile*>(nullptr));
    EXPECT_TRUE(none.areDimensionsDefaulted());
    EXPECT_TRUE(none.isOrientationDefaulted());
}

} // namespace
