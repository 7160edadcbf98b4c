#include <gtest/gtest.h>
#include <kel/kel.h>

#include <math.h>
#include <stdint.h>
#include <string.h>

#include <type_traits>

namespace {

// A kelUChar table 0..255 whose entry i holds i.
struct IdentityLut : public ::testing::Test {
    IdentityLut() : lut(1, kelUChar, 0, 255, 256)
    {
        for (int i = 0; i < 256; i++)
            ((unsigned char*)lut.getData())[i] = (unsigned char)i;
    }
    kelLut lut;
};

TEST_F(IdentityLut, DomainValuesSelectTheNearestEntryWithHalvesUp)
{
    EXPECT_DOUBLE_EQ(1.0, 1.0 / lut.getDomainStep());
    EXPECT_EQ(10.0, lut.getVal(10.4, 0));
    EXPECT_EQ(11.0, lut.getVal(10.5, 0));
    EXPECT_EQ(0.0, lut.getVal(-0.7, 0));
    EXPECT_EQ(255.0, lut.getVal(255.0, 0));
}

TEST_F(IdentityLut, ReadsBeyondTheDomainClampToTheEndEntries)
{
    EXPECT_EQ(255.0, lut.getVal(300, 0));
    EXPECT_EQ(0.0, lut.getVal(-50, 0));
    EXPECT_EQ(255.0, lut.getVal(1e300, 0));
    EXPECT_EQ(0.0, lut.getVal(-1e300, 0));
    EXPECT_EQ(0.0, lut.getVal(NAN, 0));
}

TEST_F(IdentityLut, BadChannelsReadZero)
{
    EXPECT_EQ(0.0, lut.getVal(5, -1));
    EXPECT_EQ(0.0, lut.getVal(5, 1));
}

TEST_F(IdentityLut, WritesOutsideTheTableAreRefused)
{
    EXPECT_EQ(kelBADPARAMS, lut.setVal(7, 256, 0));
    // Truncation toward zero: down to -1.5 (exclusive) is still entry 0.
    EXPECT_EQ(kelBADPARAMS, lut.setVal(7, -1.5, 0));
    EXPECT_EQ(kelBADPARAMS, lut.setVal(7, 1e300, 0));
    EXPECT_EQ(kelBADPARAMS, lut.setVal(7, NAN, 0));
    EXPECT_EQ(kelBADPARAMS, lut.setVal(7, 3, 1));
    EXPECT_EQ(kelBADPARAMS, lut.setVal(7, 3, -1));
    EXPECT_EQ(255.0, lut.getVal(255, 0));
    EXPECT_EQ(0.0, lut.getVal(0, 0));
    EXPECT_EQ(3.0, lut.getVal(3, 0));
    EXPECT_EQ(kelOKAY, lut.setVal(9, -1.4, 0));
    EXPECT_EQ(9.0, lut.getVal(0, 0));
}

TEST_F(IdentityLut, SetDomainRemapsWithoutTouchingEntries)
{
    EXPECT_EQ(kelOKAY, lut.setDomain(0, 1));
    EXPECT_EQ(255.0, lut.getVal(1, 0));
    EXPECT_EQ(128.0, lut.getVal(0.5, 0));
    EXPECT_DOUBLE_EQ(1.0 / 255, lut.getDomainStep());
    double lo, hi;
    lut.getDomain(lo, hi);
    EXPECT_EQ(0.0, lo);
    EXPECT_EQ(1.0, hi);
}

TEST(LutStore, IntegersRoundHalfAwayFromZeroAndWrap)
{
    kelLut lut(1, kelUChar, 0, 7, 8);
    const double in[] = {2.5, -2.5, 300, 2.4999, -0.4, 255.5, -1e300};
    const double out[] = {3, 253, 44, 2, 0, 0, 0};
    for (size_t i = 0; i < sizeof in / sizeof in[0]; i++) {
        ASSERT_EQ(kelOKAY, lut.setVal(in[i], (double)i, 0));
        EXPECT_EQ(out[i], lut.getVal((double)i, 0)) << in[i];
    }
}

TEST(LutStore, SignedTypesWrapAndReadSigned)
{
    kelLut chars(1, kelChar, 0, 1, 2);
    chars.setVal(200, 0, 0);
    chars.setVal(-128.5, 1, 0);
    EXPECT_EQ(-56.0, chars.getVal(0, 0));
    EXPECT_EQ(127.0, chars.getVal(1, 0));

    kelLut shorts(1, kelShort, 0, 1, 2);
    shorts.setVal(-2.5, 0, 0);
    shorts.setVal(40000, 1, 0);
    EXPECT_EQ(-3.0, shorts.getVal(0, 0));
    EXPECT_EQ(40000.0 - 65536.0, shorts.getVal(1, 0));

    kelLut ints(1, kelInt, 0, 1, 2);
    ints.setVal(-1, 0, 0);
    ints.setVal(4294967296.0 + 5, 1, 0);
    EXPECT_EQ(-1.0, ints.getVal(0, 0));
    EXPECT_EQ(5.0, ints.getVal(1, 0));
}

TEST(LutStore, UnsignedTypesReadUnsigned)
{
    kelLut uints(1, kelUInt, 0, 0, 1);
    uints.setVal(-1, 0, 0);
    EXPECT_EQ(4294967295.0, uints.getVal(0, 0));
    kelLut ushorts(1, kelUShort, 0, 0, 1);
    ushorts.setVal(-1, 0, 0);
    EXPECT_EQ(65535.0, ushorts.getVal(0, 0));
}

TEST(LutStore, FloatingTypes)
{
    kelLut floats(1, kelFloat, 0, 2, 3);
    floats.setVal(0.1, 0, 0);
    floats.setVal(1e39, 1, 0);
    floats.setVal(-3.4028235e38, 2, 0);
    EXPECT_EQ((double)0.1f, floats.getVal(0, 0));
    EXPECT_TRUE(isinf(floats.getVal(1, 0)));
    EXPECT_EQ(-(double)3.4028234663852886e38f, floats.getVal(2, 0));

    kelLut doubles(2, kelDouble, 0, 0, 1);
    doubles.setVal(0.1, 0, 1);
    EXPECT_EQ(0.1, doubles.getVal(0, 1));
}

TEST(LutStore, BitTablesPackMostSignificantBitFirst)
{
    kelLut bits(2, kelBit, 0, 4, 5);
    ASSERT_EQ(2, (int)kelDataSize(kelBit, 10));
    memset(bits.getData(), 0, 2);
    EXPECT_EQ(kelOKAY, bits.setVal(0.3, 0, 0));
    EXPECT_EQ(kelOKAY, bits.setVal(-7, 3, 1));
    const unsigned char* raw = (const unsigned char*)bits.getData();
    // Channel 1 entry 3 is element 8: the top bit of the second byte.
    EXPECT_EQ(0x80, raw[0]);
    EXPECT_EQ(0x80, raw[1]);
    EXPECT_EQ(1.0, bits.getVal(0, 0));
    EXPECT_EQ(1.0, bits.getVal(3, 1));
    EXPECT_EQ(0.0, bits.getVal(4, 1));
    EXPECT_EQ(kelOKAY, bits.setVal(0, 0, 0));
    EXPECT_EQ(0x00, raw[0]);
    EXPECT_EQ(1.0, bits.getVal(3, 1));
}

TEST(LutStore, UnalignedBorrowedStorage)
{
    unsigned char buf[1 + 3 * sizeof(double)] = {};
    kelLut lut(buf + 1, 1, kelDouble, 0, 2, 3);
    EXPECT_EQ(kelOKAY, lut.setVal(-2.25, 2, 0));
    double v;
    memcpy(&v, buf + 1 + 2 * sizeof(double), sizeof v);
    EXPECT_EQ(-2.25, v);
    EXPECT_EQ(-2.25, lut.getVal(2, 0));
}

TEST(LutLength, DerivedFromTheDomain)
{
    struct {
        double min, max;
        int length;
        double outMin, outMax;
    } cases[] = {
        {-128, 127, 256, -128, 127},
        {0.9, 3.2, 4, 0.9, 3.2},
        {5, 2, 0, 0, 0},
        {0, 0, 1, 0, 0},
        {-1, -1, 1, -1, -1},
        {-1e12, 1e12, 0, 0, 0},
        {0, 3e9, 0, 0, 0},
        {NAN, 3, 0, 0, 0},
        {-2147483647.0, -2147483647.0, 1, -2147483647.0, -2147483647.0},
        {-3e9, -2147483647.0, 1, -2147483647.0, -2147483647.0},
    };
    for (const auto& c : cases) {
        kelLut lut(1, kelUChar, c.min, c.max, 0);
        EXPECT_EQ(c.length, lut.getLength()) << c.min << " .. " << c.max;
        EXPECT_EQ(c.outMin, lut.getDomainMin()) << c.min << " .. " << c.max;
        EXPECT_EQ(c.outMax, lut.getDomainMax()) << c.min << " .. " << c.max;
        EXPECT_EQ(c.length == 0, lut.getData() == nullptr);
    }
}

TEST(LutLength, GivenLengthKeepsTheDomainUnclamped)
{
    kelLut lut(1, kelDouble, -1e12, 1e12, 3);
    EXPECT_EQ(3, lut.getLength());
    EXPECT_EQ(-1e12, lut.getDomainMin());
    EXPECT_EQ(1e12, lut.getDomainMax());
}

TEST(LutLength, EmptyDerivedTableRefusesWritesAndReadsZero)
{
    kelLut lut(2, kelUChar, 5, 2, 0);
    EXPECT_EQ(kelBADPARAMS, lut.setVal(1, 0, 0));
    EXPECT_EQ(0.0, lut.getVal(0, 0));
    EXPECT_EQ(nullptr, lut.getChan(0));
}

TEST(LutLength, OneEntryTableHasUnitScaleWhateverItsDomain)
{
    kelLut lut(1, kelUChar, 10, 20, 1);
    EXPECT_EQ(1.0, lut.getDomainStep());
    lut.setVal(42, 10, 0);
    EXPECT_EQ(42.0, lut.getVal(10, 0));
    EXPECT_EQ(42.0, lut.getVal(20, 0));
    // Unit scale: 10.5 lands on index 1, beyond the one entry.
    EXPECT_EQ(kelBADPARAMS, lut.setVal(1, 10.5, 0));
    EXPECT_EQ(kelOKAY, lut.setVal(1, 10.4, 0));
}

TEST(LutDefaults, DefaultTableIsEmptyWithOneEntryPerChannel)
{
    kelLut lut;
    EXPECT_EQ(0, lut.getNumChans());
    EXPECT_EQ(1, lut.getLength());
    EXPECT_EQ(0, (int)lut.getDataType());
    EXPECT_EQ(0.0, lut.getDomainMin());
    EXPECT_EQ(0.0, lut.getDomainMax());
    EXPECT_EQ(nullptr, lut.getChan(0));
    EXPECT_EQ(kelBADPARAMS, lut.setVal(1, 0, 0));
}

TEST(LutDefaults, NegativeChannelCountMeansNoChannels)
{
    kelLut lut(-4, kelUChar, 0, 9, 10);
    EXPECT_EQ(0, lut.getNumChans());
    EXPECT_EQ(nullptr, lut.getData());
}

TEST(LutSize, OverflowingSizesGiveAnEmptyTable)
{
    // (2^31 - 1)^2 components of 8 bytes overflow 64 bits; of 4 bytes they
    // fit 64 bits but exceed any possible allocation.
    const kelDataType types[] = {kelDouble, kelFloat};
    for (kelDataType t : types) {
        kelLut lut(2147483647, t, 0, 1, 2147483647);
        EXPECT_EQ(0, lut.getLength()) << t;
        EXPECT_EQ(nullptr, lut.getData()) << t;
        EXPECT_EQ(0.0, lut.getVal(0, 0));
        EXPECT_EQ(kelBADPARAMS, lut.setVal(1, 0, 0));
    }
}

TEST(LutSize, CopyOfAnUnallocatableTableIsEmpty)
{
    // A borrowed table may claim any size; a copy must not overflow it.
    double cell = 0;
    kelLut huge(&cell, 2147483647, kelDouble, 0, 1, 2147483647);
    kelLut copy(1, kelUChar, 0, 1, 2);
    copy = huge;
    EXPECT_EQ(0, copy.getLength());
    EXPECT_EQ(nullptr, copy.getData());
    EXPECT_EQ(2147483647, copy.getNumChans());
    kelLut constructed(huge);
    EXPECT_EQ(0, constructed.getLength());
    EXPECT_EQ(nullptr, constructed.getData());
}

#if !defined(__SANITIZE_ADDRESS__)
// The address sanitizer stops the process on such a request instead of
// failing it, so this runs in the plain build only.
TEST(LutSize, AllocationFailureGivesAnEmptyTable)
{
    // 2^31 - 1 entries of 65536 channels of doubles: a petabyte.
    kelLut lut(65536, kelDouble, 0, 1, 2147483647);
    EXPECT_EQ(0, lut.getLength());
    EXPECT_EQ(nullptr, lut.getData());
    kelLut copy(1, kelUChar, 0, 1, 2);
    copy = lut;
    EXPECT_EQ(0, copy.getLength());
}
#endif

TEST(LutRange, SmallestAndLargestOfAllChannels)
{
    kelLut lut(2, kelUChar, 0, 2, 3);
    const double vals[2][3] = {{5, 200, 77}, {0, 17, 9}};
    for (int c = 0; c < 2; c++)
        for (int i = 0; i < 3; i++)
            lut.setVal(vals[c][i], i, c);
    double lo, hi;
    lut.getRange(lo, hi);
    EXPECT_EQ(0.0, lo);
    EXPECT_EQ(200.0, hi);
}

TEST(LutRange, SignedAndFloatingEntries)
{
    kelLut lut(1, kelFloat, 0, 2, 3);
    lut.setVal(-1.5, 0, 0);
    lut.setVal(NAN, 1, 0);
    lut.setVal(0.25, 2, 0);
    double lo, hi;
    lut.getRange(lo, hi);
    EXPECT_EQ(-1.5, lo);
    EXPECT_EQ(0.25, hi);
}

TEST(LutRange, NoEntriesReportMinimumAboveMaximum)
{
    kelLut lut(0, kelChar, 0, 9, 10);
    double lo, hi;
    lut.getRange(lo, hi);
    EXPECT_EQ(127.0, lo);
    EXPECT_EQ(-128.0, hi);
}

TEST(LutCompare, CopiesAreEqualUntilAnEntryChanges)
{
    kelLut a(2, kelShort, 0, 3, 4);
    for (int c = 0; c < 2; c++)
        for (int i = 0; i < 4; i++)
            a.setVal(c * 100 - i, i, c);
    kelLut b(a);
    EXPECT_EQ(0, a.isDiff(b));
    EXPECT_EQ(kelOKAY, b.setVal(-3, 3, 0));
    EXPECT_EQ(0, a.isDiff(b));
    EXPECT_EQ(kelOKAY, b.setVal(7, 3, 1));
    EXPECT_EQ(1, a.isDiff(b));
    EXPECT_EQ(1, b.isDiff(a));
}

TEST(LutCompare, ShapeMattersButTypeAndDomainDoNot)
{
    kelLut a(1, kelUChar, 0, 2, 3);
    kelLut b(1, kelDouble, -5, 5, 3);
    for (int i = 0; i < 3; i++) {
        a.setVal(i * 10, i, 0);
        b.setVal(i * 10, b.getDomainMin() + i * b.getDomainStep(), 0);
    }
    EXPECT_EQ(0, a.isDiff(b));
    kelLut longer(1, kelUChar, 0, 3, 4);
    EXPECT_EQ(1, a.isDiff(longer));
    kelLut wider(2, kelUChar, 0, 2, 3);
    EXPECT_EQ(1, a.isDiff(wider));
}

TEST(LutCompare, NotANumberEqualsItself)
{
    kelLut a(1, kelDouble, 0, 0, 1);
    a.setVal(NAN, 0, 0);
    kelLut b(a);
    EXPECT_EQ(0, a.isDiff(b));
}

TEST(LutCopy, CopyOfABorrowedTableOwnsItsStorage)
{
    unsigned char table[6] = {1, 2, 3, 4, 5, 6};
    kelLut borrowed(table, 2, kelUChar, 0, 2, 3);
    kelLut copy(borrowed);
    EXPECT_NE((void*)table, copy.getData());
    EXPECT_EQ(0, copy.isDiff(borrowed));
    EXPECT_EQ(kelOKAY, copy.setVal(99, 1, 1));
    EXPECT_EQ(5, table[4]);

    kelLut assigned(1, kelUChar, 0, 0, 1);
    assigned = borrowed;
    EXPECT_NE((void*)table, assigned.getData());
    EXPECT_EQ(2, assigned.getNumChans());
    EXPECT_EQ(3, assigned.getLength());
    EXPECT_EQ(kelUChar, assigned.getDataType());
    EXPECT_EQ(0, assigned.isDiff(borrowed));
    assigned.setVal(0, 0, 0);
    EXPECT_EQ(1, table[0]);
}

TEST(LutCopy, AssignmentCopiesDomainAndBitEntries)
{
    kelLut bits(3, kelBit, -1, 1, 3);
    memset(bits.getData(), 0, 2);
    bits.setVal(1, 1, 2);
    kelLut copy;
    copy = bits;
    EXPECT_EQ(-1.0, copy.getDomainMin());
    EXPECT_EQ(1.0, copy.getDomainMax());
    EXPECT_EQ(1.0, copy.getVal(1, 2));
    EXPECT_EQ(0, copy.isDiff(bits));
}

TEST(LutCopy, SelfAssignmentKeepsTheEntries)
{
    kelLut lut(1, kelInt, 0, 1, 2);
    lut.setVal(-77, 1, 0);
    kelLut& same = lut;
    lut = same;
    EXPECT_EQ(-77.0, lut.getVal(1, 0));
}

TEST(LutCopy, AssigningAnEmptyTableGivesAnEmptyTable)
{
    kelLut empty(1, kelUChar, 5, 2, 0);
    kelLut lut(1, kelUChar, 0, 9, 10);
    lut = empty;
    EXPECT_EQ(0, lut.getLength());
    EXPECT_EQ(nullptr, lut.getData());
}

TEST(LutData, SetDataBorrowsAndFreesOwnedStorage)
{
    kelLut lut(1, kelUShort, 0, 1, 2);
    uint16_t mine[2] = {7, 65535};
    lut.setData(mine);
    EXPECT_EQ((void*)mine, lut.getData());
    EXPECT_EQ(65535.0, lut.getVal(1, 0));
    lut.setVal(8, 0, 0);
    EXPECT_EQ(8, mine[0]);
}

TEST(LutData, TableWithoutDataReadsZeroAndRefusesWrites)
{
    kelLut lut(1, kelUShort, 0, 1, 2);
    lut.setData(nullptr);
    EXPECT_EQ(0.0, lut.getVal(1, 0));
    EXPECT_EQ(kelBADPARAMS, lut.setVal(1, 1, 0));
    EXPECT_EQ(nullptr, lut.getChan(0));
    EXPECT_EQ(nullptr, lut.getOrigin(0));
    kelLut copy(lut);
    ASSERT_NE(nullptr, copy.getData());
    EXPECT_EQ(0.0, copy.getVal(1, 0));
    EXPECT_EQ(0, copy.isDiff(lut));
}

TEST(LutAddress, ChannelsAndOrigin)
{
    kelLut lut(3, kelShort, -128, 127, 0);
    char* base = (char*)lut.getData();
    EXPECT_EQ(base, lut.getChan(0));
    EXPECT_EQ(base + 2 * 256 * 2, lut.getChan(2));
    EXPECT_EQ(nullptr, lut.getChan(3));
    EXPECT_EQ(nullptr, lut.getChan(-1));
    EXPECT_EQ(base + (256 + 128) * 2, lut.getOrigin(1));
    EXPECT_EQ(nullptr, lut.getOrigin(3));
    // origin[v] is the entry of domain value v.
    lut.setVal(-1234, -5, 1);
    EXPECT_EQ(-1234, ((int16_t*)lut.getOrigin(1))[-5]);
}

TEST(LutAddress, BitTablesAddressTheByteThatHoldsTheEntry)
{
    kelLut bits(2, kelBit, -4, 5, 10);
    char* base = (char*)bits.getData();
    // Channel 1 starts at element 10 (second byte); domain 0 of channel 1
    // is element 14, also in the second byte; channel 0's is element 4.
    EXPECT_EQ(base, bits.getChan(0));
    EXPECT_EQ(base + 1, bits.getChan(1));
    EXPECT_EQ(base, bits.getOrigin(0));
    EXPECT_EQ(base + 1, bits.getOrigin(1));
    kelLut shifted(1, kelBit, 20, 35, 16);
    // Domain 0 would be element -20: in the byte 3 before the table.
    EXPECT_EQ((char*)shifted.getData() - 3, shifted.getOrigin(0));
}

TEST(LutAddress, FarAwayOriginIsNull)
{
    kelLut lut(1, kelDouble, 1e300, 2e300, 1);
    EXPECT_EQ(nullptr, lut.getOrigin(0));
    EXPECT_NE(nullptr, lut.getChan(0));
}

// A table that a derived class sets up again, as plug-ins do.
struct ReinitLut : kelLut {
    using kelLut::init;
};

// The sanitizer build reports the storage of the first set-up as leaked
// when a second init drops it.
TEST(LutReinit, ReleasesTheStorageItOwned)
{
    ReinitLut lut;
    lut.init(nullptr, 3, kelUChar, 0, 255, 256);
    void* first = lut.getData();
    ASSERT_NE(nullptr, first);
    lut.init(nullptr, 1, kelShort, 0, 9, 10);
    EXPECT_EQ(10, lut.getLength());
    EXPECT_EQ(kelOKAY, lut.setVal(-7, 9, 0));
    EXPECT_EQ(-7.0, lut.getVal(9, 0));
    unsigned char borrowed[4] = {1, 2, 3, 4};
    lut.init(borrowed, 1, kelUChar, 0, 3, 4);
    EXPECT_EQ(borrowed, lut.getData());
    EXPECT_EQ(3.0, lut.getVal(2, 0));
}

// Set up again over its own storage, the table keeps and still owns it
// (the sanitizer build would see a use after free or a leak otherwise).
TEST(LutReinit, OverItsOwnStorageKeepsIt)
{
    ReinitLut lut;
    lut.init(nullptr, 1, kelUChar, 0, 7, 8);
    for (int i = 0; i < 8; i++)
        lut.setVal(10 * i, i, 0);
    void* own = lut.getData();
    lut.init(own, 2, kelUChar, 0, 3, 4);
    EXPECT_EQ(own, lut.getData());
    EXPECT_EQ(70.0, lut.getVal(3, 1));
    EXPECT_EQ(kelOKAY, lut.setVal(5, 0, 1));
    ReinitLut copy;
    copy.init(nullptr, 2, kelUChar, 0, 3, 4);
    copy = lut;
    EXPECT_EQ(0, copy.isDiff(lut));
}

TEST(LutDestroy, DeletedThroughTheBaseClass)
{
    EXPECT_TRUE(std::has_virtual_destructor<kelLut>::value);
    kelLut* maps[] = {new kelColormap(3, kelUChar, 0, 255), new kelORNColormap(),
                      new kelLut(2, kelDouble, 0, 1, 8)};
    for (kelLut* m : maps) {
        EXPECT_NE(nullptr, m->getData());
        delete m;
    }
}

} // namespace
