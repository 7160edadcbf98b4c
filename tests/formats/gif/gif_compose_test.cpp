// Composed frames: the disposal methods with transparency against canvases
// drawn by hand, and real animations against the frames Pillow composes.
#include <fcntl.h>

#include <kel/kelFrameComposer.h>

#include "gif_test_support.h"
#include "formats/peer_test_support.h"

namespace {

// Digit i is entry i of the global table, '.' a transparent pixel.
Bytes canvasOf(const std::string& rows)
{
    Bytes rgba;
    for (char ch : rows) {
        int i = ch - '0';
        Bytes px = ch == '.' ? Bytes{0, 0, 0, 0}
                             : Bytes{(unsigned char)GifBytes::red(i), (unsigned char)GifBytes::green(i),
                                     (unsigned char)GifBytes::blue(i), 255};
        rgba.insert(rgba.end(), px.begin(), px.end());
    }
    return rgba;
}

// On a 4 x 2 canvas: entry 1 everywhere; entry 2 over the left half,
// disposed of by `disposal`; then a transparent pixel (entry 3) and entry 0
// at (left, 1).
std::string threeFrames(const ScratchDir& dir, int disposal, int left)
{
    GifBytes g;
    g.header(4, 2, 2).graphicControl(0, 5, 0).image(4, 2, 2, lzwEncode(Bytes(8, 1), 2));
    g.graphicControl(disposal << 2, 5, 0).image(2, 2, 2, lzwEncode(Bytes(4, 2), 2));
    g.graphicControl(1, 5, 3).image(2, 1, 2, lzwEncode(Bytes{3, 0}, 2), 0, left, 1);
    return g.trailer().write(dir, "frames.gif");
}

struct Composed {
    kelFile* file;
    kelFrameComposer comp;
    explicit Composed(const std::string& path) : file(kelFile::open(path.c_str(), O_RDONLY, nullptr)), comp(*file) {}
    ~Composed() { file->close(); }
    Bytes frame(int i)
    {
        Bytes rgba(size_t(comp.getCanvasWidth()) * size_t(comp.getCanvasHeight()) * 4);
        EXPECT_EQ(comp.compose(i, rgba.data()), kelOKAY) << "frame " << i;
        return rgba;
    }
};

TEST(GifCompose, DisposalMethodsWithTransparencyAndClipping)
{
    struct Case {
        int disposal, left;
        const char* shown; // the last frame, top row first
    } cases[] = {
        {kelDisposeUnspecified, 2, "2211" "2210"}, {kelDisposeNone, 2, "2211" "2210"},
        {kelDisposeBackground, 2, "..11" "..10"},  {kelDisposePrevious, 2, "1111" "1110"},
        {kelDisposeBackground, 0, "..11" ".011"},  {kelDisposeNone, 3, "2211" "2211"},
    };
    ScratchDir dir;
    for (const Case& c : cases) {
        Composed anim(threeFrames(dir, c.disposal, c.left));
        ASSERT_EQ(anim.comp.init(), kelOKAY);
        kelFrameInfo info;
        ASSERT_EQ(anim.comp.getFrameInfo(2, info), kelOKAY);
        EXPECT_EQ(info.left, c.left);
        EXPECT_EQ(info.delayMs, 50);
        // Going back composes again from the first frame.
        EXPECT_EQ(anim.frame(2), canvasOf(c.shown)) << "disposal " << c.disposal << " left " << c.left;
        EXPECT_EQ(anim.frame(0), canvasOf("1111" "1111"));
        EXPECT_EQ(anim.frame(2), canvasOf(c.shown));
    }
}

// The frames a peer composes, after two colors it may fill with: Pillow's,
// or ImageMagick's where Pillow 9.4 keeps a frame that a later one disposes
// of to the background.
Bytes peerFrames(const std::string& path, bool magick)
{
    if (magick)
        return runPeer("(printf '\\0\\0\\0\\0\\0\\0\\0\\0'; /usr/bin/convert '" + path + "' -coalesce rgba:-)");
    return runPeer("/usr/bin/python3 -c 'import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                   "o = sys.stdout.buffer; p = im.getpalette() or [0] * 768; "
                   "b = im.info.get(\"background\", 0) * 3; o.write(bytes(p[b:b + 3] + [255] + p[:3] + [255])); "
                   "[(im.seek(i), o.write(im.convert(\"RGBA\").tobytes())) for i in range(im.n_frames)]' '" +
                   path + "'");
}

// Pillow fills with the background color (or entry 0) where browsers, and
// kel, leave the canvas transparent: before any frame covers it and after a
// disposal to the background. Elsewhere the frames agree to the byte.
TEST(GifCompose, FramesMatchPeers)
{
    REQUIRE_PEER("/usr/bin/python3 -c 'import PIL'");
    REQUIRE_PEER("/usr/bin/convert -version");
    const std::string suite = KEL_GIF_SUITE_DIR "/", own = KEL_TEST_SOURCE_DIR "/tests/data/gif/";
    const std::pair<std::string, bool> files[] = {
        {suite + "dispose-none.gif", false},          {suite + "dispose-keep.gif", false},
        {suite + "dispose-restore-background.gif", false}, {suite + "dispose-restore-previous.gif", false},
        {suite + "animation-multi-image.gif", false}, {suite + "images-combine.gif", false},
        {suite + "high-color.gif", false},            {suite + "transparent.gif", false},
        {own + "moving.gif", false},                  {own + "disposals.gif", true}};
    for (const auto& [path, magick] : files) {
        Bytes peer = peerFrames(path, magick);
        Composed anim(path);
        ASSERT_EQ(anim.comp.init(), kelOKAY) << path;
        const size_t bytes = size_t(anim.comp.getCanvasWidth()) * size_t(anim.comp.getCanvasHeight()) * 4;
        ASSERT_EQ(peer.size(), 8 + bytes * size_t(anim.comp.getNumFrames())) << path;
        const Bytes background(peer.begin(), peer.begin() + 4), first(peer.begin() + 4, peer.begin() + 8);
        for (int f = 0; f < anim.comp.getNumFrames(); ++f) {
            Bytes kel = anim.frame(f);
            for (size_t i = 0; i < bytes; i += 4) {
                Bytes k(kel.begin() + long(i), kel.begin() + long(i) + 4);
                auto at = peer.begin() + long(8 + bytes * size_t(f) + i);
                Bytes p(at, at + 4);
                bool same = k[3] ? k == p : p[3] == 0 || p == background || p == first;
                ASSERT_TRUE(same) << path << " frame " << f << " byte " << i;
            }
        }
    }
}

} // namespace
