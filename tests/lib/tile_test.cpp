#include <limits.h>

#include <array>
#include <vector>

#include <gtest/gtest.h>
#include <kel/kel.h>
#include <kel/kelConfig.h>

#include "tile_memfile.h"

namespace {

int pattern(int x, int y, int z, int ch)
{
    return (x * 7 + y * 13 + z * 29 + ch * 53 + 1) & 0xff;
}

std::vector<std::array<int, 2>> origins(const std::vector<PageCall>& calls)
{
    std::vector<std::array<int, 2>> xy;
    for (const PageCall& p : calls)
        xy.push_back({p.x, p.y});
    return xy;
}

// Every page transfer must stay inside the image with positive extents.
void expectInsideImage(const std::vector<PageCall>& calls, const kelSize& size)
{
    for (const PageCall& p : calls) {
        EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.z >= 0 && p.c >= 0) << p.x << "," << p.y << "," << p.z << "," << p.c;
        EXPECT_TRUE(p.nx > 0 && p.ny > 0 && p.nz > 0 && p.nc > 0) << p.nx << "," << p.ny << "," << p.nz << "," << p.nc;
        EXPECT_TRUE(p.x + p.nx <= size.x && p.y + p.ny <= size.y && p.z + p.nz <= size.z && p.c + p.nc <= size.c);
    }
}

const kelSize tenByTen(10, 10, 1, 1);
const kelSize fourByFour(4, 4, 1, 1);

} // namespace

TEST(GetTile, VisitsTheTouchedPagesInOrderAndConverts)
{
    MemFile file(tenByTen, fourByFour);
    file.fill(pattern);
    std::vector<unsigned char> buf(16);
    ASSERT_EQ(kelOKAY, file.getTile(3, 3, 0, 4, 4, 1, buf.data()));
    std::vector<std::array<int, 2>> expected = {{0, 0}, {4, 0}, {0, 4}, {4, 4}};
    EXPECT_EQ(expected, origins(file.gets));
    EXPECT_TRUE(file.sets.empty());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pattern(x + 3, y + 3, 0, 0), buf[y * 4 + x]) << x << "," << y;
}

TEST(GetTile, PagesAtTheEdgeAreReadWithClippedExtents)
{
    MemFile file(tenByTen, fourByFour);
    std::vector<unsigned char> buf(100);
    ASSERT_EQ(kelOKAY, file.getTile(0, 0, 0, 10, 10, 1, buf.data()));
    ASSERT_EQ(9u, file.gets.size());
    const PageCall& corner = file.gets.back();
    EXPECT_EQ(8, corner.x);
    EXPECT_EQ(8, corner.y);
    EXPECT_EQ(2, corner.nx);
    EXPECT_EQ(2, corner.ny);
    EXPECT_EQ(1, corner.nz);
    EXPECT_EQ(1, corner.nc);
}

TEST(GetTile, EmptyRequestVisitsNoPage)
{
    MemFile file(tenByTen, fourByFour);
    unsigned char buf[1] = {0};
    EXPECT_EQ(kelOKAY, file.getTile(3, 3, 0, 0, 4, 1, buf));
    EXPECT_EQ(kelOKAY, file.setTile(3, 3, 0, 4, 4, 0, buf));
    EXPECT_TRUE(file.gets.empty());
    EXPECT_TRUE(file.sets.empty());
}

TEST(GetTile, PagesOfFewerChannelsThanTheImage)
{
    // Separate order stores one channel per page.
    MemFile file(kelSize(6, 5, 2, 3), kelSize(4, 4, 1, 1), kelSeparate);
    file.fill(pattern);
    kelConfig cfg(kelUChar, kelInterleaved, 3);
    std::vector<unsigned char> buf(6 * 5 * 2 * 3);
    ASSERT_EQ(kelOKAY, file.getTile(0, 0, 0, 6, 5, 2, buf.data(), &cfg));
    EXPECT_EQ(2u * 2 * 2 * 3, file.gets.size());
    for (int z = 0; z < 2; ++z)
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x)
                for (int ch = 0; ch < 3; ++ch)
                    EXPECT_EQ(pattern(x, y, z, ch), buf[((z * 5 + y) * 6 + x) * 3 + ch]);
}

