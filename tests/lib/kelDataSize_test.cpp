#include <gtest/gtest.h>

#include <limits.h>
#include <math.h>

#include <kel/kelDataSize.h>

namespace {

const kelDataType allTypes[] = {kelBit, kelUChar, kelChar, kelUShort, kelShort, kelUInt, kelInt, kelFloat, kelDouble};

TEST(DataSize, BytesForComponents)
{
    EXPECT_EQ(0u, kelDataSize(kelBit, 0));
    EXPECT_EQ(1u, kelDataSize(kelBit, 1));
    EXPECT_EQ(1u, kelDataSize(kelBit, 8));
    EXPECT_EQ(2u, kelDataSize(kelBit, 9));
    EXPECT_EQ(7u, kelDataSize(kelUChar, 7));
    EXPECT_EQ(7u, kelDataSize(kelChar, 7));
    EXPECT_EQ(14u, kelDataSize(kelUShort, 7));
    EXPECT_EQ(14u, kelDataSize(kelShort, 7));
    EXPECT_EQ(28u, kelDataSize(kelInt, 7));
    EXPECT_EQ(24u, kelDataSize(kelDouble, 3));
    for (int n : {0, 1, 5, 1000})
        EXPECT_EQ(kelDataSize(kelFloat, n), kelDataSize(kelUInt, n)) << n;
    EXPECT_EQ(kelDataSize(kelUInt, 3), kelDataSize(kelULong, 3));
}

TEST(DataSize, NoDataTypeTakesNothing)
{
    for (int v : {0, 3, 512, -1})
        EXPECT_EQ(0u, kelDataSize(kelDataType(v), 10)) << v;
}

TEST(DataSize, NegativeCountsTakeNothingAndHugeOnesSaturate)
{
    for (kelDataType t : allTypes)
        EXPECT_EQ(0u, kelDataSize(t, -8)) << t;
    EXPECT_EQ(unsigned(INT_MAX / 8 + 1), kelDataSize(kelBit, INT_MAX));
    EXPECT_EQ(unsigned(INT_MAX), kelDataSize(kelUChar, INT_MAX));
    EXPECT_EQ(4294967294u, kelDataSize(kelShort, INT_MAX));
    EXPECT_EQ(UINT_MAX, kelDataSize(kelInt, INT_MAX));
    EXPECT_EQ(UINT_MAX, kelDataSize(kelDouble, 1 << 29));
    EXPECT_EQ(0xfffffff8u, kelDataSize(kelDouble, (1 << 29) - 1));
}

TEST(DataRange, MinimaAndMaxima)
{
    EXPECT_EQ(0.0, kelDataMin(kelBit));
    EXPECT_EQ(1.0, kelDataMax(kelBit));
    EXPECT_EQ(0.0, kelDataMin(kelUChar));
    EXPECT_EQ(255.0, kelDataMax(kelUChar));
    EXPECT_EQ(-128.0, kelDataMin(kelChar));
    EXPECT_EQ(127.0, kelDataMax(kelChar));
    EXPECT_EQ(0.0, kelDataMin(kelUShort));
    EXPECT_EQ(65535.0, kelDataMax(kelUShort));
    EXPECT_EQ(-32768.0, kelDataMin(kelShort));
    EXPECT_EQ(32767.0, kelDataMax(kelShort));
    EXPECT_EQ(0.0, kelDataMin(kelUInt));
    EXPECT_EQ(4294967295.0, kelDataMax(kelUInt));
    EXPECT_EQ(-2147483648.0, kelDataMin(kelInt));
    EXPECT_EQ(2147483647.0, kelDataMax(kelInt));
    // The floating minima are the most negative finite values.
    EXPECT_EQ(-3.4028234663852886e38, kelDataMin(kelFloat));
    EXPECT_EQ(3.4028234663852886e38, kelDataMax(kelFloat));
    EXPECT_EQ(-1.7976931348623157e308, kelDataMin(kelDouble));
    EXPECT_EQ(1.7976931348623157e308, kelDataMax(kelDouble));
}

TEST(DataClass, SignedAndIntegralGiveTheMaskedValue)
{
    EXPECT_EQ(16, kelDataIsSigned(kelShort));
    EXPECT_EQ(128, kelDataIsSigned(kelFloat));
    EXPECT_EQ(4, kelDataIsSigned(kelChar));
    for (kelDataType t : {kelBit, kelUChar, kelUShort, kelUInt})
        EXPECT_EQ(0, kelDataIsSigned(t)) << t;
    EXPECT_EQ(1, kelDataIsIntegral(kelBit));
    EXPECT_EQ(64, kelDataIsIntegral(kelInt));
    EXPECT_EQ(0, kelDataIsIntegral(kelFloat));
    EXPECT_EQ(0, kelDataIsIntegral(kelDouble));
    // The masks of the three sets.
    int sets = 0;
    for (kelDataType t : allTypes)
        sets |= kelDataIsSigned(t) ? 0 : t;
    EXPECT_EQ(kelUnsignedTypes, sets);
}

TEST(DataTypeFromRange, FirstFittingTypeOfTheMask)
{
    EXPECT_EQ(kelBit, kelDataTypeFromRange(0, 1, kelAllTypes));
    EXPECT_EQ(kelShort, kelDataTypeFromRange(0, 200, kelChar | kelShort));
    EXPECT_EQ(kelBit, kelDataTypeFromRange(-0.5, 0.9, kelBit));
    EXPECT_EQ(kelUInt, kelDataTypeFromRange(0, 4294967295.0, kelUInt | kelInt));
    EXPECT_EQ(kelFloat, kelDataTypeFromRange(0, 1e12, kelUInt | kelFloat));
    EXPECT_EQ(0, kelDataTypeFromRange(0, 1e300, kelFloat));
    EXPECT_EQ(0, kelDataTypeFromRange(0, 1, 0));
    EXPECT_EQ(kelUChar, kelDataTypeFromRange(0, 255.9, kelAllTypes));
    EXPECT_EQ(kelChar, kelDataTypeFromRange(-128.7, 127, kelAllTypes));
    EXPECT_EQ(kelShort, kelDataTypeFromRange(-129, 127, kelAllTypes));
    EXPECT_EQ(kelInt, kelDataTypeFromRange(-1, 65536, kelAllTypes));
}

TEST(DataTypeFromRange, DoubleAlwaysFits)
{
    for (double v : {0.0, -1e308, 1.7976931348623157e308})
        EXPECT_EQ(kelDouble, kelDataTypeFromRange(v, v, kelDouble)) << v;
    for (double v : {1e300, -HUGE_VAL, HUGE_VAL, double(NAN)})
        EXPECT_EQ(kelDouble, kelDataTypeFromRange(v, v, kelAllTypes)) << v;
}

TEST(DataTypeFromRange, UpsideDownRangeIsJudgedByItsTwoBounds)
{
    // min 5 >= 0 and max 1 <= 1: a bit.
    EXPECT_EQ(kelBit, kelDataTypeFromRange(5, 1, kelAllTypes));
    EXPECT_EQ(kelUChar, kelDataTypeFromRange(300, 1, kelAllTypes & ~kelBit));
}

TEST(DataClosestType, Examples)
{
    EXPECT_EQ(kelShort, kelDataClosestType(kelUChar, kelShort | kelFloat, kelDataAnySign));
    EXPECT_EQ(0, kelDataClosestType(kelUChar, kelShort | kelFloat, 0));
    EXPECT_EQ(kelUChar, kelDataClosestType(kelUShort, kelUChar, 0));
    EXPECT_EQ(kelShort, kelDataClosestType(kelFloat, kelUChar | kelShort, 0));
    EXPECT_EQ(kelInt, kelDataClosestType(kelShort, kelUShort | kelInt, 0));
    EXPECT_EQ(0, kelDataClosestType(kelShort, kelUShort | kelInt, kelDataDemote));
    EXPECT_EQ(kelShort, kelDataClosestType(kelUChar, kelUChar | kelShort, kelDataWantSigned));
    EXPECT_EQ(kelChar, kelDataClosestType(kelInt, kelUChar | kelChar, 0));
}

TEST(DataClosestType, PromotionAndFallback)
{
    // An allowed type is itself.
    for (kelDataType t : allTypes)
        EXPECT_EQ(t, kelDataClosestType(t, t, kelDataAnySign)) << t;
    EXPECT_EQ(kelUShort, kelDataClosestType(kelUChar, kelUShort | kelUInt, 0));
    // A float holds a 32-bit integer; an int does not hold an unsigned int.
    EXPECT_EQ(kelFloat, kelDataClosestType(kelUInt, kelInt | kelFloat, kelDataAnySign));
    // No candidate: the largest allowed type of the sign set.
    EXPECT_EQ(kelUShort, kelDataClosestType(kelUInt, kelUChar | kelUShort | kelShort, 0));
    // Demotion looks only below the wanted type.
    EXPECT_EQ(kelUChar, kelDataClosestType(kelUShort, kelUChar | kelUInt, kelDataDemote));
    EXPECT_EQ(kelBit, kelDataClosestType(kelDouble, kelBit, kelDataAnySign));
}

TEST(DataClosestType, ValuesThatAreNoTypeNeverGiveAMixOfTypes)
{
    EXPECT_EQ(0, kelDataClosestType(kelDataType(0), kelAllTypes, 0));
    EXPECT_EQ(0, kelDataClosestType(kelDataType(-1), kelAllTypes, kelDataAnySign));
    EXPECT_EQ(0, kelDataClosestType(kelDataType(INT_MIN), kelAllTypes, 0));
    // Never a mix of types: 6 is no type, and the walk finds a single one.
    kelDataType t = kelDataClosestType(kelDataType(kelUChar | kelChar), kelAllTypes, kelDataAnySign);
    EXPECT_EQ(0, t & (t - 1)) << t;
}

} // namespace
