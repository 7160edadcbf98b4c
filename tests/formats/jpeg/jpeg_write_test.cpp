// Files we write, over a table of settings and written in strips or tiles,
// read back with their settings and orientation, and decode in djpeg (the
// same library) and Pillow to exactly our pixels, close to those written.
// ICC profiles come back whole from chunks in any order, and a profile
// whose chunks disagree is refused.
#include <math.h>

#include "jpeg_test_support.h"

namespace {

struct Case {
    kelColorModel model;
    int quality, subsampling, progressive, optimize, restart;
    kelOrientation orientation;
    int tileWidth; // 0: strips of 16 rows
    int tileHeight;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << "model " << c.model << ", quality " << c.quality << ", tiles " << c.tileWidth;
}

// A smooth picture with some grain, in the file's orientation.
Bytes picture(const kelSize& s)
{
    Bytes p(size_t(s.x) * size_t(s.y) * size_t(s.c));
    for (size_t i = 0; i < p.size(); i++) {
        const size_t x = i / size_t(s.c) % size_t(s.x), y = i / size_t(s.c) / size_t(s.x), c = i % size_t(s.c);
        p[i] = (unsigned char)(128 + 90 * sin(double(x) / (7.0 + double(c))) * cos(double(y) / 11.0) + double(i * 7 % 5));
    }
    return p;
}

void write(kelFile* f, const Case& c, const Bytes& pixels)
{
    const kelSize s = storedSize(f);
    const int w = c.tileWidth ? c.tileWidth : s.x, h = c.tileHeight;
    for (int y = 0; y < s.y; y += h)
        for (int x = 0; x < s.x; x += w) {
            const int nx = std::min(w, s.x - x), ny = std::min(h, s.y - y);
            Bytes tile(size_t(nx) * size_t(ny) * size_t(s.c));
            for (int r = 0; r < ny; r++)
                std::copy_n(pixels.begin() + long((size_t(y + r) * size_t(s.x) + size_t(x)) * size_t(s.c)),
                            size_t(nx) * size_t(s.c), tile.begin() + long(size_t(r) * size_t(nx) * size_t(s.c)));
            ASSERT_EQ(kelOKAY, f->setTile(x, y, 0, nx, ny, 1, tile.data()));
        }
}

class JPEGWrite : public ::testing::TestWithParam<Case> {
protected:
    ScratchDir dir;
};

TEST_P(JPEGWrite, ReadsBackAsThePeersDecodeIt)
{
    const Case& c = GetParam();
    REQUIRE_PEER(DJPEG);
    REQUIRE_PEER(PILLOW);
    const std::string path = dir.file("written.jpg");
    const kelSize upright(150, 45, 1, kelColorModelChans(c.model));
    kelFileConfig cfg(&upright, kelUChar, kelInterleaved, c.model, c.orientation);
    kelStatus sts;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    ASSERT_NE(nullptr, f) << sts;
    for (int tag : {kelJPEGquality, kelJPEGsubsampling, kelJPEGprogressive, kelJPEGoptimize, kelJPEGrestartInterval})
        ASSERT_EQ(kelOKAY, f->setItem(tag, tag == kelJPEGquality       ? c.quality
                                           : tag == kelJPEGsubsampling ? c.subsampling
                                           : tag == kelJPEGprogressive ? c.progressive
                                           : tag == kelJPEGoptimize    ? c.optimize
                                                                       : c.restart));
    ASSERT_EQ(kelOKAY, f->setItem(kelJPEGcomment, "kel"));
    const Bytes pixels = picture(storedSize(f));
    write(f, c, pixels);
    // Bands are encoded once whole pages fill them; tiles covering pages in
    // part are kept until the file is closed.
    const kelSize page = storedPageSize(f);
    const bool streams = c.tileWidth % page.x == 0 && c.tileHeight % page.y == 0;
    EXPECT_EQ(streams ? kelStatus(kelREADONLY) : kelStatus(kelOKAY), f->setItem(kelJPEGquality, c.quality));
    ASSERT_EQ(kelOKAY, f->close());

    f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(c.orientation, f->getOrientation());
    EXPECT_EQ(c.model == kelRGB ? c.subsampling : c.model == kelCMYK ? kelJPEGsub444 : -1,
              intItem(f, kelJPEGsubsampling));
    EXPECT_EQ(c.progressive, intItem(f, kelJPEGprogressive));
    EXPECT_EQ(c.restart, intItem(f, kelJPEGrestartInterval));
    char* comment = nullptr;
    EXPECT_EQ(kelOKAY, f->getItem(kelJPEGcomment, &comment));
    EXPECT_STREQ("kel", comment);
    const Bytes ours = readPixels(f);
    f->close();
    double error = 0;
    for (size_t i = 0; i < ours.size(); i++)
        error += std::abs(int(ours[i]) - int(pixels[i]));
    EXPECT_LT(error / double(ours.size()), 4.0);
    if (c.model != kelCMYK) {
        EXPECT_TRUE(ours == djpegPixels(path));
    }
    EXPECT_TRUE(ours == pillowPixels(path));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, JPEGWrite,
    ::testing::Values(Case{kelRGB, 90, kelJPEGsub420, 0, 0, 0, kelUpperLeftOrigin, 0, 16},
                      Case{kelRGB, 75, kelJPEGsub422, 1, 0, 0, kelRightUpperOrigin, 32, 24},
                      Case{kelRGB, 100, kelJPEGsub444, 0, 1, 3, kelLowerRightOrigin, 128, 32},
                      Case{kelLuminance, 85, kelJPEGsub420, 1, 1, 0, kelLeftLowerOrigin, 0, 16},
                      Case{kelCMYK, 95, kelJPEGsub420, 0, 0, 2, kelUpperRightOrigin, 48, 24},
                      Case{kelCMYK, 80, kelJPEGsub444, 1, 0, 0, kelUpperLeftOrigin, 0, 32}));

Bytes profilePattern(size_t n)
{
    Bytes p(n);
    for (size_t i = 0; i < n; i++)
        p[i] = (unsigned char)(i * 7);
    return p;
}

Bytes profileOf(const std::string& path, kelStatus& sts)
{
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    int size = 0;
    void* data = nullptr;
    if (f)
        sts = f->getICCProfile(size, data);
    const unsigned char* p = static_cast<const unsigned char*>(data);
    Bytes profile(p, p + size);
    if (f)
        f->close();
    return profile;
}

TEST(JPEGProfile, RoundTripsAcrossChunksAndRefusesMixedOnes)
{
    REQUIRE_PEER(PILLOW);
    ScratchDir dir;
    kelStatus sts;
    // The fixture's three chunks lie in the order 2, 3, 1.
    EXPECT_EQ(profilePattern(515), profileOf(fixture("icc-chunks.jpg"), sts));
    EXPECT_EQ(kelOKAY, sts);

    const std::string path = dir.file("profile.jpg");
    const kelSize size(20, 10, 1, 3);
    kelFileConfig cfg(&size);
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    ASSERT_NE(nullptr, f);
    const Bytes profile = profilePattern(150000); // three chunks
    ASSERT_EQ(kelOKAY, f->setICCProfile(int(profile.size()), profile.data()));
    ASSERT_EQ(kelOKAY, f->close()); // blank, as nothing was written
    EXPECT_EQ(profile, profileOf(path, sts));
    EXPECT_EQ(kelOKAY, sts);
    EXPECT_EQ(profile, runPeer("/usr/bin/python3 -c 'import sys; from PIL import Image; "
                               "sys.stdout.buffer.write(Image.open(sys.argv[1]).info[\"icc_profile\"])' " + path));

    // The second chunk claims a count of 4.
    Bytes file = fileBytes(fixture("icc-chunks.jpg"));
    const std::string id = "ICC_PROFILE";
    auto chunk = std::search(file.begin(), file.end(), id.begin(), id.end());
    chunk[13] = 4;
    CapturedMessages messages;
    kelSetLocalErrorHandler guard(CapturedMessages::handler, &messages);
    EXPECT_TRUE(profileOf(dir.write("mixed.jpg", std::string(file.begin(), file.end())), sts).empty());
    EXPECT_EQ(kelCORRUPTED, sts);
    EXPECT_EQ(1u, messages.texts.size());
}

} // namespace
