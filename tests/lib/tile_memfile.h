// An image file held in memory for tile tests: pages of unsigned chars
// stored one after another (x pages fastest, then y, z and channel
// groups), with every page transfer recorded.
#ifndef KEL_TESTS_TILE_MEMFILE_H
#define KEL_TESTS_TILE_MEMFILE_H

#include <string.h>

#include <vector>

#include <kel/kel.h>
#include <kel/kelFile.h>

struct PageCall {
    int x, y, z, c, nx, ny, nz, nc;
    const void* data;
};

class MemFile : public kelFile {
public:
    // Sizes are given in the file's own orientation.
    MemFile(const kelSize& imageSize, const kelSize& pgSize, kelOrder ord = kelInterleaved,
            kelOrientation ori = kelLowerLeftOrigin, kelDataType type = kelUChar)
    {
        size = imageSize;
        pageSize = pgSize;
        dtype = type;
        order = ord;
        orientation = ori;
        cm = kelMultiSpectral;
        compression = kelNoCompression;
        fd = -1;
        accessmode = 2;
        format = nullptr;
        formatArgs = nullptr;
    }

    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override
    {
        gets.push_back({x, y, z, c, nx, ny, nz, nc, data});
        if (failGetAt >= 0 && int(gets.size()) > failGetAt)
            return kelSystemStatus(kelREADFAILED);
        if (isOnPage(x, y, z, c) && !shortReads)
            memcpy(data, page(x, y, z, c), pageBytes());
        return kelOKAY;
    }

    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override
    {
        sets.push_back({x, y, z, c, nx, ny, nz, nc, data});
        if (isOnPage(x, y, z, c))
            memcpy(page(x, y, z, c), data, pageBytes());
        return kelOKAY;
    }

    // The stored element of pixel (x, y, z) and channel ch.
    unsigned char& at(int x, int y, int z, int ch)
    {
        unsigned char* p = page(x - x % pageSize.x, y - y % pageSize.y, z - z % pageSize.z, ch - ch % pageSize.c);
        int lx = x % pageSize.x, ly = y % pageSize.y, lz = z % pageSize.z, lc = ch % pageSize.c;
        int px = pageSize.x, py = pageSize.y, pc = pageSize.c;
        switch (order) {
        case kelInterleaved:
            return p[((lz * py + ly) * px + lx) * pc + lc];
        case kelSequential:
            return p[((lz * py + ly) * pc + lc) * px + lx];
        default:
            return p[((lz * pc + lc) * py + ly) * px + lx];
        }
    }

    // Fills every pixel of the image with value(x, y, z, ch).
    template <class F>
    void fill(F value)
    {
        for (int ch = 0; ch < size.c; ++ch)
            for (int z = 0; z < size.z; ++z)
                for (int y = 0; y < size.y; ++y)
                    for (int x = 0; x < size.x; ++x)
                        at(x, y, z, ch) = (unsigned char)value(x, y, z, ch);
    }

    void forget()
    {
        gets.clear();
        sets.clear();
    }

    std::vector<PageCall> gets, sets;
    int failGetAt = -1;      // the getPage call (counted from 0) from which on reading fails
    bool shortReads = false; // getPage succeeds without filling the buffer (pages past the end)

protected:
    kelStatus openFile() override { return kelOKAY; }
    kelStatus closeFile() override { return kelOKAY; }

private:
    size_t pageBytes() const { return size_t(pageSize.x) * pageSize.y * pageSize.z * pageSize.c; }
    int pagesAlong(int n, int p) const { return (n - 1) / p + 1; }

    // A page origin on the grid and inside the image.
    bool isOnPage(int x, int y, int z, int c) const
    {
        return x >= 0 && y >= 0 && z >= 0 && c >= 0 && x < size.x && y < size.y && z < size.z && c < size.c &&
               x % pageSize.x == 0 && y % pageSize.y == 0 && z % pageSize.z == 0 && c % pageSize.c == 0;
    }

    unsigned char* page(int x, int y, int z, int c)
    {
        int cx = pagesAlong(size.x, pageSize.x), cy = pagesAlong(size.y, pageSize.y);
        int cz = pagesAlong(size.z, pageSize.z), cc = pagesAlong(size.c, pageSize.c);
        if (store.empty())
            store.assign(pageBytes() * cx * cy * cz * cc, 0);
        size_t k = x / pageSize.x + size_t(cx) * (y / pageSize.y + size_t(cy) * (z / pageSize.z + size_t(cz) * (c / pageSize.c)));
        return store.data() + k * pageBytes();
    }

    std::vector<unsigned char> store;
};

#endif
