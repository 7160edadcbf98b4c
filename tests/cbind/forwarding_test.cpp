// Each family of binding functions against the members they forward to,
// on objects whose attributes all differ, so that a function wired to the
// wrong member shows.
#include <gtest/gtest.h>
#include <kel/kel.h>

#include <fcntl.h>

#include <string>
#include <vector>

#include "lib/file_test_support.h"

namespace {

kelFormat* raw()
{
    return kelFormat::findByFormatName("Raw", 1);
}

bool operator==(const kelFileConfig& a, const kelFileConfig& b)
{
    kelSize ad, bd, ap, bp;
    a.getDimensions(ad);
    b.getDimensions(bd);
    a.getPageDimensions(ap);
    b.getPageDimensions(bp);
    return ad == bd && ap == bp && a.getDataType() == b.getDataType() && a.getOrder() == b.getOrder() &&
           a.getColorModel() == b.getColorModel() && a.getOrientation() == b.getOrientation() &&
           a.getCompression() == b.getCompression();
}

// A 5 x 3 x 2 image of 2 channels in a transposed orientation, 2 x 2 x 1 x 1 pages.
class CbindFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.file("img.raw");
        file = kelFileCreate(path.c_str(), nullptr, &cfg, raw(), &sts);
        ASSERT_NE(nullptr, file) << sts;
    }
    void TearDown() override
    {
        if (file) {
            EXPECT_EQ(kelOKAY, kelFileClose(file, 0));
        }
    }
    std::string openName() const
    {
        return path + "#Raw%size=5,3,2,2%pagesize=2,2,1,1%type=short%order=separate%colormodel=la%orientation=rt";
    }

    ScratchDir dir;
    std::string path;
    kelSize size = kelSize(5, 3, 2, 2), page = kelSize(2, 2, 1, 1);
    kelFileConfig cfg = kelFileConfig(&size, kelShort, kelSeparate, kelLuminanceAlpha, kelRightUpperOrigin,
                                      kelNoCompression, &page);
    kelStatus sts = -1;
    kelFile* file = nullptr;
};

TEST_F(CbindFile, AttributesAreTheMembers)
{
    EXPECT_EQ(file->getDataType(), kelFileGetDataType(file));
    EXPECT_EQ(file->getOrder(), kelFileGetOrder(file));
    EXPECT_EQ(file->getOrientation(), kelFileGetOrientation(file));
    EXPECT_EQ(file->getColorModel(), kelFileGetColorModel(file));
    EXPECT_EQ(file->getCompression(), kelFileGetCompression(file));
    EXPECT_EQ(file->getZsize(), kelFileGetZsize(file));
    EXPECT_EQ(file->getCsize(), kelFileGetCsize(file));
    EXPECT_EQ(file->getFileName(), kelFileGetFileName(file));
    EXPECT_EQ(file->getFileDesc(), kelFileGetFileDesc(file));
    EXPECT_EQ(file->getFileMode(), kelFileGetFileMode(file));
    EXPECT_EQ(file->getFormat(), kelFileGetFormat(file));
    EXPECT_EQ(file->getChannelPermutation(), kelFileGetChannelPermutation(file));
    EXPECT_EQ(file->getNumImgs(), kelFileGetNumImgs(file));
    EXPECT_EQ(file->getCurrentImg(), kelFileGetCurrentImg(file));
    EXPECT_EQ(file->setCurrentImg(3), kelFileSetCurrentImg(file, 3));
    EXPECT_EQ(file->haveAttributesChanged(), kelFileHaveAttributesChanged(file));
    kelSize own, got;
    file->getDimensions(own);
    kelFileGetDimensions(file, &got);
    EXPECT_EQ(own, got);
    EXPECT_EQ(size, got);
    file->getPageDimensions(own);
    kelFileGetPageDimensions(file, &got);
    EXPECT_EQ(own, got);
    for (int o = kelUpperLeftOrigin; o <= kelLeftLowerOrigin; o++) {
        file->getSize(own, kelOrientation(o));
        kelFileGetSize(file, &got, kelOrientation(o));
        EXPECT_EQ(own, got) << o;
        file->getPageSize(own, kelOrientation(o));
        kelFileGetPageSize(file, &got, kelOrientation(o));
        EXPECT_EQ(own, got) << o;
    }
}

