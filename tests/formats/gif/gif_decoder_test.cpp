// The plug-in's decoder against the decoding rules taken one step at a
// time: on valid, plausible and hostile code streams, in any framing and
// cut short anywhere, the page must come out byte for byte the same.
#include <random>

#include "gif_test_support.h"

namespace {

struct Stream {
    int codeSize;      // the code size byte
    int width, height;
    bool interlace;
    Bytes payload;     // the code stream, before framing
    size_t blockLen;   // 1..255; 0 for random sub-block sizes
    long cut;          // bytes dropped from the end of the file; 0 for none
};

// Rows stored in interlace order, as they stand in the page.
Bytes deinterlace(const Bytes& rows, int width, int height)
{
    static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    Bytes page(rows.size());
    size_t in = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass], in += size_t(width))
            std::copy(rows.begin() + long(in), rows.begin() + long(in + size_t(width)),
                      page.begin() + long(size_t(y) * size_t(width)));
    return page;
}

class DecoderAgainstRules : public ::testing::Test {
protected:
    // Writes the stream as the only image of a file, and compares what the
    // plug-in decodes with what the rules give.
    // Returns whether the stream filled the string table.
    bool check(const Stream& s, std::mt19937& rng, const std::string& what)
    {
        GifBytes gif;
        gif.header(s.width, s.height, 2).descriptor(0, 0, s.width, s.height, s.interlace ? 0x40 : 0);
        const size_t dataStart = gif.data.size();
        gif.byte(s.codeSize);
        for (size_t i = 0; i < s.payload.size();) {
            size_t n = s.blockLen ? s.blockLen : 1 + rng() % 255;
            n = std::min(n, s.payload.size() - i);
            gif.byte(int(n));
            gif.data.insert(gif.data.end(), s.payload.begin() + long(i), s.payload.begin() + long(i + n));
            i += n;
        }
        gif.byte(0).trailer();
        const size_t kept = gif.data.size() - dataStart - 1;
        gif.data.resize(gif.data.size() - std::min(kept, size_t(s.cut)));
        const Bytes data(gif.data.begin() + long(dataStart), gif.data.end());
        const size_t count = size_t(s.width) * size_t(s.height);
        ReferenceResult expected = referenceDecode(data, count);
        if (s.interlace)
            expected.page = deinterlace(expected.page, s.width, s.height);

        std::string path = gif.write(dir, "stream.gif");
        QuietMessages quiet;
        kelStatus sts;
        kelFile* f = openGif(path, sts);
        EXPECT_EQ(kelOKAY, sts) << what;
        if (!f)
            return false;
        Bytes page(count, 0xEE);
        sts = f->getPage(page.data(), 0, 0, 0, 0, s.width, s.height, 1, 1);
        f->close();
        EXPECT_EQ(size_t(expected.warnings), quiet.messages.texts.size()) << what;
        EXPECT_EQ(expected.badFormat ? kelStatus(kelBADIMGFMT) : kelStatus(kelOKAY), sts) << what;
        auto differs = std::mismatch(page.begin(), page.end(), expected.page.begin());
        EXPECT_TRUE(differs.first == page.end()) << what << ": first difference at pixel " << differs.first - page.begin();
        return expected.tableFilled;
    }

    static Stream randomShape(std::mt19937& rng, int codeSize)
    {
        Stream s;
        s.codeSize = codeSize;
        s.width = 1 + int(rng() % 300);
        s.height = 1 + int(rng() % 200);
        s.interlace = rng() % 4 == 0;
        s.blockLen = rng() % 3 == 0 ? 0 : 1 + rng() % 255;
        s.cut = rng() % 5 == 0 ? long(rng() % 300) : 0;
        return s;
    }

    ScratchDir dir;
};

