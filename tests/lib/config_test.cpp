#include <gtest/gtest.h>
#include <kel/kelConfig.h>

#include <vector>

TEST(Config, ConstructorTakesOrientationLast)
{
    int list[] = {2, 1, 0};
    kelConfig cfg(kelShort, kelSequential, 3, list, 0, kelLowerLeftOrigin);
    EXPECT_EQ(kelShort, cfg.dtype);
    EXPECT_EQ(kelSequential, cfg.order);
    EXPECT_EQ(3, cfg.nchans);
    EXPECT_EQ(list, cfg.channels);
    EXPECT_EQ(0, cfg.choff);
    EXPECT_EQ(kelLowerLeftOrigin, cfg.orientation);
}

TEST(Config, MappingByOffset)
{
    kelConfig cfg(kelUChar, kelInterleaved, 3, nullptr, 1);
    EXPECT_EQ(1, cfg.mapChan(0));
    EXPECT_EQ(2, cfg.mapChan(1));
    EXPECT_EQ(3, cfg[2]);
    EXPECT_EQ(-1, cfg.mapChan(3));
    EXPECT_EQ(-1, cfg[-1]);

    std::vector<int> a(4, 99);
    cfg.invert(4, a.data());
    EXPECT_EQ((std::vector<int>{-1, 0, 1, 2}), a);
    std::vector<int> b(2, 99);
    cfg.invert(2, b.data());
    EXPECT_EQ((std::vector<int>{-1, 0}), b);
}

TEST(Config, ListIsReadFromTheOffset)
{
    int list[] = {5, 7, 9};
    kelConfig cfg(kelUChar, kelInterleaved, 2, list, 1);
    EXPECT_EQ(7, cfg.mapChan(0));
    EXPECT_EQ(9, cfg.mapChan(1));
    EXPECT_EQ(-1, cfg.mapChan(2));
}

TEST(Config, InvertAndInvertibility)
{
    int perm[] = {2, 1, 0};
    kelConfig p(kelUChar, kelInterleaved, 3, perm);
    std::vector<int> a(3);
    p.invert(3, a.data());
    EXPECT_EQ((std::vector<int>{2, 1, 0}), a);
    EXPECT_EQ(1, p.isInvertable());

    int dup[] = {0, 0, 1};
    kelConfig d(kelUChar, kelInterleaved, 3, dup);
    EXPECT_EQ(0, d.isInvertable());
    d.invert(3, a.data());
    EXPECT_EQ((std::vector<int>{1, 2, -1}), a); // the higher buffer channel wins
}

TEST(Config, InvertibilityIgnoresOutOfRangeEntries)
{
    int list[] = {-1, 7, 0};
    kelConfig cfg(kelUChar, kelInterleaved, 3, list);
    EXPECT_EQ(1, cfg.isInvertable());
    std::vector<int> a(2);
    cfg.invert(2, a.data());
    EXPECT_EQ((std::vector<int>{2, -1}), a);

    kelConfig single(kelUChar, kelInterleaved, 1, nullptr, 4);
    EXPECT_EQ(1, single.isInvertable());
    kelConfig none(kelUChar, kelInterleaved, 0, nullptr, 0);
    EXPECT_EQ(1, none.isInvertable());
}

TEST(Config, Compose)
{
    kelConfig cfg(kelUChar, kelInterleaved, 3, nullptr, 0);
    int in[] = {2, -1, 7};
    int out[3];
    cfg.compose(3, in, out);
    EXPECT_EQ(2, out[0]);
    EXPECT_EQ(-1, out[1]);
    EXPECT_EQ(-1, out[2]);

    int list[] = {4, 5, 6};
    kelConfig mapped(kelUChar, kelInterleaved, 3, list);
    int inout[] = {1, 2, 0, 3};
    mapped.compose(4, inout, inout); // in place
    EXPECT_EQ(5, inout[0]);
    EXPECT_EQ(6, inout[1]);
    EXPECT_EQ(4, inout[2]);
    EXPECT_EQ(-1, inout[3]);
}
