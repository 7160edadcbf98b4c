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
    return a.getDimensions() == b.getDimensions() && a.getPageDimensions() == b.getPageDimensions() &&
           a.getDataType() == b.getDataType() && a.getOrder() == b.getOrder() &&
           a.getColorModel() == b.getColorModel() && a.getOrientation() == b.getOrientation() &&
           a.getCompression() == b.getCompression();
}

kelFileConfig* emptyConfig()
{
    return kelFileConfigCreate(nullptr, kelDataType(0), kelOrder(0), kelColorModel(0), kelOrientation(0),
                               kelCompression(0), nullptr);
}

// A Raw file of 5 x 3 x 2 pixels of 2 channels in a transposed orientation.
class CbindFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = kelFileCreate(dir.file("img.raw").c_str(), nullptr, &cfg, raw(), &sts);
        ASSERT_NE(nullptr, file) << sts;
    }
    void TearDown() override
    {
        if (file) {
            EXPECT_EQ(kelOKAY, kelFileClose(file, 0));
        }
    }

    ScratchDir dir;
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
    kelFileGetDimensions(file, &got);
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

// Ranges a Raw file keeps, and the statuses of the services it lacks.
TEST_F(CbindFile, ServicesGiveTheMembersResults)
{
    double lo = 0, hi = 0;
    EXPECT_EQ(kelOKAY, kelFileSetScaleMinMax(file, -3, 9));
    EXPECT_EQ(kelOKAY, kelFileGetScaleMinMax(file, &lo, &hi));
    EXPECT_EQ(-3, lo);
    EXPECT_EQ(9, hi);
    EXPECT_EQ(file->setStatMinMax(1, 2), kelFileSetStatMinMax(file, 1, 2));
    EXPECT_EQ(file->getStatMinMax(lo, hi), kelFileGetStatMinMax(file, &lo, &hi));
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

    short got[4] = {}, put[4] = {9, 8, 7, 6};
    EXPECT_EQ(kelOKAY, kelFileSetPage(file, put, 2, 0, 1, 1, 2, 2, 1, 1));
    EXPECT_EQ(kelOKAY, kelFileGetPage(file, got, 2, 0, 1, 1, 2, 2, 1, 1));
    EXPECT_EQ(0, memcmp(put, got, sizeof got));
    EXPECT_EQ(kelOKAY, file->getTile(0, 0, 0, 5, 3, 2, read.data(), &layout));
    EXPECT_NE(written, read);
}

// Every open and create form reaches its member: same attributes, same
// status on failure, descriptors used as given.
TEST_F(CbindFile, OpenAndCreateForms)
{
    std::string path = kelFileGetFileName(file);
    kelFileClose(file, 0);
    file = nullptr;
    std::string name = path + "#Raw%size=5,3,2,2%pagesize=2,2,1,1%type=short%order=separate%colormodel=la"
                              "%orientation=rt";
    int fd = ::open(path.c_str(), O_RDONLY);
    kelFileDesc desc(name.c_str());
    kelStatus s[3] = {-1, -1, -1};
    kelFile* opened[] = {kelFileOpen(name.c_str(), O_RDONLY, &s[0]),
                         kelFileOpenByDescriptor(fd, name.c_str(), O_RDONLY, raw(), &s[1]),
                         kelFileOpenPreParsed(&desc, O_RDONLY, &s[2])};
    EXPECT_EQ(kelOKAY, s[0] | s[1] | s[2]);
    EXPECT_EQ(fd, opened[1] ? opened[1]->getFileDesc() : -2);
    for (kelFile* f : opened) {
        ASSERT_NE(nullptr, f);
        EXPECT_TRUE(kelFileConfig(f) == cfg);
        EXPECT_EQ(kelOKAY, kelFileClose(f, 0));
    }

    std::string missing = dir.file("missing.raw") + "%size=1,1";
    kelStatus own = -1, got = -2;
    EXPECT_EQ(nullptr, kelFile::open(missing.c_str(), O_RDONLY, &own));
    EXPECT_EQ(nullptr, kelFileOpen(missing.c_str(), O_RDONLY, &got));
    EXPECT_EQ(own, got);

    int cfd = ::open(dir.file("b.raw").c_str(), O_RDWR | O_CREAT, 0600);
    kelFileDesc cdesc(dir.file("c.raw").c_str());
    kelFile* created[] = {kelFileCreate(dir.file("a.raw").c_str(), nullptr, &cfg, nullptr, &s[0]),
                          kelFileCreateByDescriptor(cfd, dir.file("b.raw").c_str(), nullptr, &cfg, raw(), &s[1]),
                          kelFileCreatePreParsed(&cdesc, nullptr, &cfg, &s[2])};
    EXPECT_EQ(kelOKAY, s[0] | s[1] | s[2]);
    EXPECT_EQ(cfd, created[1] ? created[1]->getFileDesc() : -2);
    for (kelFile* f : created) {
        ASSERT_NE(nullptr, f);
        EXPECT_TRUE(kelFileConfig(f) == cfg);
        EXPECT_EQ(kelOKAY, kelFileClose(f, 0));
    }
}

