// Random tiles against a pixel-by-pixel model: every geometry, page size,
// channel selection, order and pair of orientations must give what mapping
// each caller pixel on its own gives.
#include <random>
#include <vector>

#include <gtest/gtest.h>
#include <kel/kel.h>

#include "tile_memfile.h"

namespace {

struct Case {
    kelSize size, page;
    kelOrder fileOrder, callerOrder;
    kelOrientation fileOri, callerOri; // callerOri 0: the file's own
    kelDataType callerType;
    int x, y, z, nx, ny, nz;           // the box as the caller sees it
    int nc, choff;
    std::vector<int> list;             // empty: no list
};

const kelOrder orders[] = {kelInterleaved, kelSequential, kelSeparate};

Case randomCase(std::mt19937& rng)
{
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Case k;
    k.size = kelSize(pick(1, 11), pick(1, 11), pick(1, 3), pick(1, 5));
    k.page = kelSize(pick(1, 5), pick(1, 5), pick(1, 2), pick(1, k.size.c));
    k.fileOrder = orders[pick(0, 2)];
    k.callerOrder = orders[pick(0, 2)];
    k.fileOri = kelOrientation(pick(1, 8));
    k.callerOri = kelOrientation(pick(0, 8));
    k.callerType = pick(0, 1) ? kelUChar : kelUShort;
    // Seen by the caller, x and y of a transposed pair are swapped.
    int w = k.size.x, h = k.size.y;
    if (k.callerOri && kelOrientationIsTrans[k.callerOri] != kelOrientationIsTrans[k.fileOri])
        std::swap(w, h);
    k.x = pick(-3, w);
    k.y = pick(-3, h);
    k.z = pick(-1, k.size.z - 1);
    k.nx = pick(1, w + 4);
    k.ny = pick(1, h + 4);
    k.nz = pick(1, k.size.z + 1);
    k.nc = pick(1, k.size.c + 1);
    k.choff = pick(-1, k.size.c - 1);
    if (pick(0, 1)) {
        std::vector<int> chans;
        for (int c = -1; c <= k.size.c; ++c)
            chans.push_back(c);
        std::shuffle(chans.begin(), chans.end(), rng);
        k.list.assign(chans.begin(), chans.begin() + std::min<size_t>(k.nc, chans.size()));
        k.nc = int(k.list.size());
    }
    return k;
}

// Element index of caller pixel (bx, by, bz) and caller channel ch in the
// caller's buffer, which is laid out in the caller's own orientation.
size_t callerIndex(const Case& k, int bx, int by, int bz, int ch)
{
    switch (k.nc > 1 ? k.callerOrder : kelSeparate) {
    case kelInterleaved:
        return ((size_t(bz) * k.ny + by) * k.nx + bx) * k.nc + ch;
    case kelSequential:
        return ((size_t(bz) * k.ny + by) * k.nc + ch) * k.nx + bx;
    default:
        return ((size_t(bz) * k.nc + ch) * k.ny + by) * k.nx + bx;
    }
}

// With a list, the tile path does not use the channel offset.
int imageChannel(const Case& k, int ch)
{
    return k.list.empty() ? k.choff + ch : k.list[ch];
}

// Calls visit(buffer index, file x, y, z, c) for every caller element
// that shows a pixel of the image.
template <class F>
void forEachImagePixel(const Case& k, F visit)
{
    for (int bz = 0; bz < k.nz; ++bz)
        for (int by = 0; by < k.ny; ++by)
            for (int bx = 0; bx < k.nx; ++bx)
                for (int ch = 0; ch < k.nc; ++ch) {
                    int fx = k.x + bx, fy = k.y + by, fz = k.z + bz, fc = imageChannel(k, ch);
                    if (k.callerOri)
                        kelMapXY(k.callerOri, fx, fy, k.fileOri, k.size);
                    if (fx >= 0 && fy >= 0 && fz >= 0 && fc >= 0 && fx < k.size.x && fy < k.size.y &&
                        fz < k.size.z && fc < k.size.c)
                        visit(callerIndex(k, bx, by, bz, ch), fx, fy, fz, fc);
                }
}

int pixelValue(int x, int y, int z, int c)
{
    return (x * 5 + y * 19 + z * 41 + c * 67 + 11) & 0xff;
}

std::vector<unsigned short> readBack(const Case& k, MemFile& file, const kelConfig& cfg, kelStatus& st)
{
    size_t n = size_t(k.nx) * k.ny * k.nz * k.nc;
    std::vector<unsigned short> out(n, 0xabc);
    std::vector<unsigned char> bytes(n, 0xcd);
    if (k.callerType == kelUShort) {
        st = file.getTile(k.x, k.y, k.z, k.nx, k.ny, k.nz, out.data(), &cfg);
    } else {
        st = file.getTile(k.x, k.y, k.z, k.nx, k.ny, k.nz, bytes.data(), &cfg);
        out.assign(bytes.begin(), bytes.end());
    }
    return out;
}

} // namespace

