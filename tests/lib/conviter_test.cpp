#include <gtest/gtest.h>
#include <kel/kelConvIter.h>
#include <kel/kelConverter.h>
#include <kel/kelDataSize.h>
#include <kel/kelPixel.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "conv_reference.h"
#include "kelCpuKernels.h"

namespace {

const kelDataType kAllTypes[] = {kelBit, kelUChar, kelChar, kelUShort, kelShort,
                                 kelUInt, kelInt, kelFloat, kelDouble};

// Converts n one-channel elements of src into dst through a converter pair.
void convertRow(void* dst, kelDataType dt, const void* src, kelDataType st, int n)
{
    kelConverter d, s;
    d.init(dst, dt, kelSeparate, 1, nullptr, n, 1, 1, 0, 0, 0, 0);
    s.init(const_cast<void*>(src), st, kelSeparate, 1, nullptr, n, 1, 1, 0, 0, 0, 0);
    d = s;
}

template <class D, class S>
D convertOne(kelDataType dt, kelDataType st, S v)
{
    D out{};
    convertRow(&out, dt, &v, st, 1);
    return out;
}

} // namespace

TEST(ConvIterElement, IntegerWrapsModulo)
{
    EXPECT_EQ(255, (convertOne<uint8_t, int16_t>(kelUChar, kelShort, -1)));
    EXPECT_EQ(44, (convertOne<uint8_t, uint16_t>(kelUChar, kelUShort, 300)));
    EXPECT_EQ(65535, (convertOne<uint16_t, int8_t>(kelUShort, kelChar, -1)));
    EXPECT_EQ(4294967295u, (convertOne<uint32_t, int32_t>(kelUInt, kelInt, -1)));
    EXPECT_EQ(-1, (convertOne<int32_t, int16_t>(kelInt, kelShort, -1)));      // sign-extended
    EXPECT_EQ(65535, (convertOne<int32_t, uint16_t>(kelInt, kelUShort, 65535))); // zero-extended
}

TEST(ConvIterElement, FloatTruncatesThenKeepsLowBits)
{
    EXPECT_EQ(44, (convertOne<uint8_t, float>(kelUChar, kelFloat, 300.7f)));
    EXPECT_EQ(255, (convertOne<uint8_t, float>(kelUChar, kelFloat, -1.5f)));
    EXPECT_EQ(0, (convertOne<int32_t, float>(kelInt, kelFloat, 0.99f)));
    EXPECT_EQ(3000000000u, (convertOne<uint32_t, float>(kelUInt, kelFloat, 3e9f)));
    EXPECT_EQ(3000000000u, (convertOne<uint32_t, double>(kelUInt, kelDouble, 3e9)));
    EXPECT_EQ(-1294967296, (convertOne<int32_t, double>(kelInt, kelDouble, 3e9)));
}

TEST(ConvIterElement, OutOfRangeFloatsGiveZeroLowBits)
{
    // Beyond 64 bits and NaN: the truncation yields INT64_MIN, low bits 0.
    EXPECT_EQ(0, (convertOne<int32_t, double>(kelInt, kelDouble, 1e300)));
    EXPECT_EQ(0, (convertOne<uint16_t, float>(kelUShort, kelFloat, -1e30f)));
    EXPECT_EQ(0, (convertOne<uint8_t, double>(kelUChar, kelDouble, std::nan(""))));
    EXPECT_EQ(0, (convertOne<uint8_t, float>(kelUChar, kelFloat, std::numeric_limits<float>::infinity())));
    uint8_t bit = 0xff;
    double inf = std::numeric_limits<double>::infinity();
    convertRow(&bit, kelBit, &inf, kelDouble, 1);
    EXPECT_EQ(0x7f, bit);
}