TEST_F(CbindFile, ConfigurationsAndDefaultsAreTheMembers)
{
    kelFileConfig* c = kelFileConfigFile(file);
    ASSERT_NE(nullptr, c);
    EXPECT_TRUE(*c == kelFileConfig(file));
    EXPECT_EQ(kelLuminanceAlpha, kelFileConfigGetColorModel(c));
    EXPECT_EQ(kelSeparate, kelFileConfigGetOrder(c));
    kelSize transposed;
    kelFileConfigGetSize(c, &transposed);
    EXPECT_EQ(kelSize(3, 5, 2, 2), transposed);
    kelFileConfigGetPageSize(c, &transposed);
    EXPECT_EQ(kelSize(2, 2, 1, 1), transposed);

    // Both forms of applyDefaults, on configurations that choose the type only.
    kelFileConfig own, ownFromConfig;
    own.setDataType(kelFloat);
    kelFileConfig* fromFile = emptyConfig();
    kelFileConfig* fromConfig = emptyConfig();
    kelFileConfigSetDataType(fromFile, kelFloat);
    EXPECT_EQ(raw()->applyDefaults(file, own), kelFormatApplyDefaults(raw(), file, fromFile));
    EXPECT_EQ(raw()->applyDefaults(c, ownFromConfig), kelFormatApplyDefaultsConfig(raw(), c, fromConfig));
    EXPECT_TRUE(own == *fromFile);
    EXPECT_TRUE(ownFromConfig == *fromConfig);
    EXPECT_EQ(kelFloat, kelFileConfigGetDataType(fromFile));
    EXPECT_EQ(kelRightUpperOrigin, kelFileConfigGetOrientation(fromConfig));
    kelFileConfigDelete(fromFile);
    kelFileConfigDelete(fromConfig);
    kelFileConfigDelete(c);
}

TEST(CbindFileConfig, SettersQuestionsAndStoredSizes)
{
    kelSize dims(7, 5, 3, 4), pages(7, 1, 1, 4);
    kelFileConfig* c = emptyConfig();
    ASSERT_NE(nullptr, c);
    typedef int (*Question)(kelFileConfig*);
    const Question questions[] = {kelFileConfigIsDataTypeDefaulted,    kelFileConfigIsOrderDefaulted,
                                  kelFileConfigIsColorModelDefaulted,  kelFileConfigIsOrientationDefaulted,
                                  kelFileConfigIsCompressionDefaulted, kelFileConfigAreDimensionsDefaulted,
                                  kelFileConfigArePageDimensionsDefaulted};
    for (Question q : questions)
        EXPECT_TRUE(q(c));

    // The pointers are the configuration's own storage: they see the setters.
    const kelSize* dimsPtr = kelFileConfigGetDimensionsPtr(c);
    const kelSize* pagePtr = kelFileConfigGetPageDimensionsPtr(c);
    kelFileConfigSetDimensions(c, &dims);
    kelFileConfigSetPageDimensions(c, &pages);
    kelFileConfigSetDataType(c, kelChar);
    kelFileConfigSetOrder(c, kelInterleaved);
    kelFileConfigSetColorModel(c, kelYCC);
    kelFileConfigSetOrientation(c, kelUpperRightOrigin);
    kelFileConfigSetCompression(c, kelZIP);
    EXPECT_EQ(dims, *dimsPtr);
    EXPECT_EQ(pages, *pagePtr);
    EXPECT_TRUE(*c == kelFileConfig(&dims, kelChar, kelInterleaved, kelYCC, kelUpperRightOrigin, kelZIP, &pages));
    EXPECT_EQ(kelZIP, kelFileConfigGetCompression(c));
    for (Question q : questions)
        EXPECT_FALSE(q(c));
    kelSize got;
    kelFileConfigGetDimensions(c, &got);
    EXPECT_EQ(dims, got);
    kelFileConfigGetPageDimensions(c, &got);
    EXPECT_EQ(pages, got);

    kelFileConfigReset(c);
    EXPECT_TRUE(*c == kelFileConfig());
    kelFileConfigDelete(c);
}

