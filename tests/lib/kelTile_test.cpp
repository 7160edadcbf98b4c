#include <gtest/gtest.h>

#include <kel/kelTile.h>

namespace {

using Box = kelTile2D<int>;
using Box3 = kelTile3D<int>;

void expectBox(const Box& b, int x, int y, int nx, int ny)
{
    EXPECT_EQ(x, b.x);
    EXPECT_EQ(y, b.y);
    EXPECT_EQ(nx, b.nx);
    EXPECT_EQ(ny, b.ny);
}

TEST(Tile2D, IntersectOfDisjointBoxesHasNoExtent)
{
    Box r;
    EXPECT_EQ(&r, &r.intersect(Box(0, 0, 10, 5), Box(20, 0, 10, 5)));
    expectBox(r, 20, 0, -10, 5);
}

TEST(Tile2D, IntersectOfOverlappingBoxes)
{
    Box r;
    r.intersect(Box(0, 0, 10, 10), Box(4, -2, 10, 5));
    expectBox(r, 4, 0, 6, 3);
    // The result may be one of the operands.
    Box a(0, 0, 8, 8);
    a.intersect(a, Box(2, 2, 2, 20));
    expectBox(a, 2, 2, 2, 6);
    r.intersect(Box(0, 0, 10, 10), Box(1, 1, 10, 10), Box(2, 3, 10, 10));
    expectBox(r, 2, 3, 8, 7);
}

TEST(Tile2D, ContainsWithImageLimits)
{
    Box page(0, 0, 64, 64);
    Box request(10, 10, 100, 20);
    // The page reaches the image edge at 64, so the overrun is no matter.
    EXPECT_EQ(1, page.contains(request, 64, 64));
    EXPECT_EQ(0, page.contains(request, 200, 64));
    EXPECT_EQ(0, page.contains(request));
    // Origins must lie inside whatever the limits.
    EXPECT_EQ(0, page.contains(Box(-1, 10, 5, 5), 0, 0));
    EXPECT_EQ(0, page.contains(Box(10, -1, 5, 5), 0, 0));
    // Along y the same rule.
    EXPECT_EQ(1, page.contains(Box(0, 60, 10, 10), 64, 64));
    EXPECT_EQ(0, page.contains(Box(0, 60, 10, 10), 64, 65));
}

TEST(Tile2D, ContainsBoxAndPoint)
{
    Box b(2, 3, 4, 5);
    EXPECT_EQ(1, b.contains(Box(2, 3, 4, 5)));
    EXPECT_EQ(0, b.contains(Box(2, 3, 5, 5)));
    EXPECT_EQ(1, b.contains(2, 3));
    EXPECT_EQ(1, b.contains(5, 7));
    EXPECT_EQ(0, b.contains(6, 7));
    EXPECT_EQ(0, b.contains(5, 8));
    EXPECT_EQ(0, b.contains(1, 3));
}

TEST(Tile2D, BoundingBoxGrowShrinkAndArithmetic)
{
    Box r;
    r.boundingBox(Box(0, 5, 2, 2), Box(10, -1, 1, 1));
    expectBox(r, 0, -1, 11, 8);
    r.boundingBox(Box(0, 0, 1, 1), Box(3, 3, 1, 1), Box(-2, 1, 1, 1));
    expectBox(r, -2, 0, 6, 4);

    Box g(5, 5, 2, 2);
    g.grow(1);
    expectBox(g, 4, 4, 4, 4);
    g.shrink(2);
    expectBox(g, 6, 6, 0, 0);

    Box a(1, 2, 3, 4);
    a += Box(10, 20, 30, 40);
    expectBox(a, 11, 22, 33, 44);
    a -= Box(1, 2, 3, 4);
    expectBox(a, 10, 20, 30, 40);
    EXPECT_TRUE(a == Box(10, 20, 30, 40));
    EXPECT_TRUE(a != Box(10, 20, 30, 41));
}

TEST(Tile2D, InitAndAxisAccess)
{
    Box b;
    b.init(1, 2, 3, 4);
    expectBox(b, 1, 2, 3, 4);
    b.origin(kelY) = 9;
    b.size(kelX) = 7;
    expectBox(b, 1, 9, 7, 4);
    Box c;
    c.init(b);
    EXPECT_EQ(b, c);

    kelTile2D<float> f(0.5f, 0, 1, 1);
    kelTile2D<float> g;
    g.intersect(f, kelTile2D<float>(1.0f, 0.25f, 2, 2));
    EXPECT_FLOAT_EQ(1.0f, g.x);
    EXPECT_FLOAT_EQ(0.5f, g.nx);
    EXPECT_FLOAT_EQ(0.75f, g.ny);
}

TEST(Tile3D, InitTakesOriginsThenExtents)
{
    Box3 b;
    b.init(1, 2, 3, 4, 5, 6);
    EXPECT_EQ(1, b.x);
    EXPECT_EQ(2, b.y);
    EXPECT_EQ(3, b.z);
    EXPECT_EQ(4, b.nx);
    EXPECT_EQ(5, b.ny);
    EXPECT_EQ(6, b.nz);
    EXPECT_EQ(3, b.origin(kelZ));
    EXPECT_EQ(6, b.size(kelZ));
    EXPECT_EQ(2, b.origin(kelY));
    EXPECT_EQ(4, b.size(kelX));
}

TEST(Tile3D, IntersectContainsAndBoundingBox)
{
    Box3 r;
    r.intersect(Box3(0, 0, 0, 10, 10, 10), Box3(5, 2, 8, 10, 3, 10));
    EXPECT_EQ(Box3(5, 2, 8, 5, 3, 2), r);
    r.intersect(Box3(0, 0, 0, 4, 4, 4), Box3(0, 0, 6, 4, 4, 4));
    EXPECT_EQ(6, r.z);
    EXPECT_EQ(-2, r.nz);

    Box3 b(0, 0, 0, 4, 4, 4);
    EXPECT_EQ(1, b.contains(Box3(1, 1, 1, 3, 3, 3)));
    EXPECT_EQ(0, b.contains(Box3(1, 1, 1, 3, 3, 4)));
    EXPECT_EQ(1, b.contains(3, 3, 3));
    EXPECT_EQ(0, b.contains(3, 3, 4));

    r.boundingBox(Box3(0, 0, 0, 1, 1, 1), Box3(0, 0, 5, 1, 1, 2));
    EXPECT_EQ(Box3(0, 0, 0, 1, 1, 7), r);
    r.grow(1);
    EXPECT_EQ(Box3(-1, -1, -1, 3, 3, 9), r);
    EXPECT_NE(Box3(-1, -1, -1, 3, 3, 8), r);
}

} // namespace