TEST(ConvIterElement, ToAndFromFloatingTypes)
{
    EXPECT_EQ(4294967295.0, (convertOne<double, uint32_t>(kelDouble, kelUInt, 4294967295u)));
    EXPECT_EQ(-128.0f, (convertOne<float, int8_t>(kelFloat, kelChar, -128)));
    EXPECT_EQ(16777216.0f, (convertOne<float, int32_t>(kelFloat, kelInt, 16777217))); // nearest
    EXPECT_EQ(0.1f, (convertOne<float, double>(kelFloat, kelDouble, 0.1)));
    EXPECT_EQ(double(0.1f), (convertOne<double, float>(kelDouble, kelFloat, 0.1f)));
}

TEST(ConvIterElement, Bits)
{
    uint8_t b = 0;
    float half = 0.5f, minus = -1.0f;
    convertRow(&b, kelBit, &half, kelFloat, 1);
    EXPECT_EQ(0x00, b);
    convertRow(&b, kelBit, &minus, kelFloat, 1);
    EXPECT_EQ(0x80, b);
    uint8_t two = 2;
    b = 0;
    convertRow(&b, kelBit, &two, kelUChar, 1);
    EXPECT_EQ(0x80, b);
    int32_t big = 0x100; // nonzero at full width, zero in its low byte
    b = 0;
    convertRow(&b, kelBit, &big, kelInt, 1);
    EXPECT_EQ(0x80, b);
    double wide = 4294967296.0; // low 32 bits of the truncation are zero
    b = 0xff;
    convertRow(&b, kelBit, &wide, kelDouble, 1);
    EXPECT_EQ(0x7f, b);

    uint8_t one = 0x80;
    EXPECT_EQ(1.0f, (convertOne<float, uint8_t>(kelFloat, kelBit, one)));
    EXPECT_EQ(1, (convertOne<int8_t, uint8_t>(kelChar, kelBit, one)));

    uint8_t elems[] = {1, 0, 0, 0, 0, 0, 0, 1};
    uint8_t packed = 0x5a;
    convertRow(&packed, kelBit, elems, kelUChar, 8);
    EXPECT_EQ(0x81, packed);
}

TEST(ConvIterElement, AllPairsAgreeWithTheRule)
{
    const double samples[] = {0, 1, -1, 2.75, -2.75, 127, 128, -129, 255.5, 300.7, 65535, 65536.9, -32769,
                              2147483647, 3e9, -3e9, 5e12, 1e30, -1e30};
    for (kelDataType st : kAllTypes)
        for (kelDataType dt : kAllTypes) {
            const int n = int(sizeof samples / sizeof samples[0]);
            // Source values as the source type stores them.
            kelPixel values(st, n, nullptr);
            for (int k = 0; k < n; k++)
                values.setElem(samples[k], k);
            std::vector<uint8_t> out(kelDataSize(dt, n) + 1, 0xa5), want(out);
            convertRow(out.data(), dt, values.getData(), st, n);
            for (int k = 0; k < n; k++)
                convref::write(want.data(), dt, k, convref::read(values.getData(), st, k));
            EXPECT_EQ(want, out) << "from " << st << " to " << dt;
        }
}

TEST(ConvIterElement, LongFloatRowsMixInRangeAndOutOfRangeValues)
{
    // Runs long enough to be checked piecewise; one piece holds values past
    // the 32-bit range, NaN and -2^31 exactly.
    const int n = 1000;
    for (kelDataType st : {kelFloat, kelDouble})
        for (kelDataType dt : {kelUChar, kelChar, kelUShort, kelShort, kelUInt, kelInt}) {
            kelPixel values(st, n, nullptr);
            for (int k = 0; k < n; k++)
                values.setElem((k % 7 - 3) * 1234.75 + k, k);
            values.setElem(3e9, 600);
            values.setElem(-2147483648.0, 601);
            values.setElem(std::nan(""), 602);
            values.setElem(-7e15, 603);
            std::vector<uint8_t> out(kelDataSize(dt, n)), want(out);
            convertRow(out.data(), dt, values.getData(), st, n);
            for (int k = 0; k < n; k++)
                convref::write(want.data(), dt, k, convref::read(values.getData(), st, k));
            EXPECT_EQ(want, out) << "from " << st << " to " << dt;
        }
}

