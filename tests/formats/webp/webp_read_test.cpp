// Files of other software (tests/data/README.md) read as the codec's own
// tools see them: every frame's pixels as dwebp decodes it (the same
// decoder), its place, duration, disposal and blend as webpmux lists them,
// and the metadata chunks as webpmux extracts them. Damaged and oversized
// files are refused before anything is decoded.
#include <sstream>

#include "webp_test_support.h"

namespace {

// The first frame's color model and compression; a loop count of -1: a
// still image.
struct Fixture { const char* file; int frames; kelColorModel model; kelCompression compression; int loop; };

// webpmux -info's row of each frame: number, width, height, alpha, x, y,
// duration, dispose, blend.
std::vector<std::vector<std::string>> frameRows(const std::string& path)
{
    const Bytes text = runPeer("/usr/bin/webpmux -info '" + path + "'");
    std::istringstream in(std::string(text.begin(), text.end()));
    std::vector<std::vector<std::string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::vector<std::string> row(9);
        for (auto& w : row)
            words >> w;
        if (row[0].size() > 1 && row[0].back() == ':' && isdigit((unsigned char)row[0][0]))
            rows.push_back(row);
    }
    return rows;
}

void expectFrameItems(kelFile* f, const std::vector<std::string>& row)
{
    kelSize s;
    f->getDimensions(s);
    EXPECT_EQ(row[1] + "x" + row[2], std::to_string(s.x) + "x" + std::to_string(s.y));
    EXPECT_EQ(std::stoi(row[4]), intItem(f, kelWEBPleft));
    EXPECT_EQ(std::stoi(row[5]), intItem(f, kelWEBPtop));
    EXPECT_EQ(std::stoi(row[6]), intItem(f, kelWEBPduration));
    EXPECT_EQ(row[7] == "background" ? kelDisposeBackground : kelDisposeNone, intItem(f, kelWEBPdispose));
    EXPECT_EQ(row[8] == "yes" ? kelBlendOver : kelBlendSource, intItem(f, kelWEBPblend));
}

class WEBPFixture : public ::testing::TestWithParam<Fixture> {};

TEST_P(WEBPFixture, ReadsAsTheCodecToolsSeeIt)
{
    const Fixture& fx = GetParam();
    REQUIRE_PEER(DWEBP);
    REQUIRE_PEER(WEBPMUX);
    const std::string path = fixture(fx.file);
    kelStatus sts;
    kelFile* f = kelFile::open(path.c_str(), O_RDONLY, &sts);
    ASSERT_NE(nullptr, f) << sts;
    EXPECT_EQ(fx.frames, f->getNumImgs());
    EXPECT_EQ(fx.model, f->getColorModel());
    EXPECT_EQ(fx.compression, f->getCompression());
    EXPECT_EQ(fx.loop, intItem(f, kelWEBPloopCount));
    const auto rows = frameRows(path);
    EXPECT_EQ(size_t(fx.loop < 0 ? 0 : fx.frames), rows.size());
    for (int i = 0; i < fx.frames; i++) {
        ASSERT_EQ(kelOKAY, f->setCurrentImg(i));
        const std::string frame = fx.loop < 0 ? "cat '" + path + "'"
                                              : "/usr/bin/webpmux -get frame " + std::to_string(i + 1) + " '" +
                                                    path + "' -o -";
        EXPECT_TRUE(readRGBA(f, &sts) == dwebpRGBA(frame)) << "frame " << i;
        EXPECT_EQ(kelOKAY, sts);
        if (size_t(i) < rows.size())
            expectFrameItems(f, rows[size_t(i)]);
    }
    const std::string get = "/usr/bin/webpmux -get ";
    EXPECT_TRUE(bytesItem(f, -1) == runPeer(get + "icc '" + path + "' -o -"));
    EXPECT_TRUE(bytesItem(f, kelWEBPexif) == runPeer(get + "exif '" + path + "' -o -"));
    EXPECT_TRUE(bytesItem(f, kelWEBPxmp) == runPeer(get + "xmp '" + path + "' -o -"));
    EXPECT_EQ(kelOKAY, f->close());
}