TEST(GetTile, ChannelListSelectsPagesAndChannels)
{
    int list[] = {5, 4};
    kelConfig cfg(kelUChar, kelInterleaved, 2, list);
    std::vector<unsigned char> buf(4 * 4 * 2);

    MemFile threes(kelSize(4, 4, 1, 6), kelSize(4, 4, 1, 3));
    threes.fill(pattern);
    ASSERT_EQ(kelOKAY, threes.getTile(0, 0, 0, 4, 4, 1, buf.data(), &cfg));
    ASSERT_EQ(1u, threes.gets.size());
    EXPECT_EQ(3, threes.gets[0].c);
    EXPECT_EQ(3, threes.gets[0].nc);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(pattern(i % 4, i / 4, 0, 5), buf[2 * i]);
        EXPECT_EQ(pattern(i % 4, i / 4, 0, 4), buf[2 * i + 1]);
    }

    MemFile ones(kelSize(4, 4, 1, 6), kelSize(4, 4, 1, 1), kelSeparate);
    ones.fill(pattern);
    std::fill(buf.begin(), buf.end(), 0);
    ASSERT_EQ(kelOKAY, ones.getTile(0, 0, 0, 4, 4, 1, buf.data(), &cfg));
    ASSERT_EQ(2u, ones.gets.size());
    EXPECT_EQ(4, ones.gets[0].c);
    EXPECT_EQ(5, ones.gets[1].c);
    EXPECT_EQ(pattern(3, 2, 0, 5), buf[2 * (2 * 4 + 3)]);
    EXPECT_EQ(pattern(3, 2, 0, 4), buf[2 * (2 * 4 + 3) + 1]);

    int none[] = {-1, -2};
    kelConfig noChannels(kelUChar, kelInterleaved, 2, none);
    ones.forget();
    EXPECT_EQ(kelOKAY, ones.getTile(0, 0, 0, 4, 4, 1, buf.data(), &noChannels));
    EXPECT_TRUE(ones.gets.empty());
}

TEST(GetTile, UpperLeftCallerOnLowerLeftFileFlipsY)
{
    MemFile file(tenByTen, fourByFour, kelInterleaved, kelLowerLeftOrigin);
    file.fill(pattern);
    kelConfig cfg(kelUChar, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
    std::vector<unsigned char> buf(3 * 2);
    // Caller rows 1 and 2 are the file's rows 8 and 7.
    ASSERT_EQ(kelOKAY, file.getTile(2, 1, 0, 3, 2, 1, buf.data(), &cfg));
    std::vector<std::array<int, 2>> expected = {{0, 4}, {4, 4}, {0, 8}, {4, 8}};
    EXPECT_EQ(expected, origins(file.gets)) << "the mapped box is rows 7 and 8";
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pattern(x + 2, 8 - y, 0, 0), buf[y * 3 + x]) << x << "," << y;
}