TEST(TileRandom, GetTileMatchesThePixelModel)
{
    std::mt19937 rng(20261207);
    for (int round = 0; round < 1000; ++round) {
        Case k = randomCase(rng);
        SCOPED_TRACE(testing::Message() << "round " << round);
        MemFile file(k.size, k.page, k.fileOrder, k.fileOri);
        file.fill(pixelValue);
        kelConfig cfg(k.callerType, k.callerOrder, k.nc, k.list.empty() ? nullptr : k.list.data(), k.choff, k.callerOri);
        kelStatus st = -1;
        std::vector<unsigned short> got = readBack(k, file, cfg, st);
        ASSERT_EQ(kelOKAY, st);
        unsigned short untouched = k.callerType == kelUShort ? 0xabc : 0xcd;
        std::vector<unsigned short> expected(got.size(), untouched);
        forEachImagePixel(k, [&](size_t i, int x, int y, int z, int c) { expected[i] = (unsigned short)pixelValue(x, y, z, c); });
        ASSERT_EQ(expected, got);
        for (const PageCall& p : file.gets)
            ASSERT_TRUE(p.x >= 0 && p.y >= 0 && p.z >= 0 && p.c >= 0 && p.x < k.size.x && p.y < k.size.y &&
                        p.z < k.size.z && p.c < k.size.c);
    }
}

TEST(TileRandom, SetTileChangesExactlyTheModelsPixels)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 1000; ++round) {
        Case k = randomCase(rng);
        SCOPED_TRACE(testing::Message() << "round " << round);
        MemFile file(k.size, k.page, k.fileOrder, k.fileOri);
        file.fill(pixelValue);
        size_t n = size_t(k.nx) * k.ny * k.nz * k.nc;
        std::vector<unsigned short> wide(n);
        std::vector<unsigned char> narrow(n);
        for (size_t i = 0; i < n; ++i)
            narrow[i] = (unsigned char)(wide[i] = (unsigned short)(200 + i % 50));
        kelConfig cfg(k.callerType, k.callerOrder, k.nc, k.list.empty() ? nullptr : k.list.data(), k.choff, k.callerOri);
        const void* data = k.callerType == kelUShort ? (const void*)wide.data() : (const void*)narrow.data();
        ASSERT_EQ(kelOKAY, file.setTile(k.x, k.y, k.z, k.nx, k.ny, k.nz, data, &cfg));

        // The model: the original picture with the caller's pixels written.
        std::vector<int> model(size_t(k.size.x) * k.size.y * k.size.z * k.size.c);
        auto at = [&](int x, int y, int z, int c) -> int& {
            return model[((size_t(c) * k.size.z + z) * k.size.y + y) * k.size.x + x];
        };
        for (int c = 0; c < k.size.c; ++c)
            for (int z = 0; z < k.size.z; ++z)
                for (int y = 0; y < k.size.y; ++y)
                    for (int x = 0; x < k.size.x; ++x)
                        at(x, y, z, c) = pixelValue(x, y, z, c);
        forEachImagePixel(k, [&](size_t i, int x, int y, int z, int c) { at(x, y, z, c) = narrow[i]; });
        for (int c = 0; c < k.size.c; ++c)
            for (int z = 0; z < k.size.z; ++z)
                for (int y = 0; y < k.size.y; ++y)
                    for (int x = 0; x < k.size.x; ++x)
                        ASSERT_EQ(at(x, y, z, c), file.at(x, y, z, c)) << x << "," << y << "," << z << "," << c;
        for (const PageCall& p : file.sets)
            ASSERT_TRUE(p.x >= 0 && p.y >= 0 && p.z >= 0 && p.c >= 0 && p.x < k.size.x && p.y < k.size.y &&
                        p.z < k.size.z && p.c < k.size.c);
    }
}
