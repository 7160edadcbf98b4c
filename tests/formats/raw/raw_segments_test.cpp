// Tiles whose caller's buffer holds the file's own layout: long rows move
// straight between the file and the caller's buffer, short ones through the
// page buffer. Either way the pixels must be the file's.
#include <kel/kel.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "raw_test_support.h"

namespace {

struct SegmentCase {
    const char* label;
    int w, h, nc, pw, ph;
    int elem;           // bytes per element: 1 (uchar) or 2 (ushort)
    int bx, by, bw, bh; // the request, in the caller's orientation
    bool upright;       // the caller's orientation is lower-left, the file's upper-left
    size_t keep;        // bytes of the file kept (0: all), the rest cut off
};

void PrintTo(const SegmentCase& c, std::ostream* os)
{
    *os << c.label;
}

unsigned fileValue(const SegmentCase& c, long x, long y, int k)
{
    return unsigned(x * 7 + y * 131 + y / 251 + k * 5) & (c.elem == 1 ? 0xffu : 0xffffu);
}

unsigned callerValue(const SegmentCase& c, long i)
{
    return unsigned(i * 3 + 1) & (c.elem == 1 ? 0xffu : 0xffffu);
}

// Byte offset of element (x, y, k) in the file: interleaved pages, one after another.
size_t fileOffset(const SegmentCase& c, long x, long y, int k)
{
    long pagesAcross = (c.w + c.pw - 1) / c.pw;
    long page = (y / c.ph) * pagesAcross + x / c.pw;
    long inPage = ((y % c.ph) * c.pw + x % c.pw) * c.nc + k;
    return size_t(page * c.pw * c.ph * c.nc + inPage) * size_t(c.elem);
}

void put(std::string& bytes, size_t at, unsigned v, int elem)
{
    memcpy(&bytes[at], &v, size_t(elem)); // little endian
}

unsigned get(const unsigned char* bytes, size_t at, int elem)
{
    unsigned v = 0;
    memcpy(&v, bytes + at, size_t(elem));
    return v;
}

std::string fileImage(const SegmentCase& c)
{
    long pagesAcross = (c.w + c.pw - 1) / c.pw, pagesDown = (c.h + c.ph - 1) / c.ph;
    std::string bytes(size_t(pagesAcross * pagesDown * c.pw * c.ph * c.nc * c.elem), char(0xAB));
    for (long y = 0; y < c.h; y++)
        for (long x = 0; x < c.w; x++)
            for (int k = 0; k < c.nc; k++)
                put(bytes, fileOffset(c, x, y, k), fileValue(c, x, y, k), c.elem);
    return c.keep ? bytes.substr(0, c.keep) : bytes;
}

std::string rawName(const std::string& path, const SegmentCase& c)
{
    return path + "#Raw%size=" + std::to_string(c.w) + "," + std::to_string(c.h) + ",1," + std::to_string(c.nc) +
           "%pagesize=" + std::to_string(c.pw) + "," + std::to_string(c.ph) + "%type=" +
           (c.elem == 1 ? "uchar" : "ushort") + "%order=interleaved%orientation=tl";
}

// The file row that row j of the caller's box shows.
long fileRow(const SegmentCase& c, int j)
{
    return c.upright ? c.h - 1 - (c.by + j) : c.by + j;
}

kelConfig callerLayout(const SegmentCase& c)
{
    return kelConfig(c.elem == 1 ? kelUChar : kelUShort, kelInterleaved, c.nc, nullptr, 0,
                     c.upright ? kelLowerLeftOrigin : kelUpperLeftOrigin);
}

class RawSegments : public ::testing::TestWithParam<SegmentCase> {
protected:
    ScratchDir dir;
};

} // namespace

