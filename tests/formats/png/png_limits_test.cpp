// Hostile and damaged files: a zTXt chunk that inflates to 256 MiB costs
// its item and little memory, and a file cut short gives the rows before
// the cut and a read failure that says so.
#include <sys/resource.h>
#include <zlib.h>

#include "png_test_support.h"

namespace {

unsigned long crcOf(const std::string& typeAndData)
{
    return crc32(0, reinterpret_cast<const Bytef*>(typeAndData.data()), uInt(typeAndData.size()));
}

std::string chunk(const std::string& type, const std::string& data)
{
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char(data.size() >> shift);
    const unsigned long crc = crcOf(type + data);
    out += type + data;
    for (int shift = 24; shift >= 0; shift -= 8)
        out += char(crc >> shift);
    return out;
}

// A gray image of w x h written by kel, whole or interlaced.
std::string writeGray(const std::string& path, int w, int h, bool interlace, Bytes& pixels)
{
    kelSize s(w, h, 1, 1);
    kelFileConfig cfg(&s, kelUChar, kelInterleaved, kelLuminance, kelUpperLeftOrigin);
    kelStatus sts;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    pixels.resize(size_t(w) * size_t(h));
    unsigned seed = 5;
    for (unsigned char& p : pixels)
        p = (unsigned char)((seed = seed * 1103515245u + 12345u) >> 16);
    f->setItem(kelPNGinterlace, int(interlace));
    f->setTile(0, 0, 0, w, h, 1, pixels.data());
    f->close();
    const Bytes file = fileBytes(path);
    return std::string(file.begin(), file.end());
}

long maxResidentKiB()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(PngLimits, TextBombCostsItsItemNotMemory)
{
    ScratchDir dir;
    Bytes pixels;
    std::string png = writeGray(dir.file("plain.png"), 40, 30, false, pixels);
    // "Comment", the null separator and method 0, then zeros that inflate
    // to 256 MiB.
    std::string zeros(1 << 20, '\0'), stream, buf(1 << 16, '\0');
    z_stream z = {};
    deflateInit(&z, 1);
    for (int i = 0; i < 256; ++i) {
        z.next_in = reinterpret_cast<Bytef*>(&zeros[0]);
        z.avail_in = uInt(zeros.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(&buf[0]);
            z.avail_out = uInt(buf.size());
            deflate(&z, i == 255 ? Z_FINISH : Z_NO_FLUSH);
            stream.append(buf, 0, buf.size() - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    const std::string bomb = chunk("zTXt", std::string("Comment\0\0", 9) + stream);
    png.insert(33, bomb); // after the signature and IHDR
    const std::string path = dir.write("bomb.png", png);
    EXPECT_IN_CHILD(KEL_TEST_DATABASE, {
        QuietMessages quiet;
        const long before = maxResidentKiB();
        kelStatus sts;
        kelFile* f = openPng(path, sts);
        CHILD_EXPECT(f != nullptr);
        const char* text = nullptr;
        CHILD_EXPECT_EQ(kelUNSUPPORTEDBYFILE, f->getItem(kelPNGcomment, &text));
        CHILD_EXPECT(readImage(f, sts) == pixels);
        CHILD_EXPECT_EQ(kelOKAY, sts);
        CHILD_EXPECT(maxResidentKiB() - before < 48 * 1024);
        CHILD_EXPECT(!quiet.messages.texts.empty());
        f->close();
    });
}

TEST(PngLimits, TruncatedFileGivesTheRowsBeforeTheCut)
{
    ScratchDir dir;
    for (bool interlace : {false, true}) {
        SCOPED_TRACE(interlace ? "interlaced" : "not interlaced");
        Bytes pixels;
        const std::string png = writeGray(dir.file("whole.png"), 300, 300, interlace, pixels);
        const std::string path = dir.write("cut.png", png.substr(0, png.size() * 6 / 10));
        QuietMessages quiet;
        kelStatus sts;
        kelFile* f = openPng(path, sts);
        ASSERT_NE(nullptr, f) << sts;
        const Bytes back = readImage(f, sts);
        EXPECT_EQ(kelREADFAILED, kelStatusMain(sts));
        ASSERT_FALSE(quiet.messages.texts.empty());
        EXPECT_NE(std::string::npos, quiet.messages.texts[0].find("the file ends early"));
        f->close();
        if (interlace)
            continue;
        // Whole pages before the cut read; the read stops at the page cut.
        size_t same = 0;
        while (same < back.size() && back[same] == pixels[same])
            ++same;
        EXPECT_GT(same / 300, 150u);
        EXPECT_EQ(Bytes(back.size() - same, 0xEE), Bytes(back.begin() + long(same), back.end()));
    }
}

} // namespace
