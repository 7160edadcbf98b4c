// X bitmaps of other software read as they show them, and ours read back in
// ImageMagick, netpbm and Pillow with the same pixels. Tests of a tool that
// is missing are skipped.
#include "xbm_test_support.h"

#include <unistd.h>

namespace {

// A fixture made by a tool from picture.pbm (see tests/data/README.md).
// Pillow's XBM writer and reader take a set bit for a white pixel, the
// opposite of the X tools, so its bits are the picture's inverted.
struct Fixture {
    const char* file;
    bool inverted;
};

void PrintTo(const Fixture& f, std::ostream* os)
{
    *os << f.file;
}

class XBMFixture : public ::testing::TestWithParam<Fixture> {};

TEST_P(XBMFixture, ReadsAsTheToolWroteIt)
{
    const Fixture& fx = GetParam();
    Bitmap picture = testPicture();
    ASSERT_EQ(21, picture.width);
    kelStatus sts;
    kelFile* f = openXBM(fixturePath(fx.file), sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(fx.inverted ? picture.inverted() : picture, readBitmap(f, sts));
    EXPECT_EQ(kelOKAY, sts);
    f->close();
}

INSTANTIATE_TEST_SUITE_P(Tools, XBMFixture,
                         ::testing::Values(Fixture{"imagemagick.xbm", false}, Fixture{"netpbm.xbm", false},
                                           Fixture{"netpbm-x10.xbm", false}, Fixture{"pillow.xbm", true}));

// Runs a command and keeps its standard output; true when it exits with 0.
bool run(const std::string& command, std::string& out)
{
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (!p)
        return false;
    out = readAll(p);
    return pclose(p) == 0;
}

std::string quoted(const std::string& path)
{
    return "'" + path + "'";
}

// A reader of X bitmaps: how to run it on a file so that it prints a PBM.
struct Peer {
    const char* label;
    const char* program; // must exist for the test to run
    std::string (*command)(const std::string& xbm);
    bool inverted;
};

void PrintTo(const Peer& p, std::ostream* os)
{
    *os << p.label;
}

class XBMPeer : public ::testing::TestWithParam<Peer> {
protected:
    ScratchDir dir;
};

TEST_P(XBMPeer, ReadsOurFilesWithTheSamePixels)
{
    const Peer& peer = GetParam();
    if (access(peer.program, X_OK) != 0)
        GTEST_SKIP() << peer.program << " is not installed";
    std::string probe;
    if (peer.inverted && !run(std::string(peer.program) + " -c 'import PIL'", probe))
        GTEST_SKIP() << "Pillow is not installed for " << peer.program;
    Bitmap picture = testPicture();
    const std::string path = dir.file("ours.xbm");
    ASSERT_EQ(kelOKAY, createXBM(path, picture));
    std::string pbm;
    ASSERT_TRUE(run(peer.command(path), pbm)) << peer.command(path);
    EXPECT_EQ(peer.inverted ? picture.inverted() : picture, parsePBM(pbm));
}

INSTANTIATE_TEST_SUITE_P(
    Tools, XBMPeer,
    ::testing::Values(
        Peer{"ImageMagick", "/usr/bin/convert-im6.q16",
             [](const std::string& xbm) { return "/usr/bin/convert-im6.q16 " + quoted(xbm) + " pbm:-"; }, false},
        Peer{"netpbm", "/usr/bin/xbmtopbm", [](const std::string& xbm) { return "/usr/bin/xbmtopbm " + quoted(xbm); },
             false},
        Peer{"Pillow", "/usr/bin/python3",
             [](const std::string& xbm) {
                 return "/usr/bin/python3 -c 'import sys; from PIL import Image; "
                        "Image.open(sys.argv[1]).save(sys.stdout.buffer, \"PPM\")' " +
                        quoted(xbm);
             },
             true}));

} // namespace