TEST(GetTile, TransposedCallerOrientations)
{
    MemFile file(kelSize(6, 4, 1, 1), kelSize(4, 4, 1, 1), kelInterleaved, kelLowerLeftOrigin);
    file.fill(pattern);
    // Rows of the caller run along the file's y; the caller's box is 4 x 6.
    std::vector<unsigned char> buf(4 * 6);

    kelConfig leftLower(kelUChar, kelInterleaved, 1, nullptr, 0, kelLeftLowerOrigin);
    ASSERT_EQ(kelOKAY, file.getTile(0, 0, 0, 4, 6, 1, buf.data(), &leftLower));
    for (int cy = 0; cy < 6; ++cy)
        for (int cx = 0; cx < 4; ++cx)
            EXPECT_EQ(pattern(cy, cx, 0, 0), buf[cy * 4 + cx]) << cx << "," << cy;

    kelConfig rightUpper(kelUChar, kelInterleaved, 1, nullptr, 0, kelRightUpperOrigin);
    ASSERT_EQ(kelOKAY, file.getTile(0, 0, 0, 4, 6, 1, buf.data(), &rightUpper));
    for (int cy = 0; cy < 6; ++cy)
        for (int cx = 0; cx < 4; ++cx)
            EXPECT_EQ(pattern(5 - cy, 3 - cx, 0, 0), buf[cy * 4 + cx]) << cx << "," << cy;

    // A part of the picture: caller columns 1..2, rows 4..5 are file
    // rows 1..2, columns 4..5.
    std::vector<unsigned char> part(2 * 2);
    file.forget();
    ASSERT_EQ(kelOKAY, file.getTile(1, 4, 0, 2, 2, 1, part.data(), &leftLower));
    ASSERT_EQ(1u, file.gets.size());
    EXPECT_EQ(4, file.gets[0].x);
    EXPECT_EQ(pattern(4, 1, 0, 0), part[0]);
    EXPECT_EQ(pattern(4, 2, 0, 0), part[1]);
    EXPECT_EQ(pattern(5, 1, 0, 0), part[2]);
}

TEST(GetTile, RequestOutsideTheImageLeavesTheCallersBufferThere)
{
    MemFile file(tenByTen, fourByFour);
    file.fill(pattern);
    const int n = 14;
    std::vector<unsigned char> buf(n * n, 0xee);
    ASSERT_EQ(kelOKAY, file.getTile(-2, -2, 0, n, n, 1, buf.data()));
    EXPECT_EQ(9u, file.gets.size());
    expectInsideImage(file.gets, tenByTen);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            bool inside = x >= 2 && x < 12 && y >= 2 && y < 12;
            EXPECT_EQ(inside ? pattern(x - 2, y - 2, 0, 0) : 0xee, buf[y * n + x]) << x << "," << y;
        }

    file.forget();
    EXPECT_EQ(kelOKAY, file.getTile(20, 0, 0, 4, 4, 1, buf.data()));
    EXPECT_TRUE(file.gets.empty());
}

TEST(GetTile, FailingPageReadStopsTheWalk)
{
    MemFile file(tenByTen, fourByFour);
    file.failGetAt = 1;
    std::vector<unsigned char> buf(100);
    kelStatus st = file.getTile(0, 0, 0, 10, 10, 1, buf.data());
    EXPECT_EQ(kelREADFAILED, kelStatusMain(st));
    EXPECT_EQ(2u, file.gets.size());
}

TEST(GetTile, RefusesBoxesBeyondTheIntRange)
{
    MemFile file(tenByTen, fourByFour);
    unsigned char buf[16];
    EXPECT_EQ(kelBADPARAMS, file.getTile(INT_MAX - 1, 0, 0, 4, 4, 1, buf));
    kelConfig flipped(kelUChar, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
    EXPECT_EQ(kelBADPARAMS, file.getTile(0, INT_MIN + 2, 0, 4, 4, 1, buf, &flipped));
    EXPECT_EQ(kelBADPARAMS, file.getTile(0, 0, 0, 4, 4, 1, nullptr));
    EXPECT_TRUE(file.gets.empty());
}

TEST(SetTile, PartlyCoveredPagesAreReadAndMerged)
{
    MemFile file(tenByTen, fourByFour);
    file.fill(pattern);
    std::vector<unsigned char> buf(16, 200);
    ASSERT_EQ(kelOKAY, file.setTile(3, 3, 0, 4, 4, 1, buf.data()));
    std::vector<std::array<int, 2>> expected = {{0, 0}, {4, 0}, {0, 4}, {4, 4}};
    EXPECT_EQ(expected, origins(file.gets));
    EXPECT_EQ(expected, origins(file.sets));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool written = x >= 3 && x < 7 && y >= 3 && y < 7;
            EXPECT_EQ(written ? 200 : pattern(x, y, 0, 0), file.at(x, y, 0, 0)) << x << "," << y;
        }
}

