// The part of a page that a read must fetch: the bytes up to the last
// element inside the image, in each order, for bits and wider samples.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "kelPageGrid.h"

namespace {

using Stretches = std::vector<std::pair<size_t, size_t>>;

struct Holding {
    const char* what;
    kelDataType type;
    kelOrder order;
    kelSize page;
    size_t pageBytes;
    kelSize inside;
    Stretches stretches; // at, bytes
};

class PageStretches : public ::testing::TestWithParam<Holding> {};

TEST_P(PageStretches, HoldEveryElementInsideAndLittleElse)
{
    const Holding& h = GetParam();
    Stretches got;
    EXPECT_EQ(0, kelPageStretches(h.type, h.order, h.page, h.pageBytes, h.inside, [&](size_t at, size_t bytes) {
                  got.emplace_back(at, bytes);
                  return 0;
              }));
    EXPECT_EQ(h.stretches, got);
}

// Elements are numbered x fastest; channels come first (interleaved), after
// each row (sequential) or after each plane (separate); z slices hold every
// channel. Pages that the image fills mostly come in one stretch up to the
// last element inside; others row by row.
INSTANTIATE_TEST_SUITE_P(
    Layouts, PageStretches,
    ::testing::Values(
        Holding{"whole_page", kelUChar, kelInterleaved, {4, 3, 2, 3}, 72, {4, 3, 2, 3}, {{0, 72}}},
        Holding{"three_planes_of_a_thousand", kelUChar, kelSeparate, {4, 3, 1, 1000}, 12000, {4, 3, 1, 3}, {{0, 36}}},
        Holding{"corner_of_a_short_plane", kelUShort, kelSeparate, {8, 8, 1, 2}, 256, {2, 2, 1, 1}, {{0, 20}}},
        Holding{"two_interleaved_rows", kelFloat, kelInterleaved, {8, 8, 1, 3}, 768, {8, 2, 1, 3}, {{0, 192}}},
        Holding{"sequential_bits", kelBit, kelSequential, {16, 4, 1, 2}, 16, {3, 1, 1, 2}, {{0, 3}}},
        Holding{"two_of_a_hundred_slices", kelUChar, kelSeparate, {4, 4, 100, 1}, 1600, {4, 4, 2, 1}, {{0, 32}}},
        Holding{"rows_of_a_deep_page", kelDouble, kelSequential, {4, 1000, 1, 2}, 64000, {3, 2, 1, 2}, {{0, 120}}},
        Holding{"one_column_of_tall_slices", kelUChar, kelInterleaved, {4096, 2, 2, 1}, 16384, {1, 2, 2, 1},
                {{0, 1}, {4096, 1}, {8192, 1}, {12288, 1}}},
        Holding{"rows_of_two_channels", kelUShort, kelSequential, {3000, 2, 1, 2}, 24000, {2, 2, 1, 2},
                {{0, 4}, {6000, 4}, {12000, 4}, {18000, 4}}},
        Holding{"planes_of_wide_rows", kelUChar, kelSeparate, {5000, 2, 1, 2}, 20000, {3, 2, 1, 2},
                {{0, 3}, {5000, 3}, {10000, 3}, {15000, 3}}},
        Holding{"full_rows_join", kelUChar, kelSeparate, {8, 1000, 1, 3}, 24000, {8, 2, 1, 2},
                {{0, 16}, {8000, 16}}},
        Holding{"pixels_among_many_channels", kelUChar, kelInterleaved, {2, 1, 1, 10000}, 20000, {2, 1, 1, 3},
                {{0, 3}, {10000, 3}}},
        Holding{"bits_of_sparse_rows", kelBit, kelSeparate, {40000, 2, 1, 1}, 10000, {12, 2, 1, 1},
                {{0, 2}, {5000, 2}}},
        Holding{"extent_beyond_the_page", kelUChar, kelInterleaved, {4, 4, 1, 1}, 16, {5, 1, 1, 1}, {{0, 16}}},
        Holding{"no_extent", kelUChar, kelInterleaved, {4, 4, 1, 1}, 16, {0, 1, 1, 1}, {{0, 16}}},
        Holding{"unknown_order", kelUChar, kelOrder(7), {4, 4, 1, 1}, 16, {1, 1, 1, 1}, {{0, 16}}}),
    [](const ::testing::TestParamInfo<Holding>& info) { return std::string(info.param.what); });

TEST(PageStretchesStop, AtTheFirstRefusal)
{
    int visits = 0;
    EXPECT_EQ(1, kelPageStretches(kelUChar, kelSeparate, kelSize(5000, 2, 1, 2), 20000, kelSize(3, 2, 1, 2),
                                  [&](size_t, size_t) { return ++visits == 2; }));
    EXPECT_EQ(2, visits);
}

TEST(PageGrid, PagesLieInOrderOfXYZAndChannelGroup)
{
    const kelPageGrid g{kelSize(10, 5, 2, 4), kelSize(4, 4, 1, 2), kelXYZ<int>(3, 2, 2), 100, 32};
    EXPECT_EQ(100, g.offset(0, 0, 0, 0));
    EXPECT_EQ(100 + 2 * 32, g.offset(8, 3, 0, 1));
    EXPECT_EQ(100 + (2 + 3 * (1 + 2 * (1 + 2 * 1))) * 32, g.offset(9, 4, 1, 3));
    EXPECT_TRUE(g.isInside(9, 4, 1, 3));
    EXPECT_FALSE(g.isInside(10, 0, 0, 0));
    EXPECT_FALSE(g.isInside(0, -1, 0, 0));
    EXPECT_FALSE(g.isInside(0, 0, 0, 4));
}

} // namespace
