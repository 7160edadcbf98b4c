// Writing X bitmaps: the exact text, the names derived from file names,
// rewrites, write errors and the descriptors the plug-in holds.
#include "xbm_test_support.h"

namespace {

kelFile* createXBMFile(const std::string& path, int width, int height, kelStatus& sts)
{
    kelSize size(width, height, 1, 1);
    kelFileConfig cfg(&size);
    sts = -1;
    return kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
}

// The picture whose array is 0x01, 0x02, 0x80, 0x00 (10 x 2).
Bitmap tenByTwo()
{
    Bitmap b;
    b.width = 10;
    b.height = 2;
    b.bits.assign(20, 0);
    b.bits[0] = b.bits[9] = b.bits[17] = 1;
    return b;
}

TEST(XBMWrite, TextOfATenByTwoBitmap)
{
    ScratchDir dir;
    ASSERT_EQ(0, mkdir(dir.file("dir").c_str(), 0777));
    const std::string path = dir.file("dir/my_icon2.xbm");
    ASSERT_EQ(kelOKAY, createXBM(path, tenByTwo()));
    EXPECT_EQ("#define my_icon_width 10\n"
              "#define my_icon_height 2\n"
              "\n"
              "static unsigned char my_icon_bits[] = {\n"
              "    0x01, 0x02, 0x80, 0x00};\n",
              readText(path));
}

TEST(XBMWrite, TwelveValuesALineAndTheHotSpot)
{
    ScratchDir dir;
    const std::string path = dir.file("hot.xbm");
    kelStatus sts;
    kelFile* f = createXBMFile(path, 100, 1, sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(kelOKAY, f->setItem(kelXBMhotSpot, 5, 0));
    Bitmap b;
    b.width = 100;
    b.height = 1;
    for (int x = 0; x < 100; ++x)
        b.bits.push_back(x % 8 == x / 8 % 8);
    EXPECT_EQ(kelOKAY, writeBitmap(f, b));
    EXPECT_EQ(kelOKAY, f->close());
    EXPECT_EQ("#define hot_width 100\n"
              "#define hot_height 1\n"
              "#define hot_x_hot 5\n"
              "#define hot_y_hot 0\n"
              "\n"
              "static unsigned char hot_bits[] = {\n"
              "    0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80, 0x01, 0x02, 0x04, 0x08,\n"
              "    0x00};\n",
              readText(path));
}

struct NameCase {
    const char* file;
    const char* name;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.file;
}

class XBMNames : public ::testing::TestWithParam<NameCase> {
protected:
    ScratchDir dir;
};

TEST_P(XBMNames, ComeFromTheFileName)
{
    const NameCase& c = GetParam();
    const std::string path = dir.file(c.file);
    ASSERT_EQ(kelOKAY, createXBM(path, tenByTwo()));
    const std::string name = c.name;
    const std::string text = readText(path);
    EXPECT_EQ(0u, text.find("#define " + name + "_width 10\n#define " + name + "_height 2\n")) << text;
    EXPECT_NE(std::string::npos, text.find("static unsigned char " + name + "_bits[] = {")) << text;
}

INSTANTIATE_TEST_SUITE_P(Files, XBMNames,
                         ::testing::Values(NameCase{"2d.xbm", "bitmap_name"}, NameCase{"_x.xbm", "_x"},
                                           NameCase{"Arrow_Up.xbm", "Arrow_Up"},
                                           NameCase{"stop-sign.xbm", "stop"}, NameCase{".hidden.xbm", "bitmap_name"},
                                           NameCase{"abcdefghijklmnopqrstuvwxyzABCDEFGHIJ.xbm",
                                                    "abcdefghijklmnopqrstuvwxyzABCDE"}));

TEST(XBMWrite, ADescriptorWithoutANameWritesTheDefaultName)
{
    ScratchDir dir;
    const std::string path = dir.file("by-fd.xbm");
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0666);
    ASSERT_GE(fd, 0);
    kelSize size(10, 2, 1, 1);
    kelFileConfig cfg(&size);
    kelStatus sts;
    kelFile* f = kelFile::create(fd, nullptr, nullptr, &cfg, kelFormat::findByFormatName("XBM", 1), &sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(kelOKAY, writeBitmap(f, tenByTwo()));
    EXPECT_EQ(kelOKAY, f->close());
    EXPECT_EQ(0u, readText(path).find("#define bitmap_name_width 10\n"));
}

TEST(XBMWrite, PixelsComeBackInEverySize)
{
    ScratchDir dir;
    for (int w : {1, 7, 8, 9, 16, 33})
        for (int h : {1, 3}) {
            Bitmap b;
            b.width = w;
            b.height = h;
            for (int i = 0; i < w * h; ++i)
                b.bits.push_back((i * 5 + i / 3) % 3 == 0);
            const std::string path = dir.file("rt.xbm");
            ASSERT_EQ(kelOKAY, createXBM(path, b)) << w << " x " << h;
            kelStatus sts;
            kelFile* f = openXBM(path, sts);
            ASSERT_NE(nullptr, f);
            EXPECT_EQ(b, readBitmap(f, sts)) << w << " x " << h;
            EXPECT_EQ(kelOKAY, sts);
            f->close();
        }
}

// setTile of part of a new file merges with a blank page, without a warning
// about the text that is not there yet; the next part merges with the first.
TEST(XBMWrite, PartsOfANewFileMerge)
{
    ScratchDir dir;
    kelStatus sts;
    kelFile* f = createXBMFile(dir.file("parts.xbm"), 10, 2, sts);
    ASSERT_NE(nullptr, f);
    CapturedMessages messages;
    kelSetLocalErrorHandler capture(CapturedMessages::handler, &messages);
    kelConfig cfg(kelUChar, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
    const unsigned char left[] = {1, 1, 0, 0, 1};
    const unsigned char right[] = {0, 0, 0, 0, 1};
    EXPECT_EQ(kelOKAY, f->setTile(0, 0, 0, 5, 1, 1, left, &cfg));
    EXPECT_EQ(kelOKAY, f->setTile(5, 1, 0, 5, 1, 1, right, &cfg));
    Bitmap expected;
    expected.width = 10;
    expected.height = 2;
    expected.bits = {1, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(expected, readBitmap(f, sts));
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(kelOKAY, f->close());
}

// A rewrite leaves nothing of a longer text behind, also in a file that was
// opened (an X10 array here, rewritten as bytes).
TEST(XBMRewrite, CutsTheFileToTheNewText)
{
    ScratchDir dir;
    const std::string path = dir.write("re.xbm", "/* A long comment that the rewrite drops, and with it\n"
                                                 " * the length of the old text */\n"
                                                 "#define re_width 20\n#define re_height 2\n#define re_x_hot 1\n"
                                                 "#define re_y_hot 1\nstatic short re_bits[] = {\n"
                                                 " 0x0001, 0x000f,\n 0xff00, 0x0008 };\n");
    kelStatus sts;
    kelFile* f = openXBM(path, sts, O_RDWR);
    ASSERT_NE(nullptr, f);
    kelConfig cfg(kelUChar, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
    const unsigned char dot = 1;
    EXPECT_EQ(kelOKAY, f->setItem(kelXBMhotSpot, -1, -1));
    EXPECT_EQ(kelOKAY, f->setTile(18, 1, 0, 1, 1, 1, &dot, &cfg));
    const std::string expected = "#define re_width 20\n#define re_height 2\n\nstatic unsigned char re_bits[] = {\n"
                                 "    0x01, 0x00, 0x0f, 0x00, 0xff, 0x0c};\n";
    EXPECT_EQ(expected, readText(path));
    // The file reads on from its new text.
    Bitmap b = readBitmap(f, sts);
    EXPECT_EQ(kelOKAY, sts);
    EXPECT_EQ(1, b.at(18, 1));
    EXPECT_EQ(1, b.at(0, 0));
    EXPECT_EQ(1, b.at(11, 1));
    EXPECT_EQ(0, b.at(16, 1));
    EXPECT_EQ(kelOKAY, f->close());
    EXPECT_EQ(expected, readText(path));
}

TEST(XBMRewrite, AFileOpenedForReadingIsNotWritten)
{
    ScratchDir dir;
    const std::string text = "#define r_width 8\n#define r_height 1\nstatic char r_bits[] = { 0x01 };\n";
    const std::string path = dir.write("ro.xbm", text);
    kelStatus sts;
    kelFile* f = openXBM(path, sts);
    ASSERT_NE(nullptr, f);
    const unsigned char page = 0xff;
    EXPECT_EQ(kelREADONLY, f->setPage(&page, 0, 0, 0, 0, 8, 1, 1, 1));
    EXPECT_EQ(kelOKAY, f->close());
    EXPECT_EQ(text, readText(path));
}

// A full disk is a failure of setPage and of close, never success.
TEST(XBMWriteErrors, AFullDiskFailsTheWriteAndTheClose)
{
    int fd = ::open("/dev/full", O_RDWR);
    if (fd < 0)
        GTEST_SKIP() << "no /dev/full";
    kelSize size(10, 2, 1, 1);
    kelFileConfig cfg(&size);
    kelStatus sts;
    kelFile* f = kelFile::create(fd, "full.xbm", nullptr, &cfg, kelFormat::findByFormatName("XBM", 1), &sts);
    ASSERT_NE(nullptr, f);
    sts = writeBitmap(f, tenByTwo());
    EXPECT_EQ(kelWRITEFAILED, kelStatusMain(sts));
    EXPECT_EQ(ENOSPC, kelStatusErrno(sts));
    EXPECT_EQ(kelWRITEFAILED, kelStatusMain(f->close()));
    // The object closed the descriptor it was given, once.
    EXPECT_EQ(-1, fcntl(fd, F_GETFD));
}

TEST(XBMCreate, AFailingCreateLeavesTheCallersDescriptorOpen)
{
    ScratchDir dir;
    const std::string path = dir.write("ro-fd.xbm", "");
    int lowest = lowestFreeFd();
    int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    kelSize size(10, 2, 1, 1);
    kelFileConfig cfg(&size);
    kelStatus sts;
    EXPECT_EQ(nullptr,
              kelFile::create(fd, path.c_str(), nullptr, &cfg, kelFormat::findByFormatName("XBM", 1), &sts));
    EXPECT_EQ(kelOPENFAILED, kelStatusMain(sts));
    EXPECT_NE(-1, fcntl(fd, F_GETFD));
    EXPECT_EQ(0, ::close(fd));
    EXPECT_EQ(lowest, lowestFreeFd());
}

// Opened and created files alike: nothing is left open, nothing closed twice
// (a second close of the stream's descriptor would fail the close).
TEST(XBMDescriptors, ClosingReleasesEveryDescriptorOnce)
{
    ScratchDir dir;
    const std::string path = dir.file("c.xbm");
    int lowest = lowestFreeFd();
    ASSERT_EQ(kelOKAY, createXBM(path, tenByTwo()));
    EXPECT_EQ(lowest, lowestFreeFd());
    for (int mode : {O_RDONLY, O_RDWR}) {
        kelStatus sts;
        kelFile* f = openXBM(path, sts, mode);
        ASSERT_NE(nullptr, f);
        EXPECT_EQ(kelOKAY, f->close());
        EXPECT_EQ(lowest, lowestFreeFd());
    }
}

// Empty bitmaps and pages the framework cannot hold are refused; the page
// is the image with its rows padded to whole bytes.
TEST(XBMFormat, DecidesAndChecksTheOnePage)
{
    kelFormat* xbm = kelFormat::findByFormatName("XBM", 1);
    ASSERT_NE(nullptr, xbm);
    EXPECT_FALSE(xbm->sizeIsSupported(0, 2, 1, 1, kelUpperLeftOrigin));
    EXPECT_FALSE(xbm->sizeIsSupported(10, 2, 2, 1, kelUpperLeftOrigin));
    EXPECT_FALSE(xbm->sizeIsSupported(65536, 65536, 1, 1, kelUpperLeftOrigin));
    EXPECT_FALSE(xbm->pageSizeIsSupported(10, 2, 1, 1, 10, 2, 1, 1, kelUpperLeftOrigin));
    kelSize size(17, 3, 0, 0);
    kelFileConfig cfg(&size);
    EXPECT_EQ(kelOKAY, xbm->applyDefaults((kelFileConfig*)nullptr, cfg));
    kelSize page;
    cfg.getPageDimensions(page);
    EXPECT_EQ(kelSize(24, 3, 1, 1), page);
    EXPECT_EQ(kelBit, cfg.getDataType());
    EXPECT_EQ(kelNegative, cfg.getColorModel());
    EXPECT_EQ(kelUpperLeftOrigin, cfg.getOrientation());
}

} // namespace