TEST(SetTile, WholeImageReadsNoPage)
{
    MemFile file(tenByTen, fourByFour);
    std::vector<unsigned char> buf(100);
    for (int i = 0; i < 100; ++i)
        buf[i] = (unsigned char)pattern(i % 10, i / 10, 0, 0);
    ASSERT_EQ(kelOKAY, file.setTile(0, 0, 0, 10, 10, 1, buf.data()));
    EXPECT_TRUE(file.gets.empty());
    EXPECT_EQ(9u, file.sets.size());
    expectInsideImage(file.sets, tenByTen);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(buf[i], file.at(i % 10, i / 10, 0, 0));
}

TEST(SetTile, WritingSomeChannelsKeepsTheOthers)
{
    MemFile file(kelSize(6, 6, 1, 3), kelSize(4, 4, 1, 3));
    file.fill(pattern);
    std::vector<unsigned char> green(36, 7);
    kelConfig one(kelUChar, kelInterleaved, 1, nullptr, 1);
    ASSERT_EQ(kelOKAY, file.setTile(0, 0, 0, 6, 6, 1, green.data(), &one));
    EXPECT_EQ(4u, file.gets.size()) << "every page holds channels the request does not write";
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(pattern(x, y, 0, 0), file.at(x, y, 0, 0));
            EXPECT_EQ(7, file.at(x, y, 0, 1));
            EXPECT_EQ(pattern(x, y, 0, 2), file.at(x, y, 0, 2));
        }

    int list[] = {2, 0};
    kelConfig two(kelUChar, kelInterleaved, 2, list);
    std::vector<unsigned char> redBlue(72, 9);
    file.forget();
    ASSERT_EQ(kelOKAY, file.setTile(0, 0, 0, 6, 6, 1, redBlue.data(), &two));
    EXPECT_EQ(4u, file.gets.size());
    EXPECT_EQ(9, file.at(5, 5, 0, 0));
    EXPECT_EQ(7, file.at(5, 5, 0, 1));
    EXPECT_EQ(9, file.at(5, 5, 0, 2));

    // All of a page's channels in the request: no read needed.
    int all[] = {1, 2, 0};
    kelConfig three(kelUChar, kelInterleaved, 3, all);
    std::vector<unsigned char> full(108, 3);
    file.forget();
    ASSERT_EQ(kelOKAY, file.setTile(0, 0, 0, 6, 6, 1, full.data(), &three));
    EXPECT_TRUE(file.gets.empty());
}

TEST(SetTile, SeparatePagesOfUnwrittenChannelsAreNotTouched)
{
    MemFile file(kelSize(4, 4, 1, 3), kelSize(4, 4, 1, 1), kelSeparate);
    file.fill(pattern);
    std::vector<unsigned char> buf(16, 1);
    kelConfig second(kelUChar, kelInterleaved, 1, nullptr, 1);
    ASSERT_EQ(kelOKAY, file.setTile(0, 0, 0, 4, 4, 1, buf.data(), &second));
    EXPECT_TRUE(file.gets.empty()) << "the page holds only the channel written";
    ASSERT_EQ(1u, file.sets.size());
    EXPECT_EQ(1, file.sets[0].c);
    EXPECT_EQ(pattern(2, 2, 0, 0), file.at(2, 2, 0, 0));
    EXPECT_EQ(1, file.at(2, 2, 0, 1));
}

TEST(SetTile, NeverWritesOutsideTheImage)
{
    MemFile file(tenByTen, fourByFour);
    file.fill(pattern);
    std::vector<unsigned char> buf(16, 77);
    ASSERT_EQ(kelOKAY, file.setTile(8, 8, 0, 4, 4, 1, buf.data()));
    ASSERT_EQ(1u, file.sets.size());
    EXPECT_EQ(8, file.sets[0].x);
    EXPECT_EQ(8, file.sets[0].y);
    EXPECT_EQ(2, file.sets[0].nx);
    EXPECT_EQ(2, file.sets[0].ny);
    EXPECT_TRUE(file.gets.empty()) << "the request covers the page up to the image edge";
    EXPECT_EQ(77, file.at(9, 9, 0, 0));
    EXPECT_EQ(pattern(7, 9, 0, 0), file.at(7, 9, 0, 0));

    file.forget();
    std::vector<unsigned char> big(20 * 20, 5);
    ASSERT_EQ(kelOKAY, file.setTile(-5, -5, 0, 20, 20, 1, big.data()));
    EXPECT_EQ(9u, file.sets.size());
    expectInsideImage(file.sets, tenByTen);
    EXPECT_TRUE(file.gets.empty());
    EXPECT_EQ(5, file.at(0, 0, 0, 0));
    EXPECT_EQ(5, file.at(9, 9, 0, 0));

    file.forget();
    ASSERT_EQ(kelOKAY, file.setTile(-8, 3, 0, 4, 4, 1, buf.data()));
    EXPECT_TRUE(file.sets.empty());
}

