// Hostile files: pages beyond kel's page limit are refused before libtiff
// allocates them, a chain of directories that loops ends, and damaged or
// truncated data gives an error status, never pixels made up.
#include "tiff_test_support.h"

namespace {

Bytes load(const std::string& path)
{
    Bytes b;
    FILE* f = fopen(path.c_str(), "rb");
    for (int c; f && (c = fgetc(f)) != EOF;)
        b.push_back((unsigned char)c);
    if (f)
        fclose(f);
    return b;
}

uint32_t le32(const Bytes& b, size_t at)
{
    return at + 4 <= b.size() ? uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                                    uint32_t(b[at + 3]) << 24
                              : 0;
}

void put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + size_t(i)] = (unsigned char)(v >> (8 * i));
}

// Where directory `index` of a little-endian classic file keeps the
// offset of the next one.
size_t nextLink(const Bytes& b, int index)
{
    size_t at = 4;
    for (int i = 0; i <= index; i++) {
        const size_t ifd = le32(b, at);
        at = ifd + 2 + 12 * size_t(b[ifd] | b[ifd + 1] << 8);
    }
    return at;
}

struct Damage {
    const char* name;
    const char* fixture;
    void (*apply)(Bytes&);
    kelStatus open;   // the open's status
    int images;       // then: the images listed
    bool readFails;   // and whether reading the first fails
};

const Damage damages[] = {
    {"loop", "types.tif", [](Bytes& b) { put32(b, nextLink(b, 1), le32(b, 4)); }, kelOKAY, 2, false},
    {"self_loop", "gray8_strips.tif", [](Bytes& b) { put32(b, nextLink(b, 0), le32(b, 4)); }, kelOKAY, 1, false},
    {"truncated", "rgb8_tiles.tif", [](Bytes& b) { b.resize(b.size() * 2 / 3); }, kelOKAY, 1, true},
    {"corrupt_deflate", "rgb8_zip.tif", [](Bytes& b) { std::fill(b.begin() + 40, b.begin() + 400, 0x55); }, kelOKAY,
     1, true},
    {"garbage_ifd", "gray8_strips.tif", [](Bytes& b) { put32(b, 4, uint32_t(b.size() - 3)); }, kelBADIMGFMT, 0,
     false},
};

class TIFFDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(TIFFDamage, IsReportedNotInvented)
{
    const Damage& d = GetParam();
    Bytes b = load(fixture(d.fixture));
    d.apply(b);
    const std::string path = ::testing::TempDir() + "kel_tiff_damage_" + d.name + ".tif";
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f && fwrite(b.data(), 1, b.size(), f) == b.size() && fclose(f) == 0);
    kelStatus sts = kelOKAY;
    kelFile* file = kelFile::open(path.c_str(), O_RDONLY, &sts);
    EXPECT_EQ(d.open, kelStatusMain(sts));
    if (!file)
        return;
    EXPECT_EQ(d.images, file->getNumImgs());
    readImage(file, kelOrientation(0), &sts);
    EXPECT_EQ(d.readFails, sts != kelOKAY) << sts;
    file->close();
}

INSTANTIATE_TEST_SUITE_P(Files, TIFFDamage, ::testing::ValuesIn(damages),
                         [](const ::testing::TestParamInfo<Damage>& i) { return std::string(i.param.name); });

TEST(TIFFLimits, PagesBeyondTheLimitAreRefusedAtOpen)
{
    kelSetMaxPageBytes(16 * 16 * 3 - 1); // one tile of rgb8_tiles.tif is 768 bytes
    kelStatus sts = kelOKAY;
    kelFile* f = kelFile::open(fixture("rgb8_tiles.tif").c_str(), O_RDONLY, &sts);
    kelSetMaxPageBytes(0);
    EXPECT_EQ(nullptr, f);
    EXPECT_EQ(kelMALLOCFAILED, kelStatusMain(sts));
}

} // namespace