TEST(CbindFileDesc, CreationFormsAreTheConstructors)
{
    kelFormat* fmt = raw();
    kelFileDesc own1("p.img#raw:4%a=b"), own2("q.img", 2, "Raw", "c=d"), own3("r.img", 1, fmt, nullptr);
    const kelFileDesc* own[] = {&own1, &own2, &own3};
    kelFileDesc* got[] = {kelFileDescCreate("p.img#raw:4%a=b", nullptr),
                          kelFileDescPreParsed("q.img", 2, "Raw", "c=d"),
                          kelFileDescFullyParsed("r.img", 1, fmt, nullptr)};
    for (int i = 0; i < 3; i++) {
        ASSERT_NE(nullptr, got[i]);
        EXPECT_EQ(own[i]->getStatus(), kelFileDescGetStatus(got[i]));
        EXPECT_STREQ(own[i]->getFileName(), kelFileDescGetFileName(got[i]));
        EXPECT_EQ(own[i]->getIndex(), kelFileDescGetIndex(got[i]));
        EXPECT_EQ(fmt, kelFileDescGetFormat(got[i]));
        EXPECT_STREQ("Raw", kelFileDescGetFormatName(got[i]));
        EXPECT_STREQ(own[i]->getFormatSpecific(), kelFileDescGetFormatSpecific(got[i]));
        kelFileDescSetFileDesc(got[i], 5);
        EXPECT_EQ(5, kelFileDescGetFileDesc(got[i]));
        kelFileDescDelete(got[i]);
    }
}

