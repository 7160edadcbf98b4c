// Pillow reads the files we write with the same pixels, and we read the
// files Pillow writes with the same pixels: every mode whose samples Pillow
// keeps as stored (not 2- and 4-bit gray, which it scales, nor 16-bit color,
// which it narrows).
#include <random>

#include "png_test_support.h"

namespace {

// Opens a PNG (after writing one of random pixels when asked) and prints
// its mode and the SHA-256 of its samples: 16-bit gray as 2 bytes each.
const char* const pillow = R"(
import hashlib, random, struct, sys
from PIL import Image
op, mode, path, w, h = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
if op == "write":
    rnd = random.Random(w * 1000 + h)
    raw = "I;16" if mode == "I" else mode
    size = len(Image.new(raw, (w, h)).tobytes())
    im = Image.frombytes(raw, (w, h), bytes(rnd.getrandbits(8) for _ in range(size)))
    if mode == "P":
        im.putpalette([rnd.getrandbits(8) for _ in range(768)])
    im.save(path)
im = Image.open(path)
data = b"".join(struct.pack("<H", v) for v in im.getdata()) if im.mode == "I" else im.tobytes()
print(im.mode, hashlib.sha256(data).hexdigest())
)";

struct Mode {
    const char* pillow;
    kelColorModel model;
    kelDataType type;
};

void PrintTo(const Mode& m, std::ostream* os)
{
    *os << m.pillow;
}

class Pillow : public ::testing::TestWithParam<Mode> {
protected:
    void SetUp() override
    {
        if (!havePeer(std::string(KEL_SYSTEM_PYTHON) + " -c 'import PIL'"))
            GTEST_SKIP() << "Pillow is missing";
    }
    std::string run(const char* op, const std::string& path, int w, int h)
    {
        std::string out;
        const std::string command = std::string(KEL_SYSTEM_PYTHON) + " -c '" + pillow + "' " + op + " " +
                                    GetParam().pillow + " '" + path + "' " + std::to_string(w) + " " +
                                    std::to_string(h);
        EXPECT_TRUE(runCommand(command, out)) << out;
        return out;
    }
    std::string expected(const Bytes& pixels) const
    {
        return std::string(GetParam().pillow) + " " + sha256(pixels) + "\n";
    }
    ScratchDir dir;
};

TEST_P(Pillow, ReadsWhatWeWrite)
{
    const Mode& m = GetParam();
    std::mt19937 rng(7);
    for (int n = 0; n < 3; ++n) {
        kelSize s(8 * int(1 + rng() % 40), int(1 + rng() % 300), 1,
                  m.model == kelRGBPalette ? 1 : kelColorModelChans(m.model));
        const std::string path = dir.file("ours.png");
        kelFileConfig cfg(&s, m.type, kelInterleaved, m.model, kelUpperLeftOrigin);
        kelStatus sts;
        kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
        ASSERT_NE(nullptr, f) << sts;
        const int entries = int(2 + rng() % 255);
        kelColormap map(3, kelUChar, 0, entries - 1);
        if (m.model == kelRGBPalette) {
            ASSERT_EQ(kelOKAY, f->setColormap(&map));
        }
        Bytes pixels(imageBytes(f));
        for (unsigned char& v : pixels)
            v = (unsigned char)(m.model == kelRGBPalette ? rng() % unsigned(entries) : rng());
        ASSERT_EQ(kelOKAY, f->setTile(0, 0, 0, s.x, s.y, 1, pixels.data()));
        ASSERT_EQ(kelOKAY, f->close());
        EXPECT_EQ(expected(pixels), run("read", path, 0, 0));
    }
}

TEST_P(Pillow, WritesWhatWeRead)
{
    const std::string path = dir.file("pillow.png");
    const std::string wrote = run("write", path, 8 * 37, 301);
    kelStatus sts;
    kelFile* f = openPng(path, sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(GetParam().model, f->getColorModel());
    EXPECT_EQ(wrote, expected(readImage(f, sts)));
    EXPECT_EQ(kelOKAY, sts);
    f->close();
}

INSTANTIATE_TEST_SUITE_P(Modes, Pillow,
                         ::testing::Values(Mode{"1", kelLuminance, kelBit}, Mode{"L", kelLuminance, kelUChar},
                                           Mode{"I", kelLuminance, kelUShort}, Mode{"LA", kelLuminanceAlpha, kelUChar},
                                           Mode{"RGB", kelRGB, kelUChar}, Mode{"RGBA", kelRGBA, kelUChar},
                                           Mode{"P", kelRGBPalette, kelUChar}),
                         [](const ::testing::TestParamInfo<Mode>& info) {
                             return std::string(info.param.pillow[0] == '1' ? "bit" : info.param.pillow);
                         });

} // namespace