TEST(ConvIterElement, SignPairsCopyBytes)
{
    std::vector<uint8_t> src(4 * 3 * 2 * 3);
    for (size_t i = 0; i < src.size(); i++)
        src[i] = uint8_t(i * 37 + 11);
    std::vector<uint8_t> viaCopy(src.size(), 0);
    kelConverter d, s;
    d.init(viaCopy.data(), kelChar, kelInterleaved, 3, nullptr, 4, 3, 2, 0, 0, 0, 0);
    s.init(src.data(), kelUChar, kelInterleaved, 3, nullptr, 4, 3, 2, 0, 0, 0, 0);
    d = s;
    EXPECT_EQ(src, viaCopy);
}

TEST(ConvIterChannels, ListOnTheSourceDoesNotCollapse)
{
    uint8_t src[] = {1, 2, 3, 4, 5, 6};
    uint8_t dst[6] = {};
    int list[] = {2, 1, 0};
    kelConverter d, s;
    d.init(dst, kelUChar, kelInterleaved, 3, nullptr, 2, 1, 1, 0, 0, 0, 0);
    s.init(src, kelUChar, kelInterleaved, 3, list, 2, 1, 1, 0, 0, 0, 0);
    d = s;
    EXPECT_EQ((std::vector<uint8_t>{3, 2, 1, 6, 5, 4}), std::vector<uint8_t>(dst, dst + 6));
}

TEST(ConvIterChannels, MissingSourceChannelIsUntouched)
{
    uint16_t src[] = {1, 2, 3, 4, 5, 6};
    uint16_t dst[8];
    std::fill(dst, dst + 8, 999);
    kelConverter d, s;
    d.init(dst, kelUShort, kelInterleaved, 4, nullptr, 2, 1, 1, 0, 0, 0, 0);
    s.init(src, kelUShort, kelInterleaved, 3, nullptr, 2, 1, 1, 0, 0, 0, 0);
    d = s;
    EXPECT_EQ((std::vector<uint16_t>{1, 2, 3, 999, 4, 5, 6, 999}), std::vector<uint16_t>(dst, dst + 8));
}

TEST(ConvIterChannels, NegativeListEntriesAreUntouchedEvenWhenLayoutsMatch)
{
    uint8_t src[] = {1, 2, 3, 4, 5, 6};
    uint8_t dst[6] = {9, 9, 9, 9, 9, 9};
    int list[] = {0, -1, 2};
    kelConverter d, s;
    d.init(dst, kelUChar, kelInterleaved, 3, list, 2, 1, 1, 0, 0, 0, 0);
    s.init(src, kelUChar, kelInterleaved, 3, list, 2, 1, 1, 0, 0, 0, 0);
    d = s;
    EXPECT_EQ((std::vector<uint8_t>{1, 9, 3, 4, 9, 6}), std::vector<uint8_t>(dst, dst + 6));
}

TEST(ConvIterChannels, SeparateTwoSlicesIntoDeeperBuffer)
{
    // Source: 3 channels, 2 x 2, 2 slices. Destination: 4 slices deep.
    const int nx = 2, ny = 2, nc = 3;
    std::vector<uint8_t> src(nx * ny * nc * 2), dst(nx * ny * nc * 4, 0xee);
    for (size_t i = 0; i < src.size(); i++)
        src[i] = uint8_t(i + 1);
    int dList[] = {1, 0, 5};
    kelConverter d, s;
    d.init(dst.data(), kelUChar, kelSeparate, 3, dList, nx, ny, 4, 0, 0, 0, 0);
    s.init(src.data(), kelUChar, kelSeparate, 3, nullptr, nx, ny, 2, 0, 0, 1, 0);
    std::vector<uint8_t> want(dst);
    convref::assign(d, s);
    want.swap(dst);
    d.data = dst.data();
    d = s;
    EXPECT_EQ(want, dst);
    // Slice 1 channel 0 of dst carries image channel 1 from source slice 0.
    EXPECT_EQ(src[1 * 4], dst[1 * 12 + 0]);
    EXPECT_EQ(0xee, dst[1 * 12 + 8]); // image channel 5 has no source
    EXPECT_EQ(0xee, dst[0]);          // slice 0 lies outside the source
}

