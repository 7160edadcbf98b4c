#include <limits.h>

#include <array>
#include <vector>

#include <gtest/gtest.h>
#include <kel/kelConfig.h>
#include <kel/kelTileIter.h>

namespace {

using Page = std::array<int, 4>; // x, y, z, c

std::vector<Page> walk(kelTileIter& it)
{
    std::vector<Page> pages;
    while (it.more() && pages.size() < 1000)
        pages.push_back({it.x, it.y, it.z, it.c});
    return pages;
}

kelTile3D<int> box(int x, int y, int nx, int ny)
{
    return kelTile3D<int>(x, y, 0, nx, ny, 1);
}

} // namespace

TEST(TileIter, VisitsPagesOfTheGridXFastestThenY)
{
    kelTileIter it(box(3, 3, 4, 4), kelSize(4, 4, 1, 1), 1, nullptr, 0);
    std::vector<Page> expected = {{0, 0, 0, 0}, {4, 0, 0, 0}, {0, 4, 0, 0}, {4, 4, 0, 0}};
    EXPECT_EQ(expected, walk(it));
    EXPECT_EQ(4, it.getCount());
    EXPECT_EQ(4, it.nx);
    EXPECT_EQ(4, it.ny);
    EXPECT_EQ(1, it.nz);
}

TEST(TileIter, ZVariesAfterYAndChannelGroupsLast)
{
    kelTileIter it(kelTile3D<int>(0, 0, 0, 4, 4, 4), kelSize(2, 4, 2, 2), 4, nullptr, 0);
    std::vector<Page> expected = {{0, 0, 0, 0}, {2, 0, 0, 0}, {0, 0, 2, 0}, {2, 0, 2, 0},
                                  {0, 0, 0, 2}, {2, 0, 0, 2}, {0, 0, 2, 2}, {2, 0, 2, 2}};
    EXPECT_EQ(expected, walk(it));
    EXPECT_EQ(8, it.getCount());
    EXPECT_EQ(2, it.nc);
}

TEST(TileIter, EmptyRegionVisitsNothing)
{
    kelTileIter noWidth(box(3, 3, 0, 4), kelSize(4, 4, 1, 1), 1, nullptr, 0);
    EXPECT_EQ(0, noWidth.getCount());
    EXPECT_EQ(0, noWidth.more());
    kelTileIter negativeDepth(kelTile3D<int>(0, 0, 0, 4, 4, -1), kelSize(4, 4, 1, 1), 1, nullptr, 0);
    EXPECT_EQ(0, negativeDepth.more());
}

TEST(TileIter, NegativeOriginsStartOnTheGridBelow)
{
    kelTileIter it(box(-3, -5, 4, 2), kelSize(4, 4, 1, 1), 1, nullptr, 0);
    std::vector<Page> expected = {{-4, -8, 0, 0}, {0, -8, 0, 0}, {-4, -4, 0, 0}, {0, -4, 0, 0}};
    EXPECT_EQ(expected, walk(it));
}

TEST(TileIter, TileAlignedPagesStartAtTheRequest)
{
    kelTileIter it(box(3, 3, 5, 4), kelSize(4, 4, 1, 1), 1, nullptr, 1);
    std::vector<Page> expected = {{3, 3, 0, 0}, {7, 3, 0, 0}};
    EXPECT_EQ(expected, walk(it));
}

TEST(TileIter, ChannelOffsetAndCountSelectGroups)
{
    kelConfig cfg(kelUChar, kelInterleaved, 2, nullptr, 1);
    kelTileIter it(box(0, 0, 4, 4), kelSize(4, 4, 1, 1), 3, &cfg, 0);
    std::vector<Page> expected = {{0, 0, 0, 1}, {0, 0, 0, 2}};
    EXPECT_EQ(expected, walk(it));
    EXPECT_EQ(2, it.getCount());
}

TEST(TileIter, ChannelListVisitsOnlyGroupsHoldingListedChannels)
{
    int list[] = {4, 5};
    kelConfig cfg(kelUChar, kelInterleaved, 2, list);

    kelTileIter threes(box(0, 0, 4, 4), kelSize(4, 4, 1, 3), 6, &cfg, 0);
    EXPECT_EQ(std::vector<Page>({{0, 0, 0, 3}}), walk(threes));
    EXPECT_EQ(1, threes.getCount());

    kelTileIter ones(box(0, 0, 4, 4), kelSize(4, 4, 1, 1), 6, &cfg, 0);
    EXPECT_EQ(std::vector<Page>({{0, 0, 0, 4}, {0, 0, 0, 5}}), walk(ones));
    EXPECT_EQ(2, ones.getCount());
}

