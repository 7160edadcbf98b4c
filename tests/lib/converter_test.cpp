#include <gtest/gtest.h>
#include <kel/kelConverter.h>
#include <kel/kelPixel.h>

#include <cstdint>
#include <vector>

#include "conv_reference.h"

namespace {

kelConverter block(void* data, kelDataType t, kelOrder o, int nc, int nx, int ny, int nz, int x = 0, int y = 0,
                   int z = 0, const int* list = nullptr, int c = 0)
{
    kelConverter cv;
    cv.init(data, t, o, nc, list, nx, ny, nz, x, y, z, c);
    return cv;
}

} // namespace

TEST(ConverterLayout, InterleavedSteps)
{
    uint8_t buf[24];
    kelConverter cv = block(buf, kelUChar, kelInterleaved, 3, 4, 2, 1);
    EXPECT_EQ(kelInterleaved, cv.order);
    EXPECT_EQ(3, cv.stride.x);
    EXPECT_EQ(12, cv.stride.y);
    EXPECT_EQ(24, cv.stride.z);
    EXPECT_EQ(1, cv.cStride);
    cv.setTransposeXY(1);
    EXPECT_EQ(6, cv.stride.x);
    EXPECT_EQ(3, cv.stride.y);
    cv.setTransposeXY(0);
    cv.setFlip(kelYFlip);
    EXPECT_EQ(-12, cv.stride.y);
    EXPECT_EQ(0, cv.flipX);
    EXPECT_EQ(1, cv.flipY);
    // Row 1 lies first in memory: pixel (0, 1) is element 0.
    EXPECT_EQ(0, convref::index(cv, 0, 1, 0, 0));
    EXPECT_EQ(12, convref::index(cv, 0, 0, 0, 0));
}

TEST(ConverterLayout, SequentialAndSeparateSteps)
{
    uint8_t buf[48];
    kelConverter seq = block(buf, kelUChar, kelSequential, 3, 4, 2, 1);
    EXPECT_EQ(1, seq.stride.x);
    EXPECT_EQ(12, seq.stride.y);
    EXPECT_EQ(24, seq.stride.z);
    EXPECT_EQ(4, seq.cStride);
    seq.setTransposeXY(1);
    EXPECT_EQ(6, seq.stride.x);
    EXPECT_EQ(1, seq.stride.y);
    EXPECT_EQ(2, seq.cStride);

    kelConverter sep = block(buf, kelUChar, kelSeparate, 3, 4, 2, 2);
    EXPECT_EQ(1, sep.stride.x);
    EXPECT_EQ(4, sep.stride.y);
    EXPECT_EQ(8, sep.cStride);
    EXPECT_EQ(24, sep.stride.z);
    sep.setTransposeXY(1);
    EXPECT_EQ(2, sep.stride.x);
    EXPECT_EQ(1, sep.stride.y);
    sep.setFlip(kelFlip(kelXFlip | kelYFlip));
    EXPECT_EQ(-2, sep.stride.x);
    EXPECT_EQ(-1, sep.stride.y);
    sep.setFlip(kelNoFlip);
    EXPECT_EQ(0, sep.flipX);
    EXPECT_EQ(0, sep.flipY);
    EXPECT_EQ(2, sep.stride.x);
}

TEST(ConverterLayout, OneChannelBlockIsSeparate)
{
    uint8_t buf[8];
    kelConverter cv = block(buf, kelUChar, kelInterleaved, 1, 4, 2, 1);
    EXPECT_EQ(kelSeparate, cv.order);
    EXPECT_EQ(1, cv.stride.x);
    EXPECT_EQ(4, cv.stride.y);
    EXPECT_EQ(0, cv.fill);
    EXPECT_EQ(0, cv.clipSet);
    EXPECT_EQ(0, cv.mask.nx);
}

TEST(ConverterLayout, FillHasZeroSteps)
{
    float v[] = {1, 2};
    kelPixel p(kelFloat, 2, v);
    kelTile3D<int> m(1, 1, 0, 2, 2, 1);
    int list[] = {3, 4};
    kelConverter cv(p, &m, list, 5);
    EXPECT_EQ(1, cv.fill);
    EXPECT_EQ(kelFloat, cv.type);
    EXPECT_EQ(2, cv.cSize);
    EXPECT_EQ(list, cv.cList);
    EXPECT_EQ(5, cv.cStart);
    EXPECT_EQ(p.getData(), cv.data);
    EXPECT_EQ(kelXYZ<int>(0, 0, 0), cv.stride);
    EXPECT_EQ(1, cv.cStride);
    EXPECT_EQ(m, cv.mask);
    EXPECT_EQ(kelTile3D<int>(), cv.area);
}