INSTANTIATE_TEST_SUITE_P(
    Files, WEBPFixture,
    ::testing::Values(Fixture{"lossy.webp", 1, kelRGB, kelWEBP, -1},
                      Fixture{"lossless.webp", 1, kelRGB, kelWEBPLossless, -1},
                      Fixture{"alpha.webp", 1, kelRGBA, kelWEBP, -1},
                      Fixture{"alpha-lossless.webp", 1, kelRGBA, kelWEBPLossless, -1},
                      Fixture{"metadata.webp", 1, kelRGB, kelWEBP, -1},
                      Fixture{"magick.webp", 1, kelRGB, kelWEBP, -1},
                      Fixture{"img2webp.webp", 2, kelRGBA, kelWEBPLossless, 5},
                      Fixture{"gif2webp.webp", 4, kelRGBA, kelWEBPLossless, 3},
                      Fixture{"webpmux.webp", 3, kelRGBA, kelWEBPLossless, 3},
                      Fixture{"pillow-anim.webp", 3, kelRGBA, kelWEBP, 2}));

// Opening must refuse, quickly and with its reason, what it cannot show:
// a canvas beyond the page limit, more frames than the limits allow, a
// file cut short; a damaged bitstream opens and fails to decode.
class WEBPLimits : public ::testing::Test {
protected:
    ScratchDir dir;

    kelStatus openStatus(const Bytes& bytes, kelStatus* decoded = nullptr)
    {
        const std::string path = dir.write("bad.webp", std::string(bytes.begin(), bytes.end()));
        CapturedMessages messages;
        kelSetLocalErrorHandler guard(CapturedMessages::handler, &messages);
        kelStatus sts;
        kelFile* f = kelFile::open((path + "#WEBP").c_str(), O_RDONLY, &sts);
        if (f && decoded)
            readRGBA(f, decoded);
        if (f)
            f->close();
        EXPECT_EQ(sts != kelOKAY || (decoded && *decoded != kelOKAY), !messages.texts.empty());
        return sts;
    }
};

// An animation of `count` 1 x 1 frames: tiny.webp's image chunk (of even
// size) in ANMF chunks after a VP8X and an ANIM chunk.
Bytes manyFrames(int count)
{
    const Bytes tiny = fileBytes(fixture("tiny.webp"));
    Bytes anmf = {'A', 'N', 'M', 'F', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    anmf.insert(anmf.end(), tiny.begin() + 12, tiny.end());
    anmf[4] = (unsigned char)(anmf.size() - 8);
    Bytes file = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', 'X', 10, 0, 0, 0, 2, 0, 0, 0,
                  0,   0,   0,   0,   0, 0, 'A', 'N', 'I', 'M', 6,  0,   0,   0,   0,  0, 0, 0, 0, 0};
    for (int i = 0; i < count; i++)
        file.insert(file.end(), anmf.begin(), anmf.end());
    for (int i = 0; i < 4; i++)
        file[size_t(4 + i)] = (unsigned char)((file.size() - 8) >> (8 * i));
    return file;
}

TEST_F(WEBPLimits, RefusesWhatItCannotShow)
{
    const Bytes lossy = fileBytes(fixture("lossy.webp"));
    // dwebp, too, finds a bitstream error in the damaged lossless file.
    Bytes cut(lossy.begin(), lossy.end() - 100), damaged = fileBytes(fixture("lossless.webp"));
    for (size_t i = 40; i < 200; i++)
        damaged[i] ^= 0x5a;
    kelStatus decoded = kelOKAY;
    EXPECT_EQ(kelPREMATUREEOF, openStatus(cut));
    EXPECT_EQ(kelOKAY, openStatus(damaged, &decoded));
    EXPECT_EQ(kelBADIMGFMT, decoded);
    EXPECT_EQ(kelBADIMGFMT, openStatus(manyFrames(100000)));
    EXPECT_EQ(kelOKAY, openStatus(manyFrames(1000)));
    kelSetMaxPageBytes(75 * 58 * 4 - 1);
    EXPECT_EQ(kelStatus(kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM)), openStatus(lossy));
    kelSetMaxPageBytes(0);
}

} // namespace
