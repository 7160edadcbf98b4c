#include <gtest/gtest.h>
#include <kel/kelOrientation.h>

#include <limits.h>

namespace {

const kelOrientation all[] = {kelUpperLeftOrigin,  kelUpperRightOrigin, kelLowerRightOrigin, kelLowerLeftOrigin,
                              kelLeftUpperOrigin,  kelRightUpperOrigin, kelRightLowerOrigin, kelLeftLowerOrigin};

TEST(OrientationTables, PropertiesOfEachOrientation)
{
    const char low[9] = {1, 0, 0, 1, 1, 0, 0, 1, 1};
    const char left[9] = {1, 1, 0, 0, 1, 1, 0, 0, 1};
    const char trans[9] = {0, 0, 0, 0, 0, 1, 1, 1, 1};
    for (int i = 0; i < 9; i++) {
        EXPECT_EQ(low[i], kelOrientationIsLow[i]) << i;
        EXPECT_EQ(left[i], kelOrientationIsLeft[i]) << i;
        EXPECT_EQ(trans[i], kelOrientationIsTrans[i]) << i;
    }
}

TEST(MapOrientation, SingleOperations)
{
    const int flipX[9] = {0, 2, 1, 4, 3, 8, 7, 6, 5};
    const int flipY[9] = {0, 4, 3, 2, 1, 6, 5, 8, 7};
    const int trans[9] = {0, 5, 6, 7, 8, 1, 2, 3, 4};
    for (kelOrientation o : all) {
        EXPECT_EQ(flipX[o], kelMapOrientation(o, 1, 0, 0)) << o;
        EXPECT_EQ(flipY[o], kelMapOrientation(o, 0, 1, 0)) << o;
        EXPECT_EQ(trans[o], kelMapOrientation(o, 0, 0, 1)) << o;
        EXPECT_EQ(o, kelMapOrientation(o, 0, 0, 0));
    }
}

TEST(MapOrientation, AppliesFlipsBeforeTransposition)
{
    EXPECT_EQ(kelRightLowerOrigin, kelMapOrientation(kelUpperLeftOrigin, 1, 1, 1));
    EXPECT_EQ(kelRightUpperOrigin, kelMapOrientation(kelUpperLeftOrigin, 1, 0, 1));
}

// The flips act after the transposition, so applying them to the target
// orientation (flips first) leads back to the source.
TEST(MapFlipTrans, ResultRelatesTheTwoOrientations)
{
    for (kelOrientation from : all)
        for (kelOrientation to : all) {
            kelFlip flip;
            int trans;
            kelMapFlipTrans(from, flip, trans, to);
            EXPECT_EQ(from, kelMapOrientation(to, flip & kelXFlip, flip & kelYFlip, trans)) << from << "->" << to;
        }
}

TEST(MapFlipTrans, KnownPairs)
{
    kelFlip flip;
    int trans;
    kelMapFlipTrans(kelUpperLeftOrigin, flip, trans, kelLowerLeftOrigin);
    EXPECT_EQ(kelYFlip, flip);
    EXPECT_EQ(0, trans);
    kelMapFlipTrans(kelLeftUpperOrigin, flip, trans, kelLowerLeftOrigin);
    EXPECT_EQ(kelYFlip, flip);
    EXPECT_EQ(1, trans);
    kelMapFlipTrans(kelUpperRightOrigin, flip, trans, kelUpperRightOrigin);
    EXPECT_EQ(kelNoFlip, flip);
    EXPECT_EQ(0, trans);
}

TEST(MapTile, FlipsAndTransposes)
{
    kelTile2D<int> t(2, 3, 4, 5);
    kelFlip flip;
    int trans;
    kelMapTile(kelUpperLeftOrigin, t, flip, trans, kelLowerLeftOrigin, kelSize(10, 20, 1, 1));
    EXPECT_EQ(kelTile2D<int>(2, 12, 4, 5), t);
    EXPECT_EQ(kelYFlip, flip);

    kelTile2D<int> u(2, 3, 4, 5);
    kelMapTile(kelLeftUpperOrigin, u, kelLowerLeftOrigin, kelSize(20, 10, 1, 1));
    // swapped to (3, 2, 5, 4), then y flipped in a 20 x 10 image
    EXPECT_EQ(kelTile2D<int>(3, 4, 5, 4), u);

    kelTile2D<float> f(0.5f, 1.0f, 2.0f, 3.0f);
    kelMapTile(kelUpperLeftOrigin, f, kelUpperRightOrigin, kelSize(10, 20, 1, 1));
    EXPECT_FLOAT_EQ(7.5f, f.x);
    EXPECT_FLOAT_EQ(1.0f, f.y);
}

TEST(MapTile, RoundTripRestoresTheBox)
{
    const kelSize upright(10, 20, 1, 1);
    for (kelOrientation o : all) {
        kelSize inFile = upright;
        kelMapSize(kelLowerLeftOrigin, inFile, o);
        kelTile2D<int> t(1, 2, 3, 4);
        kelMapTile(kelLowerLeftOrigin, t, o, inFile);
        kelMapTile(o, t, kelLowerLeftOrigin, upright);
        EXPECT_EQ(kelTile2D<int>(1, 2, 3, 4), t) << o;
    }
}

TEST(MapTile, AbsurdBoxesClampInsteadOfOverflowing)
{
    kelTile2D<int> t(INT_MIN, INT_MAX, 1, INT_MAX);
    kelMapTile(kelUpperLeftOrigin, t, kelLowerRightOrigin, kelSize(10, 10, 1, 1));
    EXPECT_EQ(INT_MAX, t.x); // 10 - INT_MIN - 1
    EXPECT_EQ(INT_MIN, t.y); // 10 - 2 * INT_MAX
    EXPECT_EQ(1, t.nx);
    EXPECT_EQ(INT_MAX, t.ny);
}

TEST(MapXY, PointsAndDirections)
{
    int x = 0, y = 0;
    kelMapXY(kelUpperLeftOrigin, x, y, kelLowerLeftOrigin, kelSize(10, 20, 1, 1));
    EXPECT_EQ(0, x);
    EXPECT_EQ(19, y);

    float fx = 1.5f, fy = 2.0f;
    kelMapXY(kelUpperLeftOrigin, fx, fy, kelRightUpperOrigin, kelSize(10, 20, 1, 1));
    // transposed to (2, 1.5), then y flipped (left differs)
    EXPECT_FLOAT_EQ(2.0f, fx);
    EXPECT_FLOAT_EQ(17.5f, fy);

    float dx = 1, dy = 1;
    kelMapXYSign(kelUpperLeftOrigin, dx, dy, kelLowerLeftOrigin);
    EXPECT_FLOAT_EQ(1.0f, dx);
    EXPECT_FLOAT_EQ(-1.0f, dy);
}

TEST(MapXY, PointRoundTripInEveryOrientation)
{
    const kelSize upright(10, 20, 1, 1);
    for (kelOrientation o : all) {
        kelSize inFile = upright;
        kelMapSize(kelLowerLeftOrigin, inFile, o);
        int x = 3, y = 17;
        kelMapXY(kelLowerLeftOrigin, x, y, o, inFile);
        EXPECT_TRUE(x >= 0 && x < inFile.x && y >= 0 && y < inFile.y) << o;
        kelMapXY(o, x, y, kelLowerLeftOrigin, upright);
        EXPECT_EQ(3, x) << o;
        EXPECT_EQ(17, y) << o;
    }
}

TEST(MapXY, PointsBeyondTheFloatRangeOfAnIntClamp)
{
    // INT_MAX rounds up to 2^31 as a float, one past the int range.
    int x = INT_MAX, y = INT_MIN;
    kelMapXY(kelUpperLeftOrigin, x, y, kelUpperLeftOrigin, kelSize(10, 10, 1, 1));
    EXPECT_EQ(INT_MAX, x);
    EXPECT_EQ(INT_MIN, y);
    x = 0;
    y = INT_MIN;
    kelMapXY(kelUpperLeftOrigin, x, y, kelLowerRightOrigin, kelSize(10, 10, 1, 1));
    EXPECT_EQ(9, x);
    EXPECT_EQ(INT_MAX, y); // 9 - INT_MIN
}

TEST(OrientationIsMirror, OddNumberOfDifferences)
{
    EXPECT_EQ(0, kelOrientationIsMirror(kelUpperLeftOrigin, kelLowerRightOrigin));
    EXPECT_EQ(1, kelOrientationIsMirror(kelUpperLeftOrigin, kelLowerLeftOrigin));
    EXPECT_EQ(1, kelOrientationIsMirror(kelUpperLeftOrigin, kelLeftUpperOrigin));
    EXPECT_EQ(0, kelOrientationIsMirror(kelUpperLeftOrigin, kelRightUpperOrigin));
    for (kelOrientation o : all)
        EXPECT_EQ(0, kelOrientationIsMirror(o, o));
}

TEST(MapSize, SwapsOnlyAcrossTransposition)
{
    for (kelOrientation from : all)
        for (kelOrientation to : all) {
            kelSize s(3, 4, 5, 6);
            kelMapSize(from, s, to);
            const bool swapped = kelOrientationIsTrans[from] != kelOrientationIsTrans[to];
            EXPECT_EQ(swapped ? kelSize(4, 3, 5, 6) : kelSize(3, 4, 5, 6), s);
            int sx = 3, sy = 4;
            kelMapSize(from, sx, sy, to);
            EXPECT_EQ(swapped ? 4 : 3, sx);
        }
}

TEST(MapSize, ValueOutsideTheEnumerationReadsAsUntransposed)
{
    kelSize s(3, 4, 1, 1);
    kelMapSize(kelOrientation(42), s, kelLowerLeftOrigin);
    EXPECT_EQ(kelSize(3, 4, 1, 1), s);
    kelMapSize(kelOrientation(-3), s, kelLeftLowerOrigin);
    EXPECT_EQ(kelSize(4, 3, 1, 1), s);
}

} // namespace