TEST_P(RawSegments, GetTileGivesTheFilesPixels)
{
    const SegmentCase c = GetParam();
    const std::string file = fileImage(c);
    const std::string name = rawName(dir.write("g.raw", file), c);
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        kelConfig cfg = callerLayout(c);
        size_t row = size_t(c.bw) * c.nc * c.elem;
        // One element past an aligned start: the caller's rows lie anywhere.
        std::vector<unsigned char> storage(row * c.bh + 64, 0x5A);
        unsigned char* buf = storage.data() + c.elem;
        CHILD_EXPECT_EQ(f->getTile(c.bx, c.by, 0, c.bw, c.bh, 1, buf, &cfg), kelOKAY);
        int wrong = 0;
        for (int j = 0; j < c.bh; j++)
            for (int i = 0; i < c.bw; i++)
                for (int k = 0; k < c.nc; k++) {
                    size_t at = fileOffset(c, c.bx + i, fileRow(c, j), k);
                    unsigned want = at < file.size() ? fileValue(c, c.bx + i, fileRow(c, j), k) : 0;
                    wrong += get(buf, j * row + (size_t(i) * c.nc + k) * c.elem, c.elem) != want;
                }
        CHILD_EXPECT_EQ(wrong, 0);
        CHILD_EXPECT_EQ(storage[0], 0x5A);
        CHILD_EXPECT_EQ(storage[c.elem + row * c.bh], 0x5A);
        f->close();
    });
}