TEST(CbindFormat, QuestionsAndLookupsAreTheMembers)
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
    EXPECT_EQ(f->haveDSOVersion(1, 4), kelFormatHaveDSOVersion(f, 1, 4));
    int ownCount = -1, gotCount = -2;
    EXPECT_EQ(f->getTagDescriptions(ownCount), kelFormatGetTagDescriptions(f, &gotCount));
    EXPECT_EQ(ownCount, gotCount);

    EXPECT_EQ(kelFormat::findByFileName("y.gif", 0, 0), kelFormatFindByFileName("y.gif", 0, 0));
    int ownIndex = 0, gotIndex = 0;
    kelFormat* next;
    do {
        next = kelFormat::findNext(ownIndex, 0);
        EXPECT_EQ(next, kelFormatFindNext(&gotIndex, 0));
        EXPECT_EQ(ownIndex, gotIndex);
    } while (next);
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
    EXPECT_EQ(kelDatabase::findByFileName("a.raw", 1), kelDatabaseFindByFileName("a.raw", 1));
    EXPECT_EQ(e->getDescription(), kelDatabaseGetDescription(e));
    EXPECT_EQ(e->getDSOName(), kelDatabaseGetDSOName(e));
    EXPECT_EQ(e->getInstSubSystem(), kelDatabaseGetInstSubSystem(e));
    EXPECT_EQ(e->getDefaultSuffix(), kelDatabaseGetDefaultSuffix(e));
    EXPECT_EQ(raw(), kelDatabaseGetFormat(e, 1));
    ScratchDir dir;
    int fd = ::open(dir.write("sig", "BM\0\0\0\0\0\0").c_str(), O_RDONLY);
    kelDatabase* bmp = kelDatabaseFindByMagic(fd);
    EXPECT_EQ(kelDatabase::findByMagic(fd), bmp);
    EXPECT_STREQ("BMP", bmp ? kelDatabaseGetName(bmp) : "");
    EXPECT_EQ(kelFormat::findByMagic(fd, 0), kelFormatFindByMagic(fd, 0));
    ::close(fd);
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
    EXPECT_EQ(own.getDomainStep(), kelLutGetDomainStep(lut));
    EXPECT_EQ(own.getVal(0.25, 1), kelLutGetVal(lut, 0.25, 1));
    EXPECT_EQ(lut->setVal(1, 5.0, 0), kelLutSetVal(lut, 1, 5.0, 0));
    EXPECT_EQ(kelOKAY, kelLutSetDomain(lut, 0, 16));
    double lo = 0, hi = 0, ownLo, ownHi;
    kelLutGetDomain(lut, &lo, &hi);
    EXPECT_EQ(lo, kelLutGetDomainMin(lut));
    EXPECT_EQ(16, kelLutGetDomainMax(lut));
    lut->getRange(ownLo, ownHi);
    kelLutGetRange(lut, &lo, &hi);
    EXPECT_EQ(ownLo, lo);
    EXPECT_EQ(ownHi, hi);
    EXPECT_EQ(lut->getChan(1), kelLutGetChan(lut, 1));
    EXPECT_EQ(lut->getOrigin(1), kelLutGetOrigin(lut, 1));

    kelLut* copy = kelLutCopy(lut);
    ASSERT_NE(nullptr, copy);
    EXPECT_FALSE(kelLutIsDiff(copy, lut));
    short table[2 * 9] = {};
    kelLutSetData(copy, table);
    EXPECT_EQ(table, kelLutGetData(copy));
    kelLutDelete(copy);
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

    unsigned char table[2 * 4] = {1, 2, 3, 4, 5, 6, 7, 8};
    kelColormap* over = kelColormapNoAlloc(table, 2, kelUChar, 0, 3);
    ASSERT_NE(nullptr, over);
    EXPECT_EQ(table, kelLutGetData(over));
    EXPECT_EQ(kelColormap(table, 2, kelUChar, 0, 3).getVal(3, 1), kelLutGetVal(over, 3, 1));

    kelORNColormap ownOrn;
    kelORNColormap* orn = kelORNColormapCreate();
    ASSERT_NE(nullptr, orn);
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
    kelPixel* copy = kelPixelPixCreate(pix);
    ASSERT_NE(nullptr, copy);
    int chans[] = {1, 1, 0};
    kelPixel ownConverted;
    ownConverted.convert(own, kelUShort, 3, chans);
    kelPixelConvert(copy, pix, kelUShort, 3, chans);
    EXPECT_TRUE(*copy == ownConverted);

    kelPixelSetElem(pix, 9, 4);
    own.setElem(9, 4);
    EXPECT_TRUE(*pix == own);
    const double d[2] = {0.5, -2};
    kelPixelSet(pix, kelDouble, 2, d);
    EXPECT_TRUE(*pix == kelPixel(kelDouble, 2, d));
    kelPixelDelete(copy);
    kelPixelDelete(pix);
}

TEST(CbindConfig, CreateIsTheConstructor)
{
    int chans[] = {3, 1};
    kelConfig* c = kelConfigCreate(kelFloat, kelSequential, 2, chans, 1, kelRightLowerOrigin);
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(kelFloat, c->dtype);
    EXPECT_EQ(kelSequential, c->order);
    EXPECT_EQ(kelRightLowerOrigin, c->orientation);
    EXPECT_EQ(2, c->nchans);
    EXPECT_EQ(1, c->choff);
    EXPECT_EQ(chans, c->channels);
    kelConfigDelete(c);
}

} // namespace
