#include <gtest/gtest.h>
#include <kel/kel.h>

#include <stdint.h>

namespace {

struct Rgb {
    int r, g, b;
};

// The built-in palette's entry for index 32..255, from its definition.
Rgb ornFormula(int i)
{
    if (i <= 55) {
        int gray = 255 * (i - 31) / 25;
        return {gray, gray, gray};
    }
    int j = i - 56;
    int b = j / 40, r = j % 40 / 8, g = j % 8;
    return {255 * r / 4, 255 * g / 7, 255 * b / 4};
}

Rgb entry(const kelLut& map, int i)
{
    return {(int)map.getVal(i, 0), (int)map.getVal(i, 1), (int)map.getVal(i, 2)};
}

void expectRgb(Rgb want, Rgb got, int index)
{
    EXPECT_EQ(want.r, got.r) << "red of " << index;
    EXPECT_EQ(want.g, got.g) << "green of " << index;
    EXPECT_EQ(want.b, got.b) << "blue of " << index;
}

TEST(Colormap, LengthFollowsTheIntegerDomain)
{
    kelColormap map(3, kelUChar, 0, 15);
    EXPECT_EQ(3, map.getNumChans());
    EXPECT_EQ(kelUChar, map.getDataType());
    EXPECT_EQ(16, map.getLength());
    EXPECT_EQ(1.0, map.getDomainStep());
    ASSERT_NE(nullptr, map.getData());
    EXPECT_EQ(kelOKAY, map.setVal(200, 15, 2));
    EXPECT_EQ(200.0, map.getVal(15, 2));
    EXPECT_EQ(kelBADPARAMS, map.setVal(1, 16, 0));
}

TEST(Colormap, OffsetDomainAndBorrowedTable)
{
    unsigned short table[2 * 4] = {1, 2, 3, 4, 10, 20, 30, 40};
    kelColormap map(table, 2, kelUShort, 100, 103);
    EXPECT_EQ((void*)table, map.getData());
    EXPECT_EQ(4, map.getLength());
    EXPECT_EQ(30.0, map.getVal(102, 1));
    EXPECT_EQ(1.0, map.getVal(0, 0));
    EXPECT_EQ((uintptr_t)(table + 4) - 100 * sizeof table[0], (uintptr_t)map.getOrigin(1));
}

TEST(Colormap, ReversedDomainIsEmpty)
{
    kelColormap map(3, kelUChar, 10, 2);
    EXPECT_EQ(0, map.getLength());
    EXPECT_EQ(nullptr, map.getData());
    EXPECT_EQ(0, map.getDomainMin());
}

TEST(Colormap, DefaultHasNoChannelsAndOneEntry)
{
    kelColormap map;
    EXPECT_EQ(0, map.getNumChans());
    EXPECT_EQ(0, (int)map.getDataType());
    EXPECT_EQ(1, map.getLength());
    EXPECT_EQ(0.0, map.getDomainMin());
    EXPECT_EQ(0.0, map.getDomainMax());
}

TEST(Colormap, CopiesOwnTheirEntries)
{
    unsigned char table[3 * 2] = {1, 2, 3, 4, 5, 6};
    kelColormap borrowed(table, 3, kelUChar, 0, 1);
    kelColormap copy(borrowed);
    EXPECT_NE((void*)table, copy.getData());
    EXPECT_EQ(0, copy.isDiff(borrowed));
    kelColormap assigned;
    assigned = borrowed;
    EXPECT_EQ(0, assigned.isDiff(borrowed));
    assigned.setVal(0, 1, 2);
    EXPECT_EQ(6, table[5]);
    EXPECT_EQ(1, assigned.isDiff(borrowed));
}

TEST(ORNColormap, Shape)
{
    kelORNColormap orn;
    EXPECT_EQ(3, orn.getNumChans());
    EXPECT_EQ(kelUChar, orn.getDataType());
    EXPECT_EQ(224, orn.getLength());
    EXPECT_EQ(32.0, orn.getDomainMin());
    EXPECT_EQ(255.0, orn.getDomainMax());
    EXPECT_EQ((char*)orn.getChan(0) + 224, orn.getChan(1));
    EXPECT_EQ((char*)orn.getChan(1) + 224, orn.getChan(2));
    EXPECT_EQ(nullptr, orn.getChan(3));
}

TEST(ORNColormap, EveryEntryFollowsItsDefinition)
{
    kelORNColormap orn;
    const unsigned char* red = (const unsigned char*)orn.getOrigin(0);
    const unsigned char* green = (const unsigned char*)orn.getOrigin(1);
    const unsigned char* blue = (const unsigned char*)orn.getOrigin(2);
    for (int i = 32; i <= 255; i++) {
        expectRgb(ornFormula(i), entry(orn, i), i);
        expectRgb(ornFormula(i), {red[i], green[i], blue[i]}, i);
    }
}

TEST(ORNColormap, KnownEntries)
{
    kelORNColormap orn;
    const struct {
        int index;
        Rgb rgb;
    } known[] = {
        {32, {10, 10, 10}}, {36, {51, 51, 51}}, {55, {244, 244, 244}}, {56, {0, 0, 0}},
        {57, {0, 36, 0}},   {63, {0, 255, 0}},  {64, {63, 0, 0}},      {96, {0, 0, 63}},
        {255, {255, 255, 255}},
    };
    for (const auto& k : known)
        expectRgb(k.rgb, entry(orn, k.index), k.index);
    // Indices below the domain read entry 32.
    expectRgb({10, 10, 10}, entry(orn, 0), 0);
}

TEST(ORNColormap, OriginLies32BytesBeforeTheFirstEntry)
{
    kelORNColormap orn;
    EXPECT_EQ((char*)orn.getChan(0) - 32, orn.getOrigin(0));
    EXPECT_EQ((char*)orn.getChan(2) - 32, orn.getOrigin(2));
    EXPECT_EQ(nullptr, orn.getOrigin(3));
    EXPECT_EQ(nullptr, orn.getOrigin(-1));
}

TEST(ORNColormap, InstancesShareOneTable)
{
    kelORNColormap a, b;
    EXPECT_EQ(a.getData(), b.getData());
}

TEST(ORNColormap, SetValCopiesOnWrite)
{
    kelORNColormap changed, other;
    void* shared = other.getData();
    EXPECT_EQ(kelOKAY, changed.setVal(1, 40, 0));
    EXPECT_NE(shared, changed.getData());
    EXPECT_EQ(1.0, changed.getVal(40, 0));
    expectRgb(ornFormula(41), entry(changed, 41), 41);
    expectRgb(ornFormula(40), entry(other, 40), 40);
    kelORNColormap later;
    EXPECT_EQ(shared, later.getData());
    expectRgb(ornFormula(40), entry(later, 40), 40);
    EXPECT_EQ(1, changed.isDiff(later));
    // A refused write leaves the table shared.
    EXPECT_EQ(kelBADPARAMS, later.setVal(1, 30, 0));
    EXPECT_EQ(shared, later.getData());
}

TEST(ORNColormap, TablesBorrowingTheSharedEntriesCopyOnWriteToo)
{
    kelORNColormap orn;
    kelLut borrowed(orn.getData(), 3, kelUChar, 32, 255, 224);
    EXPECT_EQ(kelOKAY, borrowed.setVal(0, 255, 2));
    EXPECT_NE(orn.getData(), borrowed.getData());
    EXPECT_EQ(255.0, orn.getVal(255, 2));
    EXPECT_EQ(0.0, borrowed.getVal(255, 2));
}

TEST(ORNColormap, CopiesAreEqualAndOwnTheirEntries)
{
    kelORNColormap orn;
    kelORNColormap copy(orn);
    EXPECT_NE(orn.getData(), copy.getData());
    EXPECT_EQ(0, copy.isDiff(orn));
    kelORNColormap assigned;
    assigned.setVal(0, 100, 1);
    assigned = orn;
    EXPECT_EQ(0, assigned.isDiff(orn));
    kelColormap plain;
    plain = orn;
    EXPECT_EQ(224, plain.getLength());
    EXPECT_EQ(0, plain.isDiff(orn));
}

TEST(ORNColormap, RangeCoversBlackToWhite)
{
    kelORNColormap orn;
    double lo, hi;
    orn.getRange(lo, hi);
    EXPECT_EQ(0.0, lo);
    EXPECT_EQ(255.0, hi);
}

} // namespace
