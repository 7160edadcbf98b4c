// Files we write read the same in giflib, and files giflib writes read the
// same here: pixels, colors, placement, timing, transparency and looping.
#include <random>

#include "gif_test_support.h"

#if KEL_TEST_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace {

#if KEL_TEST_HAVE_GIFLIB

// One image and its settings.
struct Frame {
    int width, height, left, top, delay, disposal, trans, entries;
    bool interlace, input;
    Bytes pixels;
};

struct Animation {
    int loops; // -1: no looping extension
    std::vector<Frame> frames;
};

Animation randomAnimation(std::mt19937& rng)
{
    Animation a;
    a.loops = int(rng() % 4) - 1;
    const int count = 1 + int(rng() % 4);
    for (int i = 0; i < count; ++i) {
        Frame f;
        f.width = 1 + int(rng() % 90);
        f.height = 1 + int(rng() % 60);
        f.left = int(rng() % 20);
        f.top = int(rng() % 20);
        f.delay = int(rng() % 300);
        f.disposal = int(rng() % 4);
        f.entries = 2 << (rng() % 8);
        f.trans = rng() % 2 ? int(rng() % unsigned(f.entries)) : -1;
        f.interlace = rng() % 3 == 0;
        f.input = rng() % 5 == 0;
        f.pixels.resize(size_t(f.width) * size_t(f.height));
        // Runs, so that long strings occur, among noise.
        int run = 0, color = 0;
        for (unsigned char& p : f.pixels) {
            if (run-- <= 0) {
                run = rng() % 2 ? int(rng() % 30) : 0;
                color = int(rng() % unsigned(f.entries));
            }
            p = (unsigned char)color;
        }
        a.frames.push_back(f);
    }
    return a;
}

// Entry i of frame n's table; frames differ in their colors.
int colorOf(int frame, int i, int c)
{
    return (i * (3 + 2 * c) + frame * 40 + c) & 0xff;
}

void writeWithKel(const std::string& path, const Animation& a)
{
    kelStatus sts;
    kelFile* f = nullptr;
    for (size_t n = 0; n < a.frames.size(); ++n) {
        const Frame& fr = a.frames[n];
        kelSize dims(fr.width, fr.height, 1, 1);
        kelFileConfig cfg(&dims);
        if (n == 0) {
            f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
            ASSERT_NE(nullptr, f);
            f->setItem(kelGIFloopCount, a.loops);
            f->setItem(kelGIFscreenWidth, 120);
            f->setItem(kelGIFscreenHeight, 90);
        } else {
            ASSERT_EQ(kelOKAY, f->appendImg(nullptr, &cfg));
        }
        kelColormap map(3, kelUChar, 0, fr.entries - 1);
        for (int i = 0; i < fr.entries; ++i)
            for (int c = 0; c < 3; ++c)
                map.setVal(colorOf(int(n), i, c), i, c);
        f->setColormap(&map);
        f->setItem(kelGIFtransparentIndex, fr.trans);
        f->setItem(kelGIFleftPosition, fr.left);
        f->setItem(kelGIFtopPosition, fr.top);
        f->setItem(kelGIFdelayTime, fr.delay);
        f->setItem(kelGIFdisposalMethod, fr.disposal);
        f->setItem(kelGIFuserInput, int(fr.input));
        f->setItem(kelGIFinterlace, int(fr.interlace));
        ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, fr.width, fr.height, 1, fr.pixels.data()));
    }
    ASSERT_EQ(kelOKAY, f->close());
}

int giflibLoops(const SavedImage& first)
{
    for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i) {
        const ExtensionBlock& b = first.ExtensionBlocks[i];
        const ExtensionBlock& next = first.ExtensionBlocks[i + 1];
        if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 && memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0 &&
            next.ByteCount == 3 && next.Bytes[0] == 1)
            return next.Bytes[1] | next.Bytes[2] << 8;
    }
    return -1;
}

void expectInGiflib(const std::string& path, const Animation& a)
{
    int err = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &err);
    ASSERT_NE(nullptr, gif) << GifErrorString(err);
    ASSERT_EQ(GIF_OK, DGifSlurp(gif)) << GifErrorString(gif->Error);
    EXPECT_EQ(120, gif->SWidth);
    EXPECT_EQ(90, gif->SHeight);
    ASSERT_EQ(int(a.frames.size()), gif->ImageCount);
    EXPECT_EQ(a.loops, giflibLoops(gif->SavedImages[0]));
    for (int n = 0; n < gif->ImageCount; ++n) {
        SCOPED_TRACE("image " + std::to_string(n));
        const Frame& fr = a.frames[size_t(n)];
        const SavedImage& im = gif->SavedImages[n];
        EXPECT_EQ(fr.left, im.ImageDesc.Left);
        EXPECT_EQ(fr.top, im.ImageDesc.Top);
        ASSERT_EQ(fr.width, im.ImageDesc.Width);
        ASSERT_EQ(fr.height, im.ImageDesc.Height);
        EXPECT_EQ(fr.interlace, bool(im.ImageDesc.Interlace));
        EXPECT_TRUE(Bytes(im.RasterBits, im.RasterBits + fr.pixels.size()) == fr.pixels);
        const ColorMapObject* map = im.ImageDesc.ColorMap ? im.ImageDesc.ColorMap : gif->SColorMap;
        ASSERT_NE(nullptr, map);
        ASSERT_LE(fr.entries, map->ColorCount);
        for (int i = 0; i < fr.entries; ++i) {
            EXPECT_EQ(colorOf(n, i, 0), map->Colors[i].Red);
            EXPECT_EQ(colorOf(n, i, 1), map->Colors[i].Green);
            EXPECT_EQ(colorOf(n, i, 2), map->Colors[i].Blue);
        }
        GraphicsControlBlock gcb;
        gcb.DisposalMode = 0;
        gcb.UserInputFlag = false;
        gcb.DelayTime = 0;
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, n, &gcb);
        EXPECT_EQ(fr.disposal, gcb.DisposalMode);
        EXPECT_EQ(fr.input, bool(gcb.UserInputFlag));
        EXPECT_EQ(fr.delay, gcb.DelayTime);
        EXPECT_EQ(fr.trans, gcb.TransparentColor);
    }
    DGifCloseFile(gif, &err);
}