// Services a Raw file lacks answer with the members' statuses.
TEST_F(CbindFile, OptionalServicesGiveTheMembersStatuses)
{
    double lo = 0, hi = 0, ownLo = 0, ownHi = 0;
    EXPECT_EQ(kelOKAY, kelFileSetScaleMinMax(file, -3, 9));
    EXPECT_EQ(kelOKAY, kelFileGetScaleMinMax(file, &lo, &hi));
    file->getScaleMinMax(ownLo, ownHi);
    EXPECT_EQ(-3, lo);
    EXPECT_EQ(ownHi, hi);
    EXPECT_EQ(file->setStatMinMax(1, 2), kelFileSetStatMinMax(file, 1, 2));
    EXPECT_EQ(file->getStatMinMax(ownLo, ownHi), kelFileGetStatMinMax(file, &lo, &hi));
    const kelColormap* cmap = nullptr;
    EXPECT_EQ(file->getColormap(cmap), kelFileGetColormap(file, &cmap));
    EXPECT_EQ(file->setColormap(nullptr), kelFileSetColormap(file, nullptr));
    int iccSize = 0;
    void* icc = nullptr;
    EXPECT_EQ(file->getICCProfile(iccSize, icc), kelFileGetICCProfile(file, &iccSize, &icc));
    EXPECT_EQ(file->setICCProfile(1, "x"), kelFileSetICCProfile(file, 1, "x"));
    EXPECT_EQ(file->freeICCProfile(nullptr), kelFileFreeICCProfile(file, nullptr));
    EXPECT_EQ(file->enableDirectIO(1), kelFileEnableDirectIO(file, 1));
    unsigned int align = 0;
    EXPECT_EQ(file->getDirectIOMemAlignment(align), kelFileGetDirectIOMemAlignment(file, &align));
    EXPECT_EQ(file->appendImg(file, &cfg), kelFileAppendImg(file, file, &cfg));
    EXPECT_EQ(kelOKAY, kelFileFlush(file));
}

TEST_F(CbindFile, TilesAndPagesMoveTheSamePixels)
{
    std::vector<short> written(5 * 3 * 2 * 2), read(written.size(), -1);
    for (size_t i = 0; i < written.size(); i++)
        written[i] = short(i * 7 - 50);
    int chans[] = {1, 0};
    kelConfig layout(kelShort, kelInterleaved, 2, chans, 0, kelUpperLeftOrigin);
    ASSERT_EQ(kelOKAY, kelFileSetTile(file, 0, 0, 0, 5, 3, 2, written.data(), &layout));
    ASSERT_EQ(kelOKAY, file->getTile(0, 0, 0, 5, 3, 2, read.data(), &layout));
    EXPECT_EQ(written, read);
    std::fill(read.begin(), read.end(), -1);
    EXPECT_EQ(kelOKAY, kelFileGetTile(file, 0, 0, 0, 5, 3, 2, read.data(), &layout));
    EXPECT_EQ(written, read);

    short ownPage[4] = {}, gotPage[4] = {}, newPage[4] = {9, 8, 7, 6};
    EXPECT_EQ(kelOKAY, kelFileSetPage(file, newPage, 2, 0, 1, 1, 2, 2, 1, 1));
    EXPECT_EQ(kelOKAY, file->getPage(ownPage, 2, 0, 1, 1, 2, 2, 1, 1));
    EXPECT_EQ(kelOKAY, kelFileGetPage(file, gotPage, 2, 0, 1, 1, 2, 2, 1, 1));
    EXPECT_EQ(0, memcmp(newPage, ownPage, sizeof ownPage));
    EXPECT_EQ(0, memcmp(newPage, gotPage, sizeof gotPage));
}

