// Files kel writes: random images of every sample type, interleaved and in
// planes, tiled and stripped, in each compression, read back by kel and by
// tifffile (after tiffcp decompressed them); every orientation shows as
// ImageMagick turns it upright; images are appended to new and existing
// files and a page is rewritten in place.
#include <random>

#include "tiff_test_support.h"

namespace {

std::string scratchFile(const std::string& name)
{
    return ::testing::TempDir() + "kel_tiff_" + name;
}

Bytes randomBytes(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    Bytes b(n);
    for (auto& v : b)
        v = (unsigned char)gen();
    return b;
}

struct Shape {
    int w, h, c;
    kelDataType type;
    kelOrder order;
    kelColorModel cm;
    int pageW, pageH;
    kelCompression compression;
    kelOrientation orientation;
};

size_t imageBytes(const Shape& s)
{
    size_t n = size_t(s.w) * size_t(s.h) * size_t(s.c);
    return s.type == kelBit ? (n + 7) / 8 : n * kelDataSize(s.type, 1);
}

// Writes `pixels` (interleaved, in the file's orientation) as a new file,
// or as an image appended to `into`.
kelStatus writeImage(const std::string& path, const Shape& s, const Bytes& pixels, kelFile* into = nullptr)
{
    kelSize size(s.w, s.h, 1, s.c), page(s.pageW, s.pageH, 1, s.order == kelSeparate ? 1 : s.c);
    kelMapSize(s.orientation, size.x, size.y, kelLowerLeftOrigin);
    kelMapSize(s.orientation, page.x, page.y, kelLowerLeftOrigin);
    kelFileConfig cfg(&size, s.type, s.order, s.cm, s.orientation, s.compression, &page);
    kelStatus sts = kelOKAY;
    kelFile* f = into;
    if (into)
        sts = into->appendImg(nullptr, &cfg);
    else
        f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f || sts != kelOKAY)
        return sts;
    // tifffile undoes no floating-point predictor: those go through tiffcp.
    const bool floating = s.type & (kelFloat | kelDouble);
    if (s.type != kelBit && (s.compression == kelLZW || (s.compression == kelZIP && !floating))) {
        EXPECT_EQ(kelOKAY, f->setItem(kelTIFFpredictor, floating ? kelTIFFpredictorFloat : kelTIFFpredictorHorizontal));
    }
    kelConfig config(s.type, kelInterleaved, s.c);
    sts = f->setTile(0, 0, 0, s.w, s.h, 1, pixels.data(), &config);
    if (!into && sts == kelOKAY)
        return f->close();
    return sts;
}

// tifffile decodes none, Deflate and LZMA itself; tiffcp decompresses
// the rest first.
Bytes peerPixels(const std::string& path, int index, int nc, kelCompression c = kelNoCompression)
{
    if (c != kelLZW && c != kelZSTD && c != kelPACKBITS)
        return tifffilePixels(path, index, nc);
    std::string plain = path + ".plain.tif";
    if (system(("/usr/bin/tiffcp -c none '" + path + "' '" + plain + "'").c_str()) != 0)
        return Bytes();
    Bytes pixels = tifffilePixels(plain, index, nc);
    unlink(plain.c_str());
    return pixels;
}

Bytes kelPixels(const std::string& path, int index)
{
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, nullptr);
    if (!f || f->setCurrentImg(index) != kelOKAY)
        return Bytes();
    Bytes pixels = readImage(f);
    f->close();
    return pixels;
}