TEST(ConverterLayout, OriginAndClip)
{
    uint8_t buf[24];
    kelConverter cv = block(buf, kelUChar, kelInterleaved, 3, 4, 2, 1);
    cv.setOrigin(10, 20, 30, 2);
    EXPECT_EQ(kelTile3D<int>(10, 20, 30, 4, 2, 1), cv.area);
    EXPECT_EQ(2, cv.cStart);
    EXPECT_EQ(12, cv.stride.y);
    cv.setClip(11, 20, 30, 2, 1, 1);
    EXPECT_EQ(1, cv.clipSet);
    EXPECT_EQ(kelTile3D<int>(11, 20, 30, 2, 1, 1), cv.clip);
}

TEST(ConverterMask, CheckMask)
{
    uint8_t v = 0;
    kelPixel p(kelUChar, 1, &v);
    kelConverter none(p, nullptr, nullptr, 0);
    kelTile3D<int> tile(0, 0, 0, 10, 10, 1);
    EXPECT_EQ(kelFillAll, none.checkMask(tile));

    kelTile3D<int> cover(-1, -1, 0, 12, 12, 1);
    kelConverter c1(p, &cover, nullptr, 0);
    EXPECT_EQ(kelFillNone, c1.checkMask(tile));

    kelTile3D<int> beside(10, 0, 0, 5, 10, 1);
    kelConverter c2(p, &beside, nullptr, 0);
    EXPECT_EQ(kelFillAll, c2.checkMask(tile));

    kelTile3D<int> middle(3, 3, 0, 4, 4, 1);
    kelConverter c3(p, &middle, nullptr, 0);
    EXPECT_EQ(kelFillSome, c3.checkMask(tile));

    kelTile3D<int> otherSlice(3, 3, 1, 4, 4, 1);
    kelConverter c4(p, &otherSlice, nullptr, 0);
    EXPECT_EQ(kelFillAll, c4.checkMask(tile));
}

TEST(ConverterFill, MaskLeavesAFrame)
{
    std::vector<uint8_t> buf(100, 7);
    kelConverter dst = block(buf.data(), kelUChar, kelSeparate, 1, 10, 10, 1);
    uint8_t v = 200;
    kelPixel p(kelUChar, 1, &v);
    kelTile3D<int> m(3, 2, 0, 4, 5, 1);
    kelConverter fill(p, &m, nullptr, 0);
    dst = fill;
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 10; x++)
            EXPECT_EQ(m.contains(x, y, 0) ? 7 : 200, buf[y * 10 + x]) << x << "," << y;
}

TEST(ConverterFill, MaskSplitsAVolume)
{
    // The mask reaches into the region on every side of a 3-D box.
    std::vector<int16_t> buf(6 * 5 * 4, -1);
    kelConverter dst = block(buf.data(), kelShort, kelSeparate, 1, 6, 5, 4, 1, 1, 1);
    double v = 12.9;
    kelPixel p(kelDouble, 1, &v);
    kelTile3D<int> m(2, 2, 2, 3, 2, 2);
    kelConverter fill(p, &m, nullptr, 0);
    dst = fill;
    int masked = 0;
    for (int z = 0; z < 4; z++)
        for (int y = 0; y < 5; y++)
            for (int x = 0; x < 6; x++) {
                bool in = m.contains(x + 1, y + 1, z + 1);
                masked += in;
                EXPECT_EQ(in ? -1 : 12, buf[(z * 5 + y) * 6 + x]);
            }
    EXPECT_EQ(12, masked);
}

TEST(ConverterFill, OneChannelIntoRGB)
{
    std::vector<float> buf(4 * 3 * 3, -1.0f);
    kelConverter dst = block(buf.data(), kelFloat, kelInterleaved, 3, 4, 3, 1);
    uint8_t v = 9;
    kelPixel p(kelUChar, 1, &v);
    kelConverter fill(p, nullptr, nullptr, 0);
    dst = fill;
    for (float f : buf)
        EXPECT_EQ(9.0f, f);
    EXPECT_EQ(1, fill.cSize);
    EXPECT_EQ(kelUChar, fill.type);
    EXPECT_EQ(p.getData(), fill.data);
}