// Every open and create form reaches its member: same object attributes,
// same statuses on failure, descriptors used as given.
TEST_F(CbindFile, OpenAndCreateForms)
{
    kelFileClose(file, 0);
    file = nullptr;
    std::string name = openName();
    int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    kelFileDesc desc(name.c_str());
    kelStatus s1 = -1, s2 = -1, s3 = -1;
    kelFile* opened[] = {kelFileOpen(name.c_str(), O_RDONLY, &s1),
                         kelFileOpenByDescriptor(fd, name.c_str(), O_RDONLY, raw(), &s2),
                         kelFileOpenPreParsed(&desc, O_RDONLY, &s3)};
    EXPECT_EQ(kelOKAY, s1 | s2 | s3);
    EXPECT_EQ(fd, opened[1] ? opened[1]->getFileDesc() : -2);
    for (kelFile* f : opened) {
        ASSERT_NE(nullptr, f);
        kelFileConfig got(f);
        EXPECT_TRUE(got == cfg);
        EXPECT_EQ(kelOKAY, kelFileClose(f, 0));
    }

    std::string missing = dir.file("missing.raw") + "%size=1,1";
    kelStatus own = -1, got = -2;
    EXPECT_EQ(nullptr, kelFile::open(missing.c_str(), O_RDONLY, &own));
    EXPECT_EQ(nullptr, kelFileOpen(missing.c_str(), O_RDONLY, &got));
    EXPECT_EQ(own, got);

    int cfd = ::open(dir.file("b.raw").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(cfd, 0);
    kelFileDesc cdesc(dir.file("c.raw").c_str());
    kelFile* created[] = {kelFileCreate(dir.file("a.raw").c_str(), nullptr, &cfg, nullptr, &s1),
                          kelFileCreateByDescriptor(cfd, dir.file("b.raw").c_str(), nullptr, &cfg, raw(), &s2),
                          kelFileCreatePreParsed(&cdesc, nullptr, &cfg, &s3)};
    EXPECT_EQ(kelOKAY, s1 | s2 | s3);
    EXPECT_EQ(cfd, created[1] ? created[1]->getFileDesc() : -2);
    for (kelFile* f : created) {
        ASSERT_NE(nullptr, f);
        EXPECT_EQ(raw(), f->getFormat());
        EXPECT_TRUE(kelFileConfig(f) == cfg);
        EXPECT_EQ(kelOKAY, kelFileClose(f, 0));
    }
}

TEST(CbindFileName, ParseIsTheMember)
{
    const char* name = "a::b.gif#GIF:12%x=1";
    char *ownFmt = nullptr, *ownArgs = nullptr, *gotFmt = nullptr, *gotArgs = nullptr;
    int ownIdx = -9, gotIdx = -8;
    char* own = kelFile::parseFileName(name, &ownFmt, &ownIdx, &ownArgs);
    char* got = kelFileParseFileName(name, &gotFmt, &gotIdx, &gotArgs);
    ASSERT_TRUE(own && got);
    EXPECT_STREQ(own, got);
    EXPECT_STREQ(ownFmt, gotFmt);
    EXPECT_STREQ(ownArgs, gotArgs);
    EXPECT_EQ(ownIdx, gotIdx);
    free(own);
    free(got);
}

TEST(CbindFileConfig, CreateSettersAndGettersAreTheMembers)
{
    kelSize dims(7, 5, 3, 4), pages(7, 1, 1, 4);
    kelFileConfig own(&dims, kelUInt, kelSequential, kelCMYK, kelLeftLowerOrigin, kelPACKBITS, &pages);
    kelFileConfig* c = kelFileConfigCreate(&dims, kelUInt, kelSequential, kelCMYK, kelLeftLowerOrigin,
                                           kelPACKBITS, &pages);
    ASSERT_NE(nullptr, c);
    EXPECT_TRUE(*c == own);
    EXPECT_EQ(kelUInt, kelFileConfigGetDataType(c));
    EXPECT_EQ(kelSequential, kelFileConfigGetOrder(c));
    EXPECT_EQ(kelCMYK, kelFileConfigGetColorModel(c));
    EXPECT_EQ(kelLeftLowerOrigin, kelFileConfigGetOrientation(c));
    EXPECT_EQ(kelPACKBITS, kelFileConfigGetCompression(c));
    kelSize ownSize, gotSize;
    own.getSize(ownSize);
    kelFileConfigGetSize(c, &gotSize);
    EXPECT_EQ(kelSize(5, 7, 3, 4), gotSize);
    EXPECT_EQ(ownSize, gotSize);
    own.getPageSize(ownSize);
    kelFileConfigGetPageSize(c, &gotSize);
    EXPECT_EQ(ownSize, gotSize);

    // The pointers are the configuration's own storage: they see the setters.
    const kelSize* dimsPtr = kelFileConfigGetDimensionsPtr(c);
    const kelSize* pagePtr = kelFileConfigGetPageDimensionsPtr(c);
    kelSize other(2, 2, 1, 1);
    kelFileConfigSetDimensions(c, &other);
    kelFileConfigSetPageDimensions(c, &dims);
    EXPECT_EQ(other, *dimsPtr);
    EXPECT_EQ(dims, *pagePtr);
    kelFileConfigGetDimensions(c, &gotSize);
    EXPECT_EQ(other, gotSize);
    kelFileConfigGetPageDimensions(c, &gotSize);
    EXPECT_EQ(dims, gotSize);

    kelFileConfigSetDataType(c, kelChar);
    kelFileConfigSetOrder(c, kelInterleaved);
    kelFileConfigSetColorModel(c, kelYCC);
    kelFileConfigSetOrientation(c, kelUpperRightOrigin);
    kelFileConfigSetCompression(c, kelZIP);
    kelFileConfig expected(&other, kelChar, kelInterleaved, kelYCC, kelUpperRightOrigin, kelZIP, &dims);
    EXPECT_TRUE(*c == expected);

    kelFileConfigReset(c);
    EXPECT_TRUE(*c == kelFileConfig());
    kelFileConfigDelete(c);
}

// Each "defaulted" question against the field it asks about.
TEST(CbindFileConfig, DefaultedQuestions)
{
    typedef void (*Set)(kelFileConfig*);
    typedef int (*Ask)(kelFileConfig*);
    struct Row {
        Set set;
        Ask ask;
    };
    static const kelSize noC(4, 4, 1, 0), full(4, 4, 1, 1);
    const Row rows[] = {
        {[](kelFileConfig* c) { kelFileConfigSetDataType(c, kelBit); }, kelFileConfigIsDataTypeDefaulted},
        {[](kelFileConfig* c) { kelFileConfigSetOrder(c, kelSeparate); }, kelFileConfigIsOrderDefaulted},
        {[](kelFileConfig* c) { kelFileConfigSetColorModel(c, kelRGB); }, kelFileConfigIsColorModelDefaulted},
        {[](kelFileConfig* c) { kelFileConfigSetOrientation(c, kelUpperLeftOrigin); },
         kelFileConfigIsOrientationDefaulted},
        {[](kelFileConfig* c) { kelFileConfigSetCompression(c, kelLZW); }, kelFileConfigIsCompressionDefaulted},
        {[](kelFileConfig* c) { kelFileConfigSetDimensions(c, &full); }, kelFileConfigAreDimensionsDefaulted},
        {[](kelFileConfig* c) { kelFileConfigSetPageDimensions(c, &full); },
         kelFileConfigArePageDimensionsDefaulted},
    };
    for (const Row& row : rows) {
        kelFileConfig* c = kelFileConfigCreate(&noC, kelDataType(0), kelOrder(0), kelColorModel(0),
                                               kelOrientation(0), kelCompression(0), &noC);
        ASSERT_NE(nullptr, c);
        EXPECT_TRUE(row.ask(c));
        row.set(c);
        EXPECT_FALSE(row.ask(c));
        int stillDefaulted = 0;
        for (const Row& other : rows)
            stillDefaulted += other.ask(c);
        EXPECT_EQ(int(sizeof rows / sizeof rows[0]) - 1, stillDefaulted);
        kelFileConfigDelete(c);
    }
}

TEST_F(CbindFile, ConfigurationOfAFileAndDefaults)
{
    kelFileConfig* c = kelFileConfigFile(file);
    ASSERT_NE(nullptr, c);
    EXPECT_TRUE(*c == kelFileConfig(file));

    kelFileConfig own, got;
    kelFileConfig* wanted = kelFileConfigCreate(nullptr, kelFloat, kelOrder(0), kelColorModel(0),
                                                kelOrientation(0), kelCompression(0), nullptr);
    own.setDataType(kelFloat);
    EXPECT_EQ(raw()->applyDefaults(file, own), kelFormatApplyDefaults(raw(), file, wanted));
    EXPECT_TRUE(own == *wanted);
    EXPECT_EQ(kelFloat, wanted->getDataType());
    kelFileConfig* open = kelFileConfigCreate(nullptr, kelDataType(0), kelOrder(0), kelColorModel(0),
                                              kelOrientation(0), kelCompression(0), nullptr);
    EXPECT_EQ(raw()->applyDefaults(c, got), kelFormatApplyDefaultsConfig(raw(), c, open));
    EXPECT_TRUE(got == *open);
    EXPECT_TRUE(got == *c);
    kelFileConfigDelete(open);
    kelFileConfigDelete(wanted);
    kelFileConfigDelete(c);
}

TEST(CbindFileDesc, CreationFormsAreTheConstructors)
{
    kelFormat* fmt = raw();
    kelFileDesc own1("p.img#raw:4%a=b"), own2("q.img", 2, "Raw", "c=d"), own3("r.img", 1, fmt, nullptr);
    kelFileDesc* got[] = {kelFileDescCreate("p.img#raw:4%a=b", nullptr),
                          kelFileDescPreParsed("q.img", 2, "Raw", "c=d"),
                          kelFileDescFullyParsed("r.img", 1, fmt, nullptr)};
    const kelFileDesc* own[] = {&own1, &own2, &own3};
    for (int i = 0; i < 3; i++) {
        ASSERT_NE(nullptr, got[i]);
        EXPECT_EQ(own[i]->getStatus(), kelFileDescGetStatus(got[i]));
        EXPECT_STREQ(own[i]->getFileName(), kelFileDescGetFileName(got[i]));
        EXPECT_EQ(own[i]->getIndex(), kelFileDescGetIndex(got[i]));
        EXPECT_EQ(fmt, kelFileDescGetFormat(got[i]));
        EXPECT_STREQ("Raw", kelFileDescGetFormatName(got[i]));
        EXPECT_STREQ(own[i]->getFormatSpecific(), kelFileDescGetFormatSpecific(got[i]));
        EXPECT_EQ(own[i]->getFileDesc(), kelFileDescGetFileDesc(got[i]));
        kelFileDescSetFileDesc(got[i], 5);
        EXPECT_EQ(5, kelFileDescGetFileDesc(got[i]));
        kelFileDescDelete(got[i]);
    }
}

TEST(CbindFormat, QuestionsAreTheMembers)
{
    kelFormat* f = raw();
    ASSERT_NE(nullptr, f);
    for (int t = kelBit; t <= kelDouble; t <<= 1)
        EXPECT_EQ(f->typeIsSupported(kelDataType(t)), kelFormatTypeIsSupported(f, kelDataType(t)));
    for (int c = kelUnknownCompression; c <= kelZIP; c++)
        EXPECT_EQ(f->compressionIsSupported(kelCompression(c)), kelFormatCompressionIsSupported(f, kelCompression(c)));
    EXPECT_EQ(f->orderIsSupported(kelSeparate), kelFormatOrderIsSupported(f, kelSeparate));
    EXPECT_EQ(f->orientationIsSupported(kelRightLowerOrigin), kelFormatOrientationIsSupported(f, kelRightLowerOrigin));
    EXPECT_EQ(f->colorModelIsSupported(kelHSV), kelFormatColorModelIsSupported(f, kelHSV));
    EXPECT_EQ(f->sizeIsSupported(9, 8, 7, 6, kelUpperLeftOrigin),
              kelFormatSizeIsSupported(f, 9, 8, 7, 6, kelUpperLeftOrigin));
    EXPECT_EQ(f->pageSizeIsSupported(9, 8, 7, 6, 3, 2, 1, 1, kelUpperLeftOrigin),
              kelFormatPageSizeIsSupported(f, 9, 8, 7, 6, 3, 2, 1, 1, kelUpperLeftOrigin));
    EXPECT_EQ(f->pagingIsSupported(), kelFormatPagingIsSupported(f));
    EXPECT_EQ(f->randomAccessReadIsSupported(), kelFormatRandomAccessReadIsSupported(f));
    EXPECT_EQ(f->randomAccessWriteIsSupported(), kelFormatRandomAccessWriteIsSupported(f));
    EXPECT_EQ(f->getPreferredType(), kelFormatGetPreferredType(f));
    EXPECT_EQ(f->getPreferredOrder(), kelFormatGetPreferredOrder(f));
    EXPECT_EQ(f->getPreferredOrientation(), kelFormatGetPreferredOrientation(f));
    EXPECT_EQ(f->getPreferredColorModel(4), kelFormatGetPreferredColorModel(f, 4));
    EXPECT_EQ(f->getPreferredCompression(), kelFormatGetPreferredCompression(f));
    int own[4] = {0, 5, 0, 0}, got[4] = {0, 5, 0, 0};
    f->getPreferredPageSize(9, 8, 7, 6, own[0], own[1], own[2], own[3], kelLowerLeftOrigin);
    kelFormatGetPreferredPageSize(f, 9, 8, 7, 6, &got[0], &got[1], &got[2], &got[3], kelLowerLeftOrigin);
    EXPECT_EQ(0, memcmp(own, got, sizeof own));
    EXPECT_EQ(f->getName(), kelFormatGetName(f));
    EXPECT_EQ(f->getDescription(), kelFormatGetDescription(f));
    EXPECT_EQ(f->getDefaultSuffix(), kelFormatGetDefaultSuffix(f));
    EXPECT_EQ(f->accessModeIsSupported(O_RDWR), kelFormatAccessModeIsSupported(f, O_RDWR));
    EXPECT_EQ(f->haveDSOVersion(1, 3), kelFormatHaveDSOVersion(f, 1, 3));
    EXPECT_EQ(f->haveDSOVersion(1, 4), kelFormatHaveDSOVersion(f, 1, 4));
    int ownCount = -1, gotCount = -2;
    EXPECT_EQ(f->getTagDescriptions(ownCount), kelFormatGetTagDescriptions(f, &gotCount));
    EXPECT_EQ(ownCount, gotCount);
}

TEST(CbindFormat, LookupsAreTheMembers)
{
    kelFormat* f = raw();
    EXPECT_EQ(kelFormat::findByFormatName("rAW", 0), kelFormatFindByFormatName("rAW", 0));
    EXPECT_EQ(f, kelFormatFindByFileName("x/y.raw", 1, 0));
    EXPECT_EQ(kelFormat::findByFileName("y.gif", 0, 0), kelFormatFindByFileName("y.gif", 0, 0));
    int ownIndex = 0, gotIndex = 0;
    for (;;) {
        kelFormat* own = kelFormat::findNext(ownIndex, 0);
        EXPECT_EQ(own, kelFormatFindNext(&gotIndex, 0));
        EXPECT_EQ(ownIndex, gotIndex);
        if (!own)
            break;
    }
    ScratchDir dir;
    int fd = ::open(dir.write("sig", "BM\0\0\0\0\0\0").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    kelDatabase* bmp = kelDatabaseFindByMagic(fd);
    ASSERT_NE(nullptr, bmp);
    EXPECT_EQ(kelDatabase::findByMagic(fd), bmp);
    EXPECT_STREQ("BMP", kelDatabaseGetName(bmp));
    EXPECT_EQ(kelFormat::findByMagic(fd, 0), kelFormatFindByMagic(fd, 0));
    ::close(fd);
}

// A format object whose name is not in the database has no entry to answer
// from.
TEST(CbindFormat, UnregisteredFormatHasNoEntry)
{
    kelSetLocalErrorHandler quiet(kelSilentErrorHandler, nullptr);
    ProbeFormat fmt("NotInTheDatabase");
    EXPECT_EQ(nullptr, kelFormatGetDescription(&fmt));
    EXPECT_EQ(nullptr, kelFormatGetDefaultSuffix(&fmt));
    for (int mode : {O_RDONLY, O_WRONLY, O_RDWR})
        EXPECT_EQ(0, kelFormatAccessModeIsSupported(&fmt, mode));
}

TEST(CbindDatabase, EntriesAreTheMembers)
{
    kelDatabase* e = kelDatabaseFindByFormatName("raw");
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(kelDatabase::findByFormatName("RAW"), e);
    EXPECT_EQ(kelDatabase::findByFileName("a.raw", 1), kelDatabaseFindByFileName("a.raw", 1));
    EXPECT_EQ(e->getName(), kelDatabaseGetName(e));
    EXPECT_EQ(e->getDescription(), kelDatabaseGetDescription(e));
    EXPECT_EQ(e->getDSOName(), kelDatabaseGetDSOName(e));
    EXPECT_EQ(e->getInstSubSystem(), kelDatabaseGetInstSubSystem(e));
    EXPECT_EQ(e->getDefaultSuffix(), kelDatabaseGetDefaultSuffix(e));
    EXPECT_EQ(raw(), kelDatabaseGetFormat(e, 1));
    int ownIndex = 0, gotIndex = 0;
    for (;;) {
        kelDatabase* own = kelDatabase::findNext(ownIndex);
        EXPECT_EQ(own, kelDatabaseFindNext(&gotIndex));
        if (!own)
            break;
    }
}

// Access of an entry: the mode asked for, or any mode of a read-write entry.
class CbindDatabaseAccess : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    ScratchDir dir;
};

TEST_F(CbindDatabaseAccess, ModeMatchesOrEntryIsReadWrite)
{
    std::string db = dir.write("db", testDatabaseText(false));
    EXPECT_IN_CHILD(db.c_str(), {
        struct Row {
            const char* entry;
            int mode, expected;
        };
        const Row rows[] = {{"ReadOnlyFmt", O_RDONLY, 1}, {"ReadOnlyFmt", O_WRONLY, 0}, {"ReadOnlyFmt", O_RDWR, 0},
                            {"ProbeFmt", O_RDONLY, 1},    {"ProbeFmt", O_WRONLY, 1},    {"ProbeFmt", O_RDWR, 1}};
        for (const Row& row : rows) {
            kelDatabase* e = kelDatabaseFindByFormatName(row.entry);
            CHILD_EXPECT(e != nullptr);
            if (e)
                CHILD_EXPECT_EQ(kelDatabaseAccessModeIsSupported(e, row.mode), row.expected);
        }
    });
}

// The same entries into both tables, through the member and the binding;
// new tables start with unset entries.
void fillAlike(kelLut& own, kelLut* lut)
{
    double lo = own.getDomainMin(), step = own.getDomainStep();
    for (int k = 0; k < own.getNumChans(); k++)
        for (int i = 0; i < own.getLength(); i++) {
            own.setVal(i * 3 - k, lo + i * step, k);
            EXPECT_EQ(kelOKAY, kelLutSetVal(lut, i * 3 - k, lo + i * step, k));
        }
}

TEST(CbindLut, TablesAreTheMembers)
{
    kelLut own(2, kelShort, -1.0, 1.0, 9);
    kelLut* lut = kelLutCreate(2, kelShort, -1.0, 1.0, 9);
    ASSERT_NE(nullptr, lut);
    fillAlike(own, lut);
    EXPECT_FALSE(kelLutIsDiff(lut, &own));
    EXPECT_EQ(own.getNumChans(), kelLutGetNumChans(lut));
    EXPECT_EQ(own.getDataType(), kelLutGetDataType(lut));
    EXPECT_EQ(own.getLength(), kelLutGetLength(lut));
    EXPECT_EQ(own.getDomainStep(), kelLutGetDomainStep(lut));
    EXPECT_EQ(kelOKAY, kelLutSetVal(lut, -77, 0.5, 1));
    EXPECT_EQ(-77, lut->getVal(0.5, 1));
    EXPECT_TRUE(kelLutIsDiff(lut, &own));
    EXPECT_EQ(own.getVal(0.25, 0), kelLutGetVal(lut, 0.25, 0));
    EXPECT_EQ(lut->setVal(1, 5.0, 0), kelLutSetVal(lut, 1, 5.0, 0));
    EXPECT_EQ(kelOKAY, kelLutSetDomain(lut, 0, 16));
    double lo = 0, hi = 0;
    kelLutGetDomain(lut, &lo, &hi);
    EXPECT_EQ(0, lo);
    EXPECT_EQ(16, hi);
    EXPECT_EQ(0, kelLutGetDomainMin(lut));
    EXPECT_EQ(16, kelLutGetDomainMax(lut));
    double ownLo, ownHi;
    lut->getRange(ownLo, ownHi);
    kelLutGetRange(lut, &lo, &hi);
    EXPECT_EQ(ownLo, lo);
    EXPECT_EQ(ownHi, hi);
    EXPECT_EQ(lut->getChan(1), kelLutGetChan(lut, 1));
    EXPECT_EQ(lut->getOrigin(1), kelLutGetOrigin(lut, 1));
    EXPECT_EQ(lut->getData(), kelLutGetData(lut));

    kelLut* copy = kelLutCopy(lut);
    ASSERT_NE(nullptr, copy);
    EXPECT_FALSE(kelLutIsDiff(copy, lut));
    EXPECT_NE(kelLutGetData(copy), kelLutGetData(lut));
    short table[2 * 9] = {};
    kelLutSetData(copy, table);
    EXPECT_EQ(table, kelLutGetData(copy));
    kelLutDelete(copy);

    short borrowed[3] = {4, 5, 6};
    kelLut* over = kelLutNoAlloc(borrowed, 1, kelShort, 0, 2, 3);
    ASSERT_NE(nullptr, over);
    EXPECT_EQ(borrowed, kelLutGetData(over));
    EXPECT_EQ(6, kelLutGetVal(over, 2, 0));
    kelLutDelete(over);
    EXPECT_EQ(6, borrowed[2]);
    kelLutDelete(lut);
}

TEST(CbindLut, ColormapsAreTheConstructors)
{
    kelColormap own(3, kelUShort, 5, 20);
    kelColormap* cmap = kelColormapCreate(3, kelUShort, 5, 20);
    ASSERT_NE(nullptr, cmap);
    fillAlike(own, cmap);
    EXPECT_FALSE(kelLutIsDiff(cmap, &own));
    EXPECT_EQ(16, kelLutGetLength(cmap));
    EXPECT_EQ(5, kelLutGetDomainMin(cmap));

    unsigned char table[2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8};
    kelColormap* over = kelColormapNoAlloc(table, 2, kelUChar, 0, 3);
    ASSERT_NE(nullptr, over);
    EXPECT_EQ(table, kelLutGetData(over));
    EXPECT_EQ(kelColormap(table, 2, kelUChar, 0, 3).getVal(3, 1), kelLutGetVal(over, 3, 1));

    kelORNColormap ownOrn;
    kelORNColormap* orn = kelORNColormapCreate();
    ASSERT_NE(nullptr, orn);
    EXPECT_FALSE(kelLutIsDiff(orn, &ownOrn));
    EXPECT_EQ(ownOrn.getData(), kelLutGetData(orn));
    kelLutDelete(cmap);
    kelLutDelete(over);
    kelLutDelete(orn);
}

TEST(CbindPixel, PixelsAreTheMembers)
{
    const int values[3] = {-5, 70000, 3};
    kelPixel own(kelInt, 3, values);
    kelPixel* pix = kelPixelCreate(kelInt, 3, values);
    ASSERT_NE(nullptr, pix);
    EXPECT_TRUE(*pix == own);
    EXPECT_EQ(own.min(), kelPixelMin(pix));
    EXPECT_EQ(own.max(), kelPixelMax(pix));
    EXPECT_EQ(own.getElem(1), kelPixelGetElem(pix, 1));
    kelPixel* copy = kelPixelPixCreate(pix);
    ASSERT_NE(nullptr, copy);
    EXPECT_TRUE(*copy == own);

    int chans[] = {1, 1, 0};
    kelPixel ownConverted;
    ownConverted.convert(own, kelUShort, 3, chans);
    kelPixelConvert(copy, pix, kelUShort, 3, chans);
    EXPECT_TRUE(*copy == ownConverted);
    EXPECT_EQ(kelUShort, kelPixelGetDataType(copy));
    EXPECT_EQ(3, kelPixelGetNumChans(copy));

    kelPixelSetElem(pix, 9, 4);
    own.setElem(9, 4);
    EXPECT_TRUE(*pix == own);
    EXPECT_EQ(0, memcmp(own.getData(), kelPixelGetData(pix), 5 * sizeof(int)));
    const double d[2] = {0.5, -2};
    kelPixelSet(pix, kelDouble, 2, d);
    EXPECT_TRUE(*pix == kelPixel(kelDouble, 2, d));
    kelPixelDelete(copy);
    kelPixelDelete(pix);
}

TEST(CbindConfig, CreateIsTheConstructor)
{
    int chans[] = {3, 1};
    kelConfig own(kelFloat, kelSequential, 2, chans, 1, kelRightLowerOrigin);
    kelConfig* c = kelConfigCreate(kelFloat, kelSequential, 2, chans, 1, kelRightLowerOrigin);
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(own.dtype, c->dtype);
    EXPECT_EQ(own.order, c->order);
    EXPECT_EQ(own.orientation, c->orientation);
    EXPECT_EQ(own.nchans, c->nchans);
    EXPECT_EQ(own.choff, c->choff);
    EXPECT_EQ(chans, c->channels);
    kelConfigDelete(c);
}

} // namespace