TEST(TileIter, ChannelListWithGapsCountsOnlyVisitedGroups)
{
    int list[] = {5, -1, 0, 5};
    kelConfig cfg(kelUChar, kelInterleaved, 4, list);
    kelTileIter it(box(0, 0, 8, 4), kelSize(4, 4, 1, 1), 6, &cfg, 0);
    std::vector<Page> expected = {{0, 0, 0, 0}, {4, 0, 0, 0}, {0, 0, 0, 5}, {4, 0, 0, 5}};
    EXPECT_EQ(expected, walk(it));
    EXPECT_EQ(4, it.getCount());
}

TEST(TileIter, AllNegativeChannelListVisitsNothing)
{
    int list[] = {-1, -3};
    kelConfig cfg(kelUChar, kelInterleaved, 2, list);
    kelTileIter it(box(0, 0, 4, 4), kelSize(4, 4, 1, 1), 3, &cfg, 0);
    EXPECT_EQ(0, it.getCount());
    EXPECT_EQ(0, it.more());
}

TEST(TileIter, BorderedPagesOverlapByTwiceTheBorder)
{
    kelTileIter it(box(0, 0, 12, 1), kelSize(6, 1, 1, 1), 1, nullptr, 0);
    it.setPageBorder(kelXYZ<int>(1, 0, 0), 1);
    std::vector<Page> pages = walk(it);
    ASSERT_GE(pages.size(), 2u);
    for (size_t i = 1; i < pages.size(); ++i)
        EXPECT_EQ(4, pages[i][0] - pages[i - 1][0]);
    // Every requested column lies inside some page's border-free part.
    for (int col = 0; col < 12; ++col) {
        bool inner = false;
        for (const Page& p : pages)
            inner = inner || (p[0] + 1 <= col && col < p[0] + 5);
        EXPECT_TRUE(inner) << "column " << col;
    }
}

TEST(TileIter, StaysExhaustedUntilASetterStartsAnotherWalk)
{
    kelTileIter it(box(0, 0, 8, 4), kelSize(4, 4, 1, 1), 1, nullptr, 0);
    EXPECT_EQ(2u, walk(it).size());
    EXPECT_EQ(0, it.more());
    EXPECT_EQ(0, it.more());

    it.setTile(box(4, 4, 4, 4), 1, nullptr, 0);
    EXPECT_EQ(std::vector<Page>({{4, 4, 0, 0}}), walk(it));

    // A new page size applies to the request already set.
    it.setPageSize(kelSize(2, 2, 1, 1));
    EXPECT_EQ(4, it.getCount());
    EXPECT_EQ(4u, walk(it).size());
}

TEST(TileIter, ChannelListIsReadAgainAfterPageSizeChange)
{
    int list[] = {4};
    kelConfig cfg(kelUChar, kelInterleaved, 1, list);
    kelTileIter it(box(0, 0, 4, 4), kelSize(4, 4, 1, 3), 6, &cfg, 0);
    EXPECT_EQ(std::vector<Page>({{0, 0, 0, 3}}), walk(it));
    it.setPageSize(kelSize(4, 4, 1, 1));
    EXPECT_EQ(std::vector<Page>({{0, 0, 0, 4}}), walk(it));
}

TEST(TileIter, PageSizeWithoutStepVisitsNothing)
{
    kelTileIter noPageSize(box(0, 0, 4, 4), 1, nullptr, 0);
    EXPECT_EQ(0, noPageSize.more());
    kelTileIter borderEatsPage(box(0, 0, 4, 4), kelSize(2, 2, 1, 1), 1, nullptr, 0);
    borderEatsPage.setPageBorder(kelXYZ<int>(1, 1, 0), 0);
    EXPECT_EQ(0, borderEatsPage.more());
    kelTileIter noChannels(box(0, 0, 4, 4), kelSize(2, 2, 1, 0), 1, nullptr, 0);
    EXPECT_EQ(0, noChannels.more());
}

TEST(TileIter, CoordinatesNearTheIntLimitsDoNotOverflow)
{
    kelTileIter high(box(INT_MAX - 5, 0, 5, 1), kelSize(4, 4, 1, 1), 1, nullptr, 0);
    std::vector<Page> pages = walk(high);
    ASSERT_EQ(2u, pages.size());
    EXPECT_EQ(INT_MAX - 7, pages[0][0]);
    EXPECT_EQ(INT_MAX - 3, pages[1][0]);
    EXPECT_EQ(0, high.more());

    kelTileIter wide(box(INT_MAX - 1, 0, INT_MAX, 1), kelSize(4, 4, 1, 1), 1, nullptr, 0);
    EXPECT_EQ(1u, walk(wide).size());

    kelTileIter manyPages(kelTile3D<int>(0, 0, 0, INT_MAX, INT_MAX, INT_MAX), kelSize(1, 1, 1, 1), 1, nullptr, 0);
    EXPECT_EQ(INT_MAX, manyPages.getCount());
}