// Codes chosen at random among those that mean something at each point
// (roots, entries, the entry being defined, clears), now and then one that
// does not, packed at the widths the decoder reads them with.
Bytes plausibleCodes(std::mt19937& rng, int codeSize, int count, int clearPerMille, int eoiPerMille)
{
    const int clear = 1 << codeSize;
    std::vector<std::pair<int, int>> codes;
    int width = codeSize + 1, avail = clear + 2;
    bool havePrev = false;
    for (int k = 0; k < count; ++k) {
        const int r = int(rng() % 1000);
        int code;
        const int odd = clearPerMille + eoiPerMille;
        if (r < clearPerMille)
            code = clear;
        else if (r < odd)
            code = clear + 1;
        else if (r < odd + 10 && havePrev && avail < (1 << width) - 1)
            code = avail + 1 + int(rng() % unsigned((1 << width) - 1 - avail));
        else if (r < odd + 40 && havePrev && avail < 4096)
            code = avail;
        else if (r < odd + 500 || avail == clear + 2)
            code = int(rng() % unsigned(clear));
        else
            code = clear + 2 + int(rng() % unsigned(avail - clear - 2));
        code = std::min(code, (1 << width) - 1);
        codes.push_back({code, width});
        if (code == clear) {
            width = codeSize + 1;
            avail = clear + 2;
            havePrev = false;
        } else if (!havePrev) {
            havePrev = code < clear;
        } else if (code <= avail && code != clear + 1 && avail < 4096) {
            ++avail;
            if (avail > (1 << width) - 1 && width < 12)
                ++width;
        }
    }
    return packCodes(codes);
}

TEST_F(DecoderAgainstRules, ValidStreamsOfRandomImages)
{
    std::mt19937 rng(1);
    for (int n = 0; n < 150; ++n) {
        const int codeSize = 2 + n % 7;
        Stream s = randomShape(rng, codeSize);
        s.cut = 0;
        // Few colors in runs, so that strings grow long, or noise.
        const int colors = n % 2 ? 1 << codeSize : 1 + int(rng() % 3);
        Bytes pixels(size_t(s.width) * size_t(s.height));
        int run = 0, color = 0;
        for (unsigned char& p : pixels) {
            if (run-- <= 0) {
                run = int(rng() % 40);
                color = int(rng() % unsigned(colors));
            }
            p = (unsigned char)color;
        }
        s.payload = lzwEncode(pixels, codeSize);
        check(s, rng, "valid stream " + std::to_string(n));
        if (!s.interlace) {
            // The rules themselves give back the pixels.
            Bytes data{(unsigned char)codeSize};
            GifBytes framed;
            framed.subBlocks(s.payload);
            data.insert(data.end(), framed.data.begin(), framed.data.end());
            ASSERT_TRUE(referenceDecode(data, pixels.size()).page == pixels) << n;
        }
    }
}

TEST_F(DecoderAgainstRules, PlausibleStreamsWithOddCodesAndFullTables)
{
    std::mt19937 rng(2);
    int filled = 0;
    for (int n = 0; n < 400; ++n) {
        const int codeSize = 1 + n % 11;
        Stream s = randomShape(rng, codeSize);
        // Some streams never clear or end, so that the table fills and
        // stays full; their pages are large enough to take it.
        const bool fill = n % 3 == 0;
        if (fill) {
            s.width = 1000;
            s.height = 100 + int(rng() % 100);
        }
        s.payload = plausibleCodes(rng, codeSize, 500 + int(rng() % 6000), fill ? 0 : 1 + int(rng() % 20),
                                   fill ? 0 : int(rng() % 3));
        filled += check(s, rng, "plausible stream " + std::to_string(n));
    }
    EXPECT_GE(filled, 40);
}

TEST_F(DecoderAgainstRules, RandomBytes)
{
    std::mt19937 rng(3);
    for (int n = 0; n < 600; ++n) {
        // Code sizes around the refused ones too.
        const int codeSize = n % 50 == 0 ? int(rng() % 256) : int(rng() % 13);
        Stream s = randomShape(rng, codeSize);
        s.payload.resize(rng() % 4000);
        for (unsigned char& b : s.payload)
            b = (unsigned char)rng();
        check(s, rng, "random stream " + std::to_string(n));
    }
}

TEST_F(DecoderAgainstRules, PagesFullBeforeTheStreamEnds)
{
    std::mt19937 rng(4);
    for (int n = 0; n < 100; ++n) {
        Stream s = randomShape(rng, 2 + n % 7);
        s.width = 1 + int(rng() % 20);
        s.height = 1 + int(rng() % 5);
        s.payload = plausibleCodes(rng, s.codeSize, 3000, 3, 1);
        check(s, rng, "small page " + std::to_string(n));
    }
}

} // namespace