TEST(GetTile, ChannelsBeyondTheImageReachNoPage)
{
    MemFile file(kelSize(4, 4, 1, 3), kelSize(4, 4, 1, 1), kelSeparate);
    file.fill(pattern);
    std::vector<unsigned char> buf(4 * 4 * 2, 0xee);
    kelConfig lastAndBeyond(kelUChar, kelInterleaved, 2, nullptr, 2);
    ASSERT_EQ(kelOKAY, file.getTile(0, 0, 0, 4, 4, 1, buf.data(), &lastAndBeyond));
    ASSERT_EQ(1u, file.gets.size());
    EXPECT_EQ(2, file.gets[0].c);
    EXPECT_EQ(pattern(1, 1, 0, 2), buf[2 * 5]);
    EXPECT_EQ(0xee, buf[2 * 5 + 1]);

    int list[] = {7, -4, 0};
    kelConfig listed(kelUChar, kelInterleaved, 3, list);
    std::vector<unsigned char> three(4 * 4 * 3, 0xee);
    file.forget();
    ASSERT_EQ(kelOKAY, file.getTile(0, 0, 0, 4, 4, 1, three.data(), &listed));
    expectInsideImage(file.gets, kelSize(4, 4, 1, 3));
    EXPECT_EQ(1u, file.gets.size());
    EXPECT_EQ(0xee, three[0]);
    EXPECT_EQ(pattern(0, 0, 0, 0), three[2]);

    kelConfig below(kelUChar, kelInterleaved, 2, nullptr, -1);
    file.forget();
    ASSERT_EQ(kelOKAY, file.setTile(0, 0, 0, 4, 4, 1, buf.data(), &below));
    EXPECT_EQ(1u, file.sets.size());
    expectInsideImage(file.sets, kelSize(4, 4, 1, 3));
}

TEST(TileTransfer, CallerBufferThatIsOnePageTakesItDirectly)
{
    MemFile file(kelSize(10, 10, 1, 3), kelSize(4, 4, 1, 3));
    file.fill(pattern);
    std::vector<unsigned char> buf(4 * 4 * 3);
    ASSERT_EQ(kelOKAY, file.getTile(4, 4, 0, 4, 4, 1, buf.data()));
    ASSERT_EQ(1u, file.gets.size());
    EXPECT_EQ(buf.data(), file.gets[0].data);
    EXPECT_EQ(pattern(5, 6, 0, 2), buf[((6 - 4) * 4 + 1) * 3 + 2]);

    std::fill(buf.begin(), buf.end(), 42);
    ASSERT_EQ(kelOKAY, file.setTile(4, 0, 0, 4, 4, 1, buf.data()));
    ASSERT_EQ(1u, file.sets.size());
    EXPECT_EQ(buf.data(), file.sets[0].data);
    EXPECT_EQ(1u, file.gets.size()) << "a page written whole is not read";
    EXPECT_EQ(42, file.at(7, 3, 0, 1));
}