TEST(ConvIterChannels, RegionIsLimitedToBothBlocks)
{
    std::vector<uint8_t> src(16), dst(16, 0);
    for (int i = 0; i < 16; i++)
        src[i] = uint8_t(i + 1);
    kelConverter d, s;
    d.init(dst.data(), kelUChar, kelSeparate, 1, nullptr, 4, 4, 1, 0, 0, 0, 0);
    s.init(src.data(), kelUChar, kelSeparate, 1, nullptr, 4, 4, 1, 2, 0, 0, 0);
    kelConvIter it(d, s);
    it.convert(kelTile3D<int>(-10, -10, -1, 100, 100, 5));
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            EXPECT_EQ(x >= 2 ? src[y * 4 + x - 2] : 0, dst[y * 4 + x]);
    std::vector<uint8_t> before = dst;
    it.convert(kelTile3D<int>(10, 10, 0, 4, 4, 1)); // outside both blocks
    EXPECT_EQ(before, dst);
}

TEST(ConvIterFast, EightChannelBitsMoveWholeBytes)
{
    uint8_t src[] = {0x12, 0x34, 0x56, 0x78}, dst[4] = {};
    kelConverter d, s;
    d.init(dst, kelBit, kelInterleaved, 8, nullptr, 2, 2, 1, 0, 0, 0, 0);
    s.init(src, kelBit, kelInterleaved, 8, nullptr, 2, 2, 1, 0, 0, 0, 0);
    d.setFlip(kelYFlip);
    s.setFlip(kelYFlip);
    d = s;
    EXPECT_EQ(0, memcmp(src, dst, 4));
}

TEST(ConvIterFast, BitsAtOddOffsets)
{
    // One-channel bit rows of 5 elements: rows start mid-byte.
    uint8_t src[4] = {0xb5, 0x3c, 0xe1, 0x07}, dst[4] = {0xff, 0xff, 0xff, 0xff};
    kelConverter d, s;
    d.init(dst, kelBit, kelSeparate, 1, nullptr, 5, 5, 1, 0, 0, 0, 0);
    s.init(src, kelBit, kelSeparate, 1, nullptr, 5, 5, 1, 0, 0, 0, 0);
    d.setClip(1, 1, 0, 3, 3, 1);
    std::vector<uint8_t> want(dst, dst + 4);
    d.data = want.data();
    convref::assign(d, s);
    d.data = dst;
    d = s;
    EXPECT_EQ(want, std::vector<uint8_t>(dst, dst + 4));
    EXPECT_EQ(0xff, dst[3]); // elements past the block keep their bits
}

// --- randomized comparison with the naive model ------------------------------

namespace {

struct Side {
    kelDataType type;
    kelOrder order;
    int nc;
    std::vector<int> list;
    int cStart;
    kelTile3D<int> area;
    int flip;
    int transpose;
    std::vector<uint8_t> bytes;

    kelConverter make()
    {
        kelConverter cv;
        cv.init(bytes.data(), type, order, nc, list.empty() ? nullptr : list.data(), area.nx, area.ny, area.nz,
                area.x, area.y, area.z, cStart);
        cv.setFlip(kelFlip(flip));
        cv.setTransposeXY(transpose);
        return cv;
    }
};

class Random {
public:
    explicit Random(unsigned seed) : gen(seed) {}
    int below(int n) { return int(gen() % unsigned(n)); }
    int in(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }

