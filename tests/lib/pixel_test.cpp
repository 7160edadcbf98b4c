#include <gtest/gtest.h>
#include <kel/kelPixel.h>

#include <stdint.h>
#include <string.h>

TEST(Pixel, EmptyPixel)
{
    kelPixel p;
    EXPECT_EQ(0, p.getNumChans());
    EXPECT_EQ(kelDataType(0), p.getDataType());
    EXPECT_EQ(nullptr, p.getData());
    EXPECT_EQ(0.0, p.getElem(0));
    EXPECT_EQ(0.0, p.min());
    EXPECT_EQ(0.0, p.max());
}

TEST(Pixel, ElementsAreClampedAndRanged)
{
    uint8_t v[] = {10, 20, 30};
    kelPixel p(kelUChar, 3, v);
    EXPECT_NE(static_cast<void*>(v), p.getData()); // an owned copy
    EXPECT_EQ(30.0, p.getElem(5));
    EXPECT_EQ(10.0, p.getElem(-1));
    EXPECT_EQ(20.0, p[1]);
    EXPECT_EQ(10.0, p.min());
    EXPECT_EQ(30.0, p.max());

    p.setElem(7.0, 4);
    EXPECT_EQ(5, p.getNumChans());
    EXPECT_EQ(7.0, p.getElem(4));
    EXPECT_EQ(30.0, p.getElem(2));
    EXPECT_EQ(0.0, p.getElem(3)); // the gap is cleared
    EXPECT_EQ(0.0, p.min());

    p.setElem(1.0, -1); // ignored
    EXPECT_EQ(5, p.getNumChans());
}

TEST(Pixel, SetElemOnEmptyPixelMakesDouble)
{
    kelPixel p;
    p.setElem(1.0, 0);
    EXPECT_EQ(kelDouble, p.getDataType());
    EXPECT_EQ(1, p.getNumChans());
    EXPECT_EQ(1.0, p.getElem(0));
}

TEST(Pixel, SetWithZeroCountEmptiesButKeepsType)
{
    uint16_t v[] = {1, 2};
    kelPixel p(kelUShort, 2, v);
    p.set(kelUShort, 0, nullptr);
    EXPECT_EQ(kelUShort, p.getDataType());
    EXPECT_EQ(0, p.getNumChans());
    EXPECT_EQ(nullptr, p.getData());
}

TEST(Pixel, StorageIsReusedWhileItFits)
{
    double v[] = {1.5, 2.5};
    kelPixel p(kelDouble, 2, v);
    void* storage = p.getData();
    uint8_t b[] = {9, 8, 7};
    p.set(kelUChar, 3, b);
    EXPECT_EQ(storage, p.getData());
    EXPECT_EQ(7.0, p.getElem(2));
    p.set(kelUChar, 2, nullptr); // components left as they are
    EXPECT_EQ(8.0, p.getElem(1));
}

TEST(Pixel, SizesPastTheByteCountsRangeLeaveThePixelAsItWas)
{
    // 600000000 doubles take 4.8e9 bytes, more than a byte count holds:
    // storage of the capped count would be too small for the components.
    double v[] = {1.5, 2.5};
    kelPixel p(kelDouble, 2, v);
    p.set(kelDouble, 600000000, nullptr);
    EXPECT_EQ(2, p.getNumChans());
    EXPECT_EQ(2.5, p.getElem(1));
    p.setElem(1.0, 599999999);
    EXPECT_EQ(2, p.getNumChans());
    EXPECT_EQ(1.5, p.getElem(0));
}

TEST(Pixel, SetElemTruncatesWithoutClamping)
{
    kelPixel p(kelUChar, 1, nullptr);
    p.setElem(300.9, 0);
    EXPECT_EQ(44.0, p.getElem(0));
    p.setElem(-1.0, 0);
    EXPECT_EQ(255.0, p.getElem(0));

    kelPixel s(kelShort, 1, nullptr);
    s.setElem(-2.9, 0);
    EXPECT_EQ(-2.0, s.getElem(0));
    s.setElem(1e30, 0); // beyond 64 bits: defined result, low bits of INT64_MIN
    EXPECT_EQ(0.0, s.getElem(0));

    kelPixel f(kelFloat, 1, nullptr);
    f.setElem(0.1, 0);
    EXPECT_EQ(double(0.1f), f.getElem(0));
}

