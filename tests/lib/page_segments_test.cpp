#include <gtest/gtest.h>
#include <kel/kelConverter.h>
#include <kel/kelDataSize.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "kelPageSegments.h"

namespace {

// A page and a caller's block that holds some of its pixels in the page's
// own layout, drawn at random: pages partly outside the image (clipped, and
// with spare channels), callers that reach past the page or mirror it in y.
struct Draw {
    std::mt19937 gen;
    int in(int lo, int hi) { return lo + int(gen() % unsigned(hi - lo + 1)); }
    bool chance(int percent) { return in(0, 99) < percent; }

    kelDataType type() { return std::vector<kelDataType>{kelUChar, kelShort, kelFloat, kelDouble}[in(0, 3)]; }
};

struct Blocks {
    kelDataType type;
    std::vector<uint8_t> page, caller;
    std::vector<int> list;
    kelConverter pageConv, callerConv;
    size_t pageBytes;
};

void randomBytes(std::mt19937& gen, std::vector<uint8_t>& b, size_t n)
{
    b.resize(n);
    for (auto& x : b)
        x = uint8_t(gen());
}

Blocks compatible(Draw& d)
{
    Blocks b;
    b.type = d.type();
    kelOrder orders[] = {kelInterleaved, kelSequential, kelSeparate};
    kelOrder pageOrder = orders[d.in(0, 2)];
    int pgc = d.in(1, 4), px = d.in(-4, 8), py = d.in(-4, 8), pz = d.in(0, 2), c0 = d.in(0, 3) * pgc;
    int PX = d.in(1, 9), PY = d.in(1, 7), PZ = d.in(1, 2);
    b.pageBytes = kelDataSize(b.type, PX * PY * PZ * pgc);
    randomBytes(d.gen, b.page, b.pageBytes);
    b.pageConv.init(b.page.data(), b.type, pageOrder, pgc, nullptr, PX, PY, PZ, px, py, pz, c0);
    int nc = pgc;
    if (pageOrder != kelInterleaved && d.chance(30))
        nc = d.in(1, pgc); // a page past the image's channels
    b.pageConv.limitChannels(nc);
    if (d.chance(60))
        b.pageConv.setClip(px, py, pz, d.in(1, PX), d.in(1, PY), d.in(1, PZ));
    // The caller: same channels, runs of the same shape.
    kelOrder callerOrder = pageOrder == kelInterleaved && pgc > 1 ? kelInterleaved : orders[d.in(1, 2)];
    int cx = px + d.in(-5, 5), cy = py + d.in(-5, 5), cz = pz - d.in(0, 1);
    int cnx = d.in(1, 14), cny = d.in(1, 12), cnz = d.in(1, 3);
    const int* chans = nullptr;
    if (d.chance(40)) {
        for (int i = 0; i < nc; i++)
            b.list.push_back(c0 + i);
        chans = b.list.data();
    }
    randomBytes(d.gen, b.caller, kelDataSize(b.type, cnx * cny * cnz * nc));
    b.callerConv.init(b.caller.data(), b.type, callerOrder, nc, chans, cnx, cny, cnz, cx, cy, cz, c0);
    b.callerConv.setFlip(d.chance(40) ? kelYFlip : kelNoFlip);
    return b;
}

// Reading: the page's bytes, laid out one after another over the segments.
void scatter(const kelPageSegments& s, const std::vector<uint8_t>& bytes)
{
    size_t at = 0;
    for (int i = 0; i < s.count(); i++) {
        memcpy(s.data()[i].iov_base, bytes.data() + at, s.data()[i].iov_len);
        at += s.data()[i].iov_len;
    }
}

// Writing: the bytes that the segments hold, one after another.
std::vector<uint8_t> gather(const kelPageSegments& s)
{
    std::vector<uint8_t> out;
    for (int i = 0; i < s.count(); i++) {
        const uint8_t* p = static_cast<const uint8_t*>(s.data()[i].iov_base);
        out.insert(out.end(), p, p + s.data()[i].iov_len);
    }
    return out;
}

} // namespace

