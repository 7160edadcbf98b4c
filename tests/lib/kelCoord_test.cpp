#include <gtest/gtest.h>

#include <limits.h>

#include <kel/kelCoord.h>

namespace {

using V = kelXYZC<int>;

TEST(XYZC, ConstructionAndIndexing)
{
    V a(1, 2, 3, 4);
    EXPECT_EQ(1, a[kelX]);
    EXPECT_EQ(2, a[kelY]);
    EXPECT_EQ(3, a[kelZ]);
    EXPECT_EQ(4, a[kelC]);
    a[kelZ] = 30;
    EXPECT_EQ(30, a.z);
    EXPECT_EQ(V(0, 0, 0, 0), V());
    EXPECT_EQ(V(7, 7, 7, 7), V(7));
    a.init(5, 6, 7, 8);
    EXPECT_EQ(V(5, 6, 7, 8), a);
}

TEST(XYZC, ComponentWiseArithmetic)
{
    V a(12, 10, 9, 7);
    V b(5, 3, 2, 7);
    EXPECT_EQ(V(17, 13, 11, 14), a + b);
    EXPECT_EQ(V(7, 7, 7, 0), a - b);
    EXPECT_EQ(V(60, 30, 18, 49), a * b);
    EXPECT_EQ(V(2, 3, 4, 1), a / b);
    EXPECT_EQ(V(2, 1, 1, 0), a % b);
    EXPECT_EQ(V(4, 2, 0, 7), a & b);
    EXPECT_EQ(V(13, 11, 11, 7), a | b);
    a += b;
    EXPECT_EQ(V(17, 13, 11, 14), a);
}

TEST(XYZC, OrderingHoldsOnEveryComponent)
{
    EXPECT_TRUE(V(1, 1, 1, 1) < V(2, 2, 2, 2));
    EXPECT_FALSE(V(1, 1, 1, 2) < V(2, 2, 2, 2));
    EXPECT_TRUE(V(1, 1, 1, 2) <= V(2, 2, 2, 2));
    EXPECT_FALSE(V(1, 3, 1, 1) <= V(2, 2, 2, 2));
    EXPECT_TRUE(V(2, 2, 2, 2) >= V(2, 1, 2, 0));
    EXPECT_FALSE(V(2, 2, 2, 2) > V(2, 1, 1, 1));
    EXPECT_TRUE(V(1, 2, 3, 4) != V(1, 2, 3, 5));
}

TEST(XYZ, ThreeComponents)
{
    kelXYZ<int> a(1, 2, 3);
    EXPECT_EQ(3, a[kelZ]);
    EXPECT_EQ(kelXYZ<int>(4, 4, 4), kelXYZ<int>(4));
    EXPECT_EQ(kelXYZ<int>(2, 4, 6), a + a);
    EXPECT_EQ(kelXYZ<int>(0, 0, 0), a - a);
    EXPECT_TRUE(a < kelXYZ<int>(2, 3, 4));
    EXPECT_FALSE(a < kelXYZ<int>(2, 3, 3));
}

TEST(Size, ConstructorsAndElementCount)
{
    kelSize s(4, 3, 2, 5);
    EXPECT_EQ(120, int(s));
    kelSize t(4, 3, 2);
    EXPECT_EQ(1, t.c);
    EXPECT_EQ(24, int(t));
    kelSize u = s;
    EXPECT_EQ(s, u);
    kelSize sum = s + t;
    EXPECT_EQ(kelSize(8, 6, 4, 6), sum);
}

TEST(Size, ElementCountBeyondIntGivesTheLimit)
{
    EXPECT_EQ(INT_MAX, int(kelSize(65536, 65536, 1, 1)));
    EXPECT_EQ(INT_MAX, int(kelSize(-65536, 65536, 65536, -65536)));
    EXPECT_EQ(INT_MIN, int(kelSize(65536, -65536, 1, 1)));
    EXPECT_EQ(0, int(kelSize(INT_MAX, INT_MAX, INT_MAX, 0)));
    EXPECT_EQ(INT_MAX, int(kelSize(INT_MAX, 1, 1, 1)));
    EXPECT_EQ(-6, int(kelSize(1, -2, 3, 1)));
}

} // namespace