TEST(Pixel, BitComponentsArePackedMostSignificantFirst)
{
    kelPixel p(kelBit, 10, nullptr);
    for (int k = 0; k < 10; k++)
        p.setElem(0.0, k);
    p.setElem(1.0, 0);
    p.setElem(0.7, 1);  // truncates to 0
    p.setElem(-3.0, 9); // nonzero
    p.setElem(4294967296.0, 2); // low 32 bits all zero
    const uint8_t* d = static_cast<const uint8_t*>(p.getData());
    EXPECT_EQ(0x80, d[0]);
    EXPECT_EQ(0x40, d[1]);
    EXPECT_EQ(1.0, p.getElem(9));
    EXPECT_EQ(0.0, p.getElem(8));
}

TEST(Pixel, ConvertTruncatesTowardZero)
{
    double v[] = {1.9, -1.9};
    kelPixel src(kelDouble, 2, v);
    kelPixel c;
    c.convert(src, kelChar, 0, nullptr);
    EXPECT_EQ(kelChar, c.getDataType());
    EXPECT_EQ(2, c.getNumChans());
    EXPECT_EQ(1.0, c.getElem(0));
    EXPECT_EQ(-1.0, c.getElem(1));
    c.convert(src, kelUChar, 0, nullptr);
    EXPECT_EQ(1.0, c.getElem(0));
    EXPECT_EQ(255.0, c.getElem(1));
}

TEST(Pixel, ConvertRepeatsTheLastComponent)
{
    uint8_t one = 77;
    kelPixel p(kelUChar, 1, &one), q;
    q.convert(p, kelFloat, 4, nullptr);
    ASSERT_EQ(4, q.getNumChans());
    for (int k = 0; k < 4; k++)
        EXPECT_EQ(77.0, q.getElem(k));
    int zeros[] = {0, 0, 0, 0};
    q.convert(p, kelShort, 4, zeros);
    for (int k = 0; k < 4; k++)
        EXPECT_EQ(77.0, q.getElem(k));

    int16_t ab[] = {-5, 6};
    kelPixel two(kelShort, 2, ab), four;
    four.convert(two, kelInt, 4, nullptr);
    EXPECT_EQ(-5.0, four[0]);
    EXPECT_EQ(6.0, four[1]);
    EXPECT_EQ(6.0, four[2]);
    EXPECT_EQ(6.0, four[3]);

    int pick[] = {1, 0};
    kelPixel swapped;
    swapped.convert(two, kelShort, 2, pick);
    EXPECT_EQ(6.0, swapped[0]);
    EXPECT_EQ(-5.0, swapped[1]);
}

TEST(Pixel, ConvertIntoItself)
{
    float v[] = {2.5f, -3.5f, 300.0f};
    kelPixel p(kelFloat, 3, v);
    p.convert(p, kelDouble, 0, nullptr);
    EXPECT_EQ(kelDouble, p.getDataType());
    EXPECT_EQ(2.5, p[0]);
    EXPECT_EQ(-3.5, p[1]);
    EXPECT_EQ(300.0, p[2]);
    p.convert(p, kelUChar, 2, nullptr);
    EXPECT_EQ(2, p.getNumChans());
    EXPECT_EQ(2.0, p[0]);
    EXPECT_EQ(253.0, p[1]);
}

TEST(Pixel, Equality)
{
    float v[] = {1.0f, 2.0f};
    kelPixel a(kelFloat, 2, v), b(kelFloat, 2, v);
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a != b);
    kelPixel c;
    c.convert(b, kelInt, 0, nullptr);
    c.set(kelInt, 2, v); // same bytes, another type of the same size
    EXPECT_FALSE(a == c);
    EXPECT_TRUE(a != c);
    b.setElem(3.0, 1);
    EXPECT_FALSE(a == b);
    kelPixel e1(kelUShort, 0, nullptr), e2(kelUShort, 0, nullptr), e3(kelShort, 0, nullptr);
    EXPECT_TRUE(e1 == e2);
    EXPECT_FALSE(e1 == e3);
}

TEST(Pixel, BitPaddingTakesPartInComparison)
{
    uint8_t x = 0x80, y = 0x81;
    kelPixel a(kelBit, 1, &x), b(kelBit, 1, &y);
    EXPECT_EQ(a.getElem(0), b.getElem(0));
    EXPECT_FALSE(a == b);
}

TEST(Pixel, CopiesOwnTheirStorage)
{
    int32_t v[] = {1, 2, 3};
    kelPixel a(kelInt, 3, v);
    kelPixel b(a);
    EXPECT_NE(a.getData(), b.getData());
    EXPECT_TRUE(a == b);
    kelPixel c;
    c = a;
    EXPECT_NE(a.getData(), c.getData());
    EXPECT_TRUE(a == c);
    c.setElem(9.0, 0);
    EXPECT_EQ(1.0, a[0]);
    a = a;
    EXPECT_EQ(3, a.getNumChans());
    EXPECT_EQ(3.0, a[2]);
}