TEST_P(RawSegments, SetTileWritesTheRequestAndKeepsTheRest)
{
    const SegmentCase c = GetParam();
    const std::string file = fileImage(c);
    const std::string path = dir.write("s.raw", file), name = rawName(path, c);
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(name.c_str(), O_RDWR, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        kelConfig cfg = callerLayout(c);
        size_t elems = size_t(c.bw) * c.bh * c.nc;
        std::vector<unsigned char> storage(elems * c.elem + 64);
        unsigned char* buf = storage.data() + c.elem;
        for (size_t i = 0; i < elems; i++) {
            unsigned v = callerValue(c, long(i));
            memcpy(buf + i * c.elem, &v, size_t(c.elem));
        }
        CHILD_EXPECT_EQ(f->setTile(c.bx, c.by, 0, c.bw, c.bh, 1, buf, &cfg), kelOKAY);
        f->close();
        std::vector<unsigned char> written = fileBytes(path);
        std::vector<unsigned> want(size_t(c.w) * c.h * c.nc);
        for (long y = 0; y < c.h; y++)
            for (long x = 0; x < c.w; x++)
                for (int k = 0; k < c.nc; k++) {
                    size_t at = fileOffset(c, x, y, k);
                    want[(size_t(y) * c.w + x) * c.nc + k] = at < file.size() ? fileValue(c, x, y, k) : 0;
                }
        for (int j = 0; j < c.bh; j++)
            for (int i = 0; i < c.bw; i++)
                for (int k = 0; k < c.nc; k++)
                    want[(size_t(fileRow(c, j)) * c.w + c.bx + i) * c.nc + k] =
                        callerValue(c, long((size_t(j) * c.bw + i) * c.nc + k));
        int wrong = 0;
        for (long y = 0; y < c.h; y++)
            for (long x = 0; x < c.w; x++)
                for (int k = 0; k < c.nc; k++) {
                    size_t at = fileOffset(c, x, y, k);
                    wrong += at + c.elem > written.size() || get(written.data(), at, c.elem) !=
                                                                 want[(size_t(y) * c.w + x) * c.nc + k];
                }
        CHILD_EXPECT_EQ(wrong, 0);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RawSegments,
    ::testing::Values(
        SegmentCase{"whole rows, last page partly outside", 1501, 37, 3, 1501, 16, 1, 0, 0, 1501, 37, false, 0},
        SegmentCase{"box inside wide pages, upright", 1501, 37, 3, 1501, 16, 1, 3, 5, 1490, 30, true, 0},
        SegmentCase{"pages narrower than the image", 2003, 21, 3, 1400, 8, 1, 0, 0, 2003, 21, false, 0},
        SegmentCase{"odd width of unsigned shorts", 1025, 19, 2, 1025, 7, 2, 1, 2, 1024, 16, true, 0},
        SegmentCase{"more rows than one system call takes", 2100, 1100, 2, 2048, 1100, 1, 0, 0, 2100, 1100, false, 0},
        SegmentCase{"file shorter than its pages", 1501, 37, 3, 1501, 16, 1, 0, 0, 1501, 37, false, 100000}),
    [](const ::testing::TestParamInfo<SegmentCase>& info) { return "Case" + std::to_string(info.index); });

namespace {

// An image read upright from a file stored top row first. Where it is one
// page, the page goes into the caller's buffer, whose rows are then turned
// over in place.
struct WholePageCase {
    kelOrder order;
    const char* orderName;
    int w, h, d, nc;
};

void PrintTo(const WholePageCase& c, std::ostream* os)
{
    *os << c.orderName << " " << c.w << "x" << c.h << "x" << c.d << "x" << c.nc;
}

// Element index of (x, y, z, k) in a block of the case's order.
long blockIndex(const WholePageCase& c, long x, long y, long z, long k)
{
    if (c.order == kelInterleaved)
        return ((z * c.h + y) * c.w + x) * c.nc + k;
    if (c.order == kelSequential)
        return ((z * c.h + y) * c.nc + k) * c.w + x;
    return ((z * c.nc + k) * c.h + y) * c.w + x;
}

// Raw files keep separate channels in pages of one channel, every slice of a
// channel before the next channel.
long fileIndex(const WholePageCase& c, long x, long y, long z, long k)
{
    if (c.order == kelSeparate)
        return ((k * c.d + z) * c.h + y) * c.w + x;
    return blockIndex(c, x, y, z, k);
}

class RawWholePage : public ::testing::TestWithParam<WholePageCase> {
protected:
    ScratchDir dir;
};

} // namespace

TEST_P(RawWholePage, UprightReadTurnsTheRowsOver)
{
    const WholePageCase c = GetParam();
    size_t elems = size_t(c.w) * c.h * c.d * c.nc;
    std::string file(elems * 2, '\0');
    for (size_t i = 0; i < elems; i++) {
        uint16_t v = uint16_t(i * 3 + 1);
        memcpy(&file[2 * i], &v, 2);
    }
    const std::string name = dir.write("w.raw", file) + "#Raw%size=" + std::to_string(c.w) + "," +
                             std::to_string(c.h) + "," + std::to_string(c.d) + "," + std::to_string(c.nc) +
                             "%pagesize=" + std::to_string(c.w) + "," + std::to_string(c.h) + "," +
                             std::to_string(c.d) + "%type=ushort%order=" + c.orderName + "%orientation=tl";
    EXPECT_RAW_CHILD({
        kelStatus sts = -1;
        kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
        CHILD_EXPECT(f != nullptr);
        if (!f)
            return;
        kelConfig cfg(kelUShort, c.order, c.nc, nullptr, 0, kelLowerLeftOrigin);
        std::vector<uint16_t> buf(elems, 0xBEEF);
        CHILD_EXPECT_EQ(f->getTile(0, 0, 0, c.w, c.h, c.d, buf.data(), &cfg), kelOKAY);
        int wrong = 0;
        for (long z = 0; z < c.d; z++)
            for (long y = 0; y < c.h; y++)
                for (long x = 0; x < c.w; x++)
                    for (long k = 0; k < c.nc; k++)
                        wrong += buf[size_t(blockIndex(c, x, y, z, k))] !=
                                 uint16_t(fileIndex(c, x, c.h - 1 - y, z, k) * 3 + 1);
        CHILD_EXPECT_EQ(wrong, 0);
        f->close();
    });
}

INSTANTIATE_TEST_SUITE_P(Orders, RawWholePage,
                         ::testing::Values(WholePageCase{kelInterleaved, "interleaved", 37, 9, 1, 3},
                                           WholePageCase{kelInterleaved, "interleaved", 5000, 4, 2, 1},
                                           WholePageCase{kelSequential, "sequential", 13, 6, 2, 3},
                                           WholePageCase{kelSeparate, "separate", 11, 7, 2, 4},
                                           WholePageCase{kelSeparate, "separate", 9, 5, 3, 1}),
                         [](const ::testing::TestParamInfo<WholePageCase>& info) {
                             return "Case" + std::to_string(info.index);
                         });