    Side side(int maxChans)
    {
        Side s;
        s.type = kAllTypes[below(9)];
        s.order = kelOrder(1 << below(3));
        s.nc = in(1, maxChans);
        if (s.type == kelBit && chance(30))
            s.nc = 8 * in(1, 2);
        pickChannels(s);
        s.area.init(in(-2, 2), in(-2, 2), in(0, 2), in(1, 9), in(1, 7), in(1, 3));
        s.flip = below(4);
        s.transpose = chance(25);
        return s;
    }

    // A channel list without repeats (sometimes with a -1), or an offset.
    void pickChannels(Side& s)
    {
        s.cStart = 0;
        s.list.clear();
        if (chance(40)) {
            std::vector<int> pool;
            for (int c = 0; c < s.nc + 2; c++)
                pool.push_back(c);
            std::shuffle(pool.begin(), pool.end(), gen);
            s.list.assign(pool.begin(), pool.begin() + s.nc);
            if (chance(20))
                s.list[below(s.nc)] = -1;
        } else {
            s.cStart = in(0, 2);
        }
    }

    void fillBytes(Side& s)
    {
        int n = int(s.area.nx * s.area.ny * s.area.nz * s.nc);
        s.bytes.assign(kelDataSize(s.type, n), 0);
        for (auto& b : s.bytes)
            b = uint8_t(gen());
        kelPixel values(s.type, n, s.bytes.data());
        if (s.type == kelFloat || s.type == kelDouble) {
            const double specials[] = {1e20, -1e20, 3e9, -3e9, std::nan(""), 0.5, -0.5};
            for (int k = 0; k < n; k++)
                values.setElem(chance(20) ? specials[below(7)] : (int(gen() % 200001) - 100000) / 64.0, k);
            memcpy(s.bytes.data(), values.getData(), s.bytes.size());
        }
    }

    std::mt19937 gen;
};

void expectSame(Side& dst, kelConverter& dcv, kelConverter& scv, const std::string& what)
{
    std::vector<uint8_t> expected = dst.bytes;
    dcv.data = expected.data();
    convref::assign(dcv, scv);
    dcv.data = dst.bytes.data();
    dcv = scv;
    ASSERT_EQ(expected, dst.bytes) << what;
}

std::string describe(const Side& s)
{
    std::string t = "type " + std::to_string(s.type) + " order " + std::to_string(s.order) + " nc " +
                    std::to_string(s.nc) + " flip " + std::to_string(s.flip) + " tr " + std::to_string(s.transpose) +
                    " area " + std::to_string(s.area.x) + "," + std::to_string(s.area.y) + "," +
                    std::to_string(s.area.z) + " " + std::to_string(s.area.nx) + "x" + std::to_string(s.area.ny) +
                    "x" + std::to_string(s.area.nz) + " cStart " + std::to_string(s.cStart) + " list";
    for (int c : s.list)
        t += " " + std::to_string(c);
    return t;
}

} // namespace

TEST(ConvIterRandom, BlocksAgreeWithTheNaiveModel)
{
    Random rnd(20261207);
    for (int round = 0; round < 4000; round++) {
        Side d = rnd.side(5), s = rnd.side(5);
        if (rnd.chance(40)) { // same geometry, often the same layout: the fast paths
            s.area = d.area;
            s.flip = d.flip;
            s.transpose = d.transpose;
            if (rnd.chance(50)) {
                s.order = d.order;
                s.nc = d.nc;
                s.list = d.list;
                s.cStart = d.cStart;
                s.type = rnd.chance(50) ? d.type : s.type;
            }
        }
        rnd.fillBytes(d);
        rnd.fillBytes(s);
        kelConverter dcv = d.make(), scv = s.make();
        if (rnd.chance(20))
            dcv.setClip(rnd.in(-2, 3), rnd.in(-2, 3), rnd.in(0, 2), rnd.in(1, 8), rnd.in(1, 8), rnd.in(1, 3));
        if (rnd.chance(20))
            scv.setClip(rnd.in(-2, 3), rnd.in(-2, 3), rnd.in(0, 2), rnd.in(1, 8), rnd.in(1, 8), rnd.in(1, 3));
        if (rnd.chance(15)) {
            kelTile3D<int> m(rnd.in(-1, 4), rnd.in(-1, 4), rnd.in(0, 2), rnd.in(1, 5), rnd.in(1, 5), rnd.in(1, 2));
            scv.setMask(&m);
        }
        expectSame(d, dcv, scv, "dst " + describe(d) + " | src " + describe(s));
    }
}