TEST(ConverterFill, WidenedFillRepeatsItsLastChannel)
{
    std::vector<uint16_t> buf(2 * 4, 0);
    kelConverter dst = block(buf.data(), kelUShort, kelInterleaved, 4, 2, 1, 1);
    int16_t v[] = {-1, 3};
    kelPixel p(kelShort, 2, v);
    kelConverter fill(p, nullptr, nullptr, 0);
    dst = fill;
    EXPECT_EQ((std::vector<uint16_t>{65535, 3, 3, 3, 65535, 3, 3, 3}), buf);
    EXPECT_EQ(2, fill.cSize);
}

TEST(ConverterFill, FillClip)
{
    std::vector<uint8_t> buf(16, 0);
    kelConverter dst = block(buf.data(), kelUChar, kelSeparate, 1, 4, 4, 1);
    uint8_t v = 1;
    kelPixel p(kelUChar, 1, &v);
    kelConverter fill(p, nullptr, nullptr, 0);
    fill.setClip(1, 1, 0, 2, 10, 1);
    dst = fill;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            EXPECT_EQ(x >= 1 && x < 3 && y >= 1 ? 1 : 0, buf[y * 4 + x]);
}

TEST(ConverterAssign, DisjointAreasWriteNothing)
{
    std::vector<uint8_t> a(16, 1), b(16, 2);
    kelConverter dst = block(a.data(), kelUChar, kelSeparate, 1, 4, 4, 1, 0, 0, 0);
    kelConverter src = block(b.data(), kelUChar, kelSeparate, 1, 4, 4, 1, 4, 0, 0);
    dst = src;
    EXPECT_EQ(std::vector<uint8_t>(16, 1), a);
}

TEST(ConverterAssign, DestinationClipLimitsTheWrite)
{
    std::vector<uint8_t> a(16, 0), b(16, 5);
    kelConverter dst = block(a.data(), kelUChar, kelSeparate, 1, 4, 4, 1);
    kelConverter src = block(b.data(), kelUChar, kelSeparate, 1, 4, 4, 1);
    dst.setClip(2, 1, 0, 5, 2, 1);
    dst = src;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            EXPECT_EQ(x >= 2 && y >= 1 && y < 3 ? 5 : 0, a[y * 4 + x]);
}

TEST(ConverterAssign, OverlapOfShiftedAreas)
{
    std::vector<int32_t> a(12, 0), b(12);
    for (int i = 0; i < 12; i++)
        b[i] = i + 1;
    kelConverter dst = block(a.data(), kelInt, kelSeparate, 1, 4, 3, 1, 0, 0, 0);
    kelConverter src = block(b.data(), kelInt, kelSeparate, 1, 4, 3, 1, 2, 1, 0);
    dst = src;
    // dst (2, 1) holds src's first pixel.
    EXPECT_EQ(1, a[1 * 4 + 2]);
    EXPECT_EQ(2, a[1 * 4 + 3]);
    EXPECT_EQ(5, a[2 * 4 + 2]);
    EXPECT_EQ(0, a[0]);
    EXPECT_EQ(0, a[1 * 4 + 1]);
}

TEST(ConverterLayout, StepsThatOverflowGiveNoLayout)
{
    uint8_t buf[4] = {1, 2, 3, 4};
    kelConverter huge = block(buf, kelUChar, kelInterleaved, 4, 40000, 40000, 2);
    EXPECT_EQ(0, huge.cStride);
    EXPECT_EQ(0, huge.stride.z);
    // Nothing is written through a block that cannot be addressed.
    uint8_t src[4] = {9, 9, 9, 9};
    kelConverter small = block(src, kelUChar, kelInterleaved, 4, 1, 1, 1);
    huge = small;
    EXPECT_EQ(1, buf[0]);
    EXPECT_EQ(4, buf[3]);
}

TEST(ConverterLayout, UnknownOrderWritesNothing)
{
    uint8_t buf[6] = {1, 2, 3, 4, 5, 6}, src[6] = {0};
    kelConverter odd = block(buf, kelUChar, kelOrder(3), 3, 2, 1, 1);
    kelConverter from = block(src, kelUChar, kelInterleaved, 3, 2, 1, 1);
    odd = from;
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 6}), std::vector<uint8_t>(buf, buf + 6));
}