TEST(TileTransfer, OtherLayoutsOrEdgePagesGoThroughThePageBuffer)
{
    MemFile file(kelSize(10, 10, 1, 3), kelSize(4, 4, 1, 3));
    file.fill(pattern);
    std::vector<unsigned char> buf(4 * 4 * 3, 0xee);
    kelConfig sequential(kelUChar, kelSequential, 3);
    kelConfig flipped(kelUChar, kelInterleaved, 3, nullptr, 0, kelUpperLeftOrigin);
    int swapped[] = {1, 0, 2};
    kelConfig reordered(kelUChar, kelInterleaved, 3, swapped);
    for (const kelConfig* cfg : {&sequential, &reordered}) {
        file.forget();
        ASSERT_EQ(kelOKAY, file.getTile(4, 4, 0, 4, 4, 1, buf.data(), cfg));
        ASSERT_EQ(1u, file.gets.size());
        EXPECT_NE(buf.data(), file.gets[0].data);
    }
    EXPECT_EQ(pattern(4, 4, 0, 1), buf[0]);
    EXPECT_EQ(pattern(4, 4, 0, 0), buf[1]);

    // Seen from the top, the page's rows 4..7 are rows 2..5: the page is read
    // into the caller's buffer and its rows are turned over there.
    file.forget();
    ASSERT_EQ(kelOKAY, file.getTile(4, 2, 0, 4, 4, 1, buf.data(), &flipped));
    ASSERT_EQ(1u, file.gets.size());
    EXPECT_EQ(buf.data(), file.gets[0].data);
    EXPECT_EQ(pattern(5, 7, 0, 2), buf[1 * 3 + 2]);
    EXPECT_EQ(pattern(6, 4, 0, 1), buf[(3 * 4 + 2) * 3 + 1]);
    // Writing must leave the caller's buffer as it is: the page buffer takes
    // the turned rows.
    file.forget();
    ASSERT_EQ(kelOKAY, file.setTile(4, 2, 0, 4, 4, 1, buf.data(), &flipped));
    ASSERT_EQ(1u, file.sets.size());
    EXPECT_NE(buf.data(), file.sets[0].data);
    EXPECT_EQ(pattern(5, 7, 0, 2), file.at(5, 7, 0, 2));

    // The page at the edge reaches beyond the image: the caller's pixels
    // there stay as they are.
    file.forget();
    std::fill(buf.begin(), buf.end(), 0xee);
    ASSERT_EQ(kelOKAY, file.getTile(8, 8, 0, 4, 4, 1, buf.data()));
    EXPECT_NE(buf.data(), file.gets[0].data);
    EXPECT_EQ(pattern(9, 9, 0, 0), buf[(1 * 4 + 1) * 3]);
    EXPECT_EQ(0xee, buf[(2 * 4 + 2) * 3]);
}

TEST(SetTile, PagesNotYetInTheFileStartBlank)
{
    MemFile file(kelSize(8, 4, 1, 1), fourByFour);
    file.fill([](int, int, int, int) { return 77; });
    file.shortReads = true;
    std::vector<unsigned char> buf(16, 9);
    ASSERT_EQ(kelOKAY, file.setTile(2, 0, 0, 4, 4, 1, buf.data()));
    ASSERT_EQ(2u, file.gets.size());
    EXPECT_EQ(9, file.at(5, 2, 0, 0));
    EXPECT_EQ(0, file.at(6, 2, 0, 0)) << "not the previous page's pixels";
    EXPECT_EQ(0, file.at(1, 2, 0, 0));
}

TEST(GetTile, SpareChannelsOfTheLastPageStayOut)
{
    // Pages of 3 channels over 5: the second group's third channel is none.
    MemFile file(kelSize(4, 4, 1, 5), kelSize(4, 4, 1, 3));
    file.fill(pattern);
    std::vector<unsigned char> buf(4 * 4 * 3, 0xee);
    kelConfig lastThree(kelUChar, kelInterleaved, 3, nullptr, 3);
    ASSERT_EQ(kelOKAY, file.getTile(0, 0, 0, 4, 4, 1, buf.data(), &lastThree));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(pattern(i % 4, i / 4, 0, 3), buf[3 * i]);
        EXPECT_EQ(pattern(i % 4, i / 4, 0, 4), buf[3 * i + 1]);
        EXPECT_EQ(0xee, buf[3 * i + 2]) << i;
    }
}