TEST(ConvIterRandom, FillsAgreeWithTheNaiveModel)
{
    Random rnd(77);
    for (int round = 0; round < 1500; round++) {
        Side d = rnd.side(5);
        rnd.fillBytes(d);
        Side v = rnd.side(4);
        v.area.init(0, 0, 0, 1, 1, 1);
        rnd.fillBytes(v);
        kelPixel value(v.type, v.nc, v.bytes.data());
        kelTile3D<int> m(rnd.in(-1, 4), rnd.in(-1, 4), rnd.in(0, 2), rnd.in(1, 5), rnd.in(1, 5), rnd.in(1, 2));
        kelConverter dcv = d.make();
        kelConverter fcv(value, rnd.chance(40) ? &m : nullptr, v.list.empty() ? nullptr : v.list.data(),
                         v.cStart);
        if (rnd.chance(20))
            fcv.setClip(rnd.in(-2, 3), rnd.in(-2, 3), rnd.in(0, 2), rnd.in(1, 8), rnd.in(1, 8), rnd.in(1, 3));
        expectSame(d, dcv, fcv, "dst " + describe(d) + " | fill " + describe(v));
        EXPECT_EQ(v.nc, fcv.cSize);
    }
}

TEST(ConvIterRandom, LargeTransposedAndMirroredBlocks)
{
    // Regions larger than the conversion tiles, with partial tiles at the edges.
    Random rnd(5);
    for (int round = 0; round < 60; round++) {
        Side d = rnd.side(3), s = rnd.side(3);
        d.area.init(0, 0, 0, rnd.in(30, 90), rnd.in(30, 90), 1);
        s.area.init(rnd.in(-5, 5), rnd.in(-5, 5), 0, rnd.in(30, 90), rnd.in(30, 90), 1);
        d.transpose = rnd.chance(60);
        s.transpose = rnd.chance(40);
        rnd.fillBytes(d);
        rnd.fillBytes(s);
        kelConverter dcv = d.make(), scv = s.make();
        expectSame(d, dcv, scv, "dst " + describe(d) + " | src " + describe(s));
    }
}

TEST(ConvIterRandom, TransposedTilesOfEveryElementSize)
{
    // Regions that span several conversion tiles with ragged edges, for the
    // byte transposition and for the buffered tiles of wider and bit types.
    const kelDataType types[] = {kelBit, kelUChar, kelChar, kelShort, kelFloat, kelDouble};
    Random rnd(99);
    for (kelDataType dt : types)
        for (kelDataType st : {kelUChar, dt})
            for (int which = 0; which < 4; which++) {
                Side d = rnd.side(1), s = rnd.side(1);
                d.type = dt;
                s.type = st;
                d.nc = s.nc = which == 3 ? 3 : 1;
                d.order = s.order = which == 3 ? kelInterleaved : kelSeparate;
                d.list.clear();
                s.list.clear();
                d.cStart = s.cStart = 0;
                d.area.init(0, 0, 0, 300 + rnd.below(40), 150 + rnd.below(40), 1);
                s.area.init(rnd.in(-20, 20), rnd.in(-20, 20), 0, 280 + rnd.below(40), 140 + rnd.below(40), 1);
                d.transpose = which != 1;
                s.transpose = which == 1 || which == 2;
                d.flip = which == 2 ? kelYFlip : kelNoFlip;
                s.flip = which == 3 ? kelXFlip : kelNoFlip;
                rnd.fillBytes(d);
                rnd.fillBytes(s);
                kelConverter dcv = d.make(), scv = s.make();
                expectSame(d, dcv, scv, "dst " + describe(d) + " | src " + describe(s));
            }
}