TEST(PageSegments, ReadingAPageAsSegmentsEqualsConvertingIt)
{
    Draw d{std::mt19937(515)};
    kelPageSegments segs;
    for (int round = 0; round < 3000; round++) {
        Blocks b = compatible(d);
        ASSERT_TRUE(kelPageSegments::fits(b.callerConv, b.pageConv)) << "round " << round;
        std::vector<uint8_t> fromFile;
        randomBytes(d.gen, fromFile, b.pageBytes);

        std::vector<uint8_t> expected = b.caller;
        std::vector<uint8_t> fileCopy = fromFile;
        kelConverter callerConv = b.callerConv, pageConv = b.pageConv;
        callerConv.data = expected.data();
        pageConv.data = fileCopy.data();
        callerConv = pageConv;

        segs.plan(b.callerConv, b.pageConv);
        scatter(segs, fromFile);
        ASSERT_EQ(expected, b.caller) << "round " << round;
    }
}

TEST(PageSegments, WritingAPageAsSegmentsEqualsConvertingIntoIt)
{
    Draw d{std::mt19937(616)};
    kelPageSegments segs;
    for (int round = 0; round < 3000; round++) {
        Blocks b = compatible(d);
        std::vector<uint8_t> expected = b.page;
        kelConverter pageConv = b.pageConv;
        pageConv.data = expected.data();
        pageConv = b.callerConv;

        segs.plan(b.callerConv, b.pageConv);
        ASSERT_EQ(expected, gather(segs)) << "round " << round;
    }
}

TEST(PageSegments, LayoutsThatDifferByteForByteDoNotFit)
{
    // Each change makes the caller's bytes differ from the page's.
    const std::vector<std::pair<std::string, void (*)(Blocks&)>> changes = {
        {"data type", [](Blocks& b) { b.callerConv.type = b.type == kelUChar ? kelChar : kelUChar; }},
        {"x mirroring", [](Blocks& b) { b.callerConv.setFlip(kelXFlip); }},
        {"transposition", [](Blocks& b) { b.callerConv.setTransposeXY(1); }},
        {"channel offset", [](Blocks& b) { b.callerConv.cStart += 1; b.callerConv.cList = nullptr; }},
        {"fill value", [](Blocks& b) { b.callerConv.fill = 1; }},
    };
    Draw d{std::mt19937(717)};
    for (const auto& change : changes)
        for (int round = 0; round < 50; round++) {
            Blocks b = compatible(d);
            change.second(b);
            EXPECT_FALSE(kelPageSegments::fits(b.callerConv, b.pageConv)) << change.first;
        }
    // Pixels of several channels against rows of one channel.
    kelConverter pixels, planes;
    std::vector<uint8_t> buf(4 * 4 * 3);
    pixels.init(buf.data(), kelUChar, kelInterleaved, 3, nullptr, 4, 4, 1, 0, 0, 0, 0);
    planes.init(buf.data(), kelUChar, kelSeparate, 3, nullptr, 4, 4, 1, 0, 0, 0, 0);
    EXPECT_FALSE(kelPageSegments::fits(pixels, planes));
    EXPECT_FALSE(kelPageSegments::fits(planes, pixels));
}

TEST(PageSegments, OnlyLongPiecesAreWorthMoving)
{
    // Rows of a 256-pixel RGB page are short pieces; a page as wide as the
    // caller's rows is one piece.
    struct Case {
        int pageWidth, callerWidth;
        bool worth;
    };
    for (Case c : {Case{256, 4096, false}, Case{4096, 4096, true}, Case{2048, 4096, true}, Case{1000, 1001, false}}) {
        std::vector<uint8_t> page(size_t(c.pageWidth) * 16 * 3), caller(size_t(c.callerWidth) * 16 * 3);
        kelConverter p, cv;
        p.init(page.data(), kelUChar, kelInterleaved, 3, nullptr, c.pageWidth, 16, 1, 0, 0, 0, 0);
        cv.init(caller.data(), kelUChar, kelInterleaved, 3, nullptr, c.callerWidth, 16, 1, 0, 0, 0, 0);
        kelPageSegments s;
        s.plan(cv, p);
        EXPECT_EQ(c.worth, s.worthMoving()) << c.pageWidth << " of " << c.callerWidth;
        // The quick test before planning agrees on these.
        EXPECT_EQ(c.worth, kelPageSegments::mayBeWorthMoving(cv, p)) << c.pageWidth << " of " << c.callerWidth;
    }
}
