// Files we write read the same in giflib, and files giflib writes read the
// same here: pixels, colors, placement, timing, transparency and looping.
#include "gif_test_support.h"

#if KEL_TEST_HAVE_GIFLIB
#include <gif_lib.h>
#endif

namespace {

#if KEL_TEST_HAVE_GIFLIB

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
        // giflib takes tables of a power of two entries only.
        std::vector<GifColorType> colors(size_t(1) << BitsOf(fr.entries), GifColorType{0, 0, 0});
        for (int i = 0; i < fr.entries; ++i)
            colors[size_t(i)] = {(GifByteType)colorOf(int(n), i, 0), (GifByteType)colorOf(int(n), i, 1),
                                 (GifByteType)colorOf(int(n), i, 2)};
        ColorMapObject* map = GifMakeMapObject(int(colors.size()), colors.data());
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
        expectKelReads(path, a);
    }
}

#else

TEST(Giflib, ReadsWhatWeWrite)
{
    GTEST_SKIP() << "giflib (libgif-dev) was not found when the tests were built";
}

#endif

} // namespace