TEST(ConvIterRandom, OrderChangesOfWideRows)
{
    // Interleaved 3- and 4-channel pixels to and from planes, in rows
    // longer than the split buffers, with channel lists that leave some
    // destination channels without a source.
    Random rnd(4242);
    const kelDataType types[] = {kelUChar, kelChar, kelUShort, kelFloat, kelDouble};
    for (int round = 0; round < 80; round++) {
        Side d = rnd.side(4), s = rnd.side(4);
        bool toPlanes = rnd.chance(50);
        Side& pix = toPlanes ? s : d;
        Side& planes = toPlanes ? d : s;
        pix.type = rnd.chance(70) ? kelUChar : kelChar;
        planes.type = types[rnd.below(5)];
        pix.order = kelInterleaved;
        pix.nc = rnd.in(3, 4);
        planes.order = rnd.chance(50) ? kelSeparate : kelSequential;
        planes.nc = rnd.in(2, 4);
        if (rnd.chance(50)) { // both sides bytes: pixels to pixels in another channel order
            planes.type = kelUChar;
            planes.order = kelInterleaved;
        }
        rnd.pickChannels(d);
        rnd.pickChannels(s);
        d.transpose = s.transpose = 0;
        d.flip = s.flip = rnd.chance(30) ? kelYFlip : kelNoFlip;
        d.area.init(0, 0, 0, rnd.in(250, 700), rnd.in(1, 3), rnd.in(1, 2));
        s.area.init(rnd.in(-3, 3), rnd.in(-1, 1), 0, rnd.in(250, 700), rnd.in(1, 3), rnd.in(1, 2));
        rnd.fillBytes(d);
        rnd.fillBytes(s);
        kelConverter dcv = d.make(), scv = s.make();
        expectSame(d, dcv, scv, "dst " + describe(d) + " | src " + describe(s));
    }
}

namespace {

// A destination of several megabytes, written with non-temporal stores,
// whose data pointer starts `skew` elements past a cache line boundary.
struct LargeCase {
    kelDataType dt;
    kelOrder dOrder;
    int dFlip;
    kelDataType st;
    kelOrder sOrder;
    int sx; // source area origin: 0 for whole rows, else partial rows
    int nc, nx, ny;
    int skew;
};

class ConvIterLarge : public ::testing::TestWithParam<LargeCase> {};

} // namespace

TEST_P(ConvIterLarge, AgreesWithTheNaiveModel)
{
    const LargeCase& c = GetParam();
    Random rnd(unsigned(c.nx * 7 + c.skew));
    Side d = rnd.side(1), s = rnd.side(1);
    d.type = c.dt;
    s.type = c.st;
    d.order = c.dOrder;
    s.order = c.sOrder;
    d.nc = s.nc = c.nc;
    d.list.clear();
    s.list.clear();
    d.cStart = s.cStart = 0;
    d.transpose = s.transpose = 0;
    d.flip = c.dFlip;
    s.flip = kelNoFlip;
    d.area.init(0, 0, 0, c.nx, c.ny, 1);
    s.area.init(c.sx, c.sx, 0, c.nx, c.ny, 1);
    rnd.fillBytes(d);
    rnd.fillBytes(s);
    size_t unit = kelDataSize(c.dt, 1), off = size_t(c.skew) * unit;
    std::vector<uint8_t> storage(d.bytes.size() + 64 + off);
    uint8_t* at = storage.data() + ((64 - uintptr_t(storage.data()) % 64) % 64) + off;
    memcpy(at, d.bytes.data(), d.bytes.size());
    kelConverter dcv = d.make(), scv = s.make();
    dcv.data = d.bytes.data();
    convref::assign(dcv, scv);
    dcv.data = at;
    dcv = scv;
    ASSERT_EQ(0, memcmp(d.bytes.data(), at, d.bytes.size())) << "dst " << describe(d) << " | src " << describe(s);
}