TEST(Giflib, ReadsWhatWeWrite)
{
    ScratchDir dir;
    std::mt19937 rng(21);
    for (int n = 0; n < 30; ++n) {
        SCOPED_TRACE("animation " + std::to_string(n));
        Animation a = randomAnimation(rng);
        std::string path = dir.file("ours.gif");
        writeWithKel(path, a);
        expectInGiflib(path, a);
    }
}

void writeWithGiflib(const std::string& path, const Animation& a)
{
    int err = 0;
    GifFileType* gif = EGifOpenFileName(path.c_str(), false, &err);
    ASSERT_NE(nullptr, gif);
    EGifSetGifVersion(gif, true);
    ASSERT_EQ(GIF_OK, EGifPutScreenDesc(gif, 120, 90, 8, 0, nullptr));
    if (a.loops >= 0) {
        unsigned char loop[3] = {1, (unsigned char)(a.loops & 0xff), (unsigned char)(a.loops >> 8)};
        EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
        EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
        EGifPutExtensionBlock(gif, 3, loop);
        EGifPutExtensionTrailer(gif);
    }
    for (size_t n = 0; n < a.frames.size(); ++n) {
        const Frame& fr = a.frames[n];
        GraphicsControlBlock gcb;
        gcb.DisposalMode = fr.disposal;
        gcb.UserInputFlag = fr.input;
        gcb.DelayTime = fr.delay;
        gcb.TransparentColor = fr.trans;
        GifByteType ext[4];
        size_t len = EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext);
        std::vector<GifColorType> colors(size_t(fr.entries));
        for (int i = 0; i < fr.entries; ++i)
            colors[size_t(i)] = {(GifByteType)colorOf(int(n), i, 0), (GifByteType)colorOf(int(n), i, 1),
                                 (GifByteType)colorOf(int(n), i, 2)};
        ColorMapObject* map = GifMakeMapObject(fr.entries, colors.data());
        ASSERT_EQ(GIF_OK, EGifPutImageDesc(gif, fr.left, fr.top, fr.width, fr.height, fr.interlace, map));
        GifFreeMapObject(map);
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < (fr.interlace ? 4 : 1); ++pass)
            for (int y = fr.interlace ? start[pass] : 0; y < fr.height; y += fr.interlace ? step[pass] : 1)
                ASSERT_EQ(GIF_OK, EGifPutLine(gif, const_cast<GifPixelType*>(fr.pixels.data()) +
                                                        size_t(y) * size_t(fr.width),
                                              fr.width));
    }
    ASSERT_EQ(GIF_OK, EGifCloseFile(gif, &err));
}

TEST(Giflib, WritesWhatWeRead)
{
    ScratchDir dir;
    std::mt19937 rng(22);
    for (int n = 0; n < 30; ++n) {
        SCOPED_TRACE("animation " + std::to_string(n));
        Animation a = randomAnimation(rng);
        std::string path = dir.file("theirs.gif");
        writeWithGiflib(path, a);
        kelStatus sts;
        kelFile* f = openGif(path, sts);
        ASSERT_NE(nullptr, f);
        ASSERT_EQ(int(a.frames.size()), f->getNumImgs());
        int loops = intItem(f, kelGIFloopCount, sts);
        EXPECT_EQ(a.loops, sts == kelOKAY ? loops : -1);
        EXPECT_EQ(120, intItem(f, kelGIFscreenWidth, sts));
        for (size_t i = 0; i < a.frames.size(); ++i) {
            const Frame& fr = a.frames[i];
            ASSERT_EQ(kelOKAY, f->setCurrentImg(int(i)));
            EXPECT_TRUE(readPixels(f, sts) == fr.pixels) << i;
            const kelColormap* map = nullptr;
            f->getColormap(map);
            ASSERT_NE(nullptr, map);
            ASSERT_EQ(fr.entries, map->getLength());
            for (int e = 0; e < fr.entries; ++e)
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(colorOf(int(i), e, c), map->getVal(e, c)) << e;
            int trans = intItem(f, kelGIFtransparentIndex, sts);
            EXPECT_EQ(fr.trans, sts == kelOKAY ? trans : -1);
            EXPECT_EQ(fr.delay, intItem(f, kelGIFdelayTime, sts));
            EXPECT_EQ(fr.disposal, intItem(f, kelGIFdisposalMethod, sts));
            EXPECT_EQ(int(fr.input), intItem(f, kelGIFuserInput, sts));
            EXPECT_EQ(fr.left, intItem(f, kelGIFleftPosition, sts));
            EXPECT_EQ(int(fr.interlace), intItem(f, kelGIFinterlace, sts));
        }
        f->close();
    }
}

#else

TEST(Giflib, ReadsWhatWeWrite)
{
    GTEST_SKIP() << "giflib (libgif-dev) was not found when the tests were built";
}

#endif

} // namespace