TEST(TIFFWrite, RoundTripsEveryLayout)
{
    REQUIRE_PEER(TIFFFILE);
    const kelDataType types[] = {kelBit, kelUChar, kelChar, kelUShort, kelShort, kelUInt, kelInt, kelFloat, kelDouble};
    // tiffcp 4.5 copies the edge tiles of separate planes of 16 bits and
    // more wrongly: those files go to tifffile in the codecs it decodes.
    const kelCompression codecs[] = {kelNoCompression, kelZIP, kelLZMA, kelLZW, kelZSTD, kelPACKBITS};
    int n = 0;
    for (kelDataType type : types)
        for (kelOrder order : {kelInterleaved, kelSeparate})
            for (bool tiled : {true, false}) {
                const int c = type == kelBit ? 1 : 3;
                Shape s{37, 29, c, type, order, c == 1 ? kelLuminance : kelRGB, tiled ? 16 : 37, tiled ? 32 : 7,
                        codecs[n % (order == kelSeparate && tiled ? 3 : 6)], kelUpperLeftOrigin};
                std::string path = scratchFile("roundtrip.tif");
                Bytes pixels = randomBytes(imageBytes(s), unsigned(n++));
                if (type == kelBit) // the bits after the last pixel are no pixel's
                    pixels.back() &= (unsigned char)(0xff00 >> (s.w * s.h % 8 ? s.w * s.h % 8 : 8));
                SCOPED_TRACE(::testing::Message() << "type " << type << " order " << order << " tiled " << tiled
                                                  << " compression " << s.compression);
                ASSERT_EQ(kelOKAY, writeImage(path, s, pixels));
                EXPECT_TRUE(pixels == kelPixels(path, 0));
                EXPECT_TRUE(pixels == peerPixels(path, 0, c, s.compression));
            }
}

TEST(TIFFWrite, OrientationsShowAsImageMagickTurnsThem)
{
    REQUIRE_PEER("/usr/bin/convert -version");
    for (int o = 1; o <= 8; o++) {
        Shape s{5, 3, 3, kelUChar, kelInterleaved, kelRGB, 5, 3, kelNoCompression, kelOrientation(o)};
        std::string path = scratchFile("orientation.tif");
        ASSERT_EQ(kelOKAY, writeImage(path, s, randomBytes(imageBytes(s), unsigned(o))));
        kelFile* f = kelFile::open(path.c_str(), O_RDONLY, nullptr);
        ASSERT_NE(nullptr, f);
        EXPECT_EQ(o, f->getOrientation());
        EXPECT_TRUE(runPeer("/usr/bin/convert '" + path + "' -auto-orient rgb:-") ==
                    readImage(f, kelUpperLeftOrigin))
            << "orientation " << o;
        f->close();
    }
}

TEST(TIFFWrite, AppendsImagesAndRewritesPages)
{
    REQUIRE_PEER(TIFFFILE);
    const Shape shapes[] = {
        {20, 10, 1, kelUChar, kelInterleaved, kelLuminance, 20, 4, kelZIP, kelUpperLeftOrigin},
        {32, 20, 3, kelUShort, kelSeparate, kelRGB, 16, 16, kelZIP, kelUpperLeftOrigin},
        {9, 9, 1, kelFloat, kelInterleaved, kelLuminance, 9, 9, kelNoCompression, kelUpperLeftOrigin},
    };
    std::vector<Bytes> images;
    for (const Shape& s : shapes)
        images.push_back(randomBytes(imageBytes(s), unsigned(images.size() + 100)));
    std::string path = scratchFile("multi.tif");
    kelStatus sts = kelOKAY;
    {
        kelSize size(20, 10, 1, 1), page(20, 4, 1, 1);
        kelFileConfig cfg(&size, kelUChar, kelInterleaved, kelLuminance, kelUpperLeftOrigin, kelZIP, &page);
        kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
        ASSERT_NE(nullptr, f);
        kelConfig config(kelUChar, kelInterleaved, 1);
        ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, 20, 10, 1, images[0].data(), &config));
        ASSERT_EQ(kelOKAY, writeImage(path, shapes[1], images[1], f));
        ASSERT_EQ(kelOKAY, f->close());
    }
    kelFile* f = kelFile::open(path.c_str(), O_RDWR, &sts);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(2, f->getNumImgs());
    ASSERT_EQ(kelOKAY, writeImage(path, shapes[2], images[2], f));
    // A page of the first image again, grown: libtiff puts it at the end.
    Bytes row = randomBytes(20 * 4, 7);
    ASSERT_EQ(kelOKAY, f->setCurrentImg(0));
    kelConfig config(kelUChar, kelInterleaved, 1);
    ASSERT_EQ(kelOKAY, f->setTile(0, 4, 0, 20, 4, 1, row.data(), &config));
    std::copy(row.begin(), row.end(), images[0].begin() + 80);
    ASSERT_EQ(kelOKAY, f->close());
    for (int i = 0; i < 3; i++) {
        EXPECT_TRUE(images[size_t(i)] == kelPixels(path, i)) << "image " << i;
        EXPECT_TRUE(images[size_t(i)] == peerPixels(path, i, shapes[i].c, shapes[i].compression)) << "image " << i;
    }
}

} // namespace