INSTANTIATE_TEST_SUITE_P(
    Streamed, ConvIterLarge,
    ::testing::Values(LargeCase{kelUChar, kelInterleaved, 0, kelUChar, kelInterleaved, 0, 3, 1801, 1700, 3},
                      LargeCase{kelUChar, kelInterleaved, 0, kelUChar, kelInterleaved, 17, 3, 1801, 1700, 5},
                      LargeCase{kelUChar, kelInterleaved, kelYFlip, kelUChar, kelInterleaved, 0, 3, 1800, 1700, 1},
                      LargeCase{kelFloat, kelInterleaved, 0, kelUChar, kelInterleaved, 0, 3, 1001, 1000, 3},
                      LargeCase{kelFloat, kelSeparate, 0, kelUChar, kelInterleaved, 0, 3, 1001, 999, 1},
                      LargeCase{kelUShort, kelSeparate, kelYFlip, kelUChar, kelInterleaved, 9, 3, 1201, 1200, 7},
                      LargeCase{kelUChar, kelInterleaved, 0, kelUChar, kelSeparate, 0, 3, 1803, 1701, 13},
                      LargeCase{kelUChar, kelInterleaved, kelYFlip, kelFloat, kelSeparate, 0, 3, 1801, 1700, 2},
                      LargeCase{kelUChar, kelSeparate, 0, kelUShort, kelSeparate, 0, 1, 3001, 3000, 11}));

TEST(ConvIterKernels, Avx2AndBaselineGiveTheSameBytes)
{
    if (!kelAvx2Available())
        GTEST_SKIP() << "the processor has no AVX2";
    const kelDataType types[] = {kelUChar, kelChar, kelUShort, kelShort, kelUInt, kelInt, kelFloat, kelDouble};
    Random rnd(3131);
    bool was = kelUseAvx2Kernels(true);
    for (kelDataType dt : types)
        for (kelDataType st : types)
            for (int n : {1, 7, 31, 33, 255, 257, 1000, 4099}) {
                // Rows that start one element past a vector boundary, too.
                int skew = rnd.below(2);
                Side s = rnd.side(1);
                s.type = st;
                s.nc = 1;
                s.area.init(0, 0, 0, n + skew, 1, 1);
                rnd.fillBytes(s);
                std::vector<uint8_t> start(kelDataSize(dt, n + skew));
                for (auto& b : start)
                    b = uint8_t(rnd.below(256));
                std::vector<uint8_t> byModel = start, byAvx2 = start, byBaseline = start;
                kelConverter d, src;
                src.init(s.bytes.data(), st, kelSeparate, 1, nullptr, n + skew, 1, 1, -skew, 0, 0, 0);
                d.init(byModel.data(), dt, kelSeparate, 1, nullptr, n + skew, 1, 1, skew, 0, 0, 0);
                convref::assign(d, src);
                d.data = byAvx2.data();
                kelUseAvx2Kernels(true);
                d = src;
                d.data = byBaseline.data();
                kelUseAvx2Kernels(false);
                d = src;
                ASSERT_EQ(byModel, byAvx2) << "types " << dt << " <- " << st << ", " << n << " elements";
                ASSERT_EQ(byModel, byBaseline) << "types " << dt << " <- " << st << ", " << n << " elements";
            }
    kelUseAvx2Kernels(was);
}
