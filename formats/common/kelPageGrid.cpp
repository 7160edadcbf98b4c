#include "kelPageGrid.h"

#include <kel/kelDataSize.h>

#include <stdint.h>
#include <string.h>

int kelPageGrid::isInside(int x, int y, int z, int c) const
{
    return x >= 0 && x < size.x && y >= 0 && y < size.y && z >= 0 && z < size.z && c >= 0 && c < size.c;
}

off_t kelPageGrid::offset(int x, int y, int z, int c) const
{
    const long long ix = x / page.x, iy = y / page.y, iz = z / page.z, ic = c / page.c;
    return off_t(dataOffset) + off_t(ix + count.x * (iy + count.y * (iz + count.z * ic))) * off_t(pageBytes);
}

namespace {

// Element steps of a page in x, y, z and c.
struct Steps {
    uint64_t x, y, z, c;
};

int stepsOf(kelOrder order, const kelSize& page, Steps& s)
{
    const uint64_t px = uint64_t(page.x), py = uint64_t(page.y), pc = uint64_t(page.c);
    s.z = pc * px * py;
    switch (order) {
    case kelInterleaved:
        s.x = pc, s.y = pc * px, s.c = 1;
        return 1;
    case kelSequential:
        s.x = 1, s.y = px * pc, s.c = px;
        return 1;
    case kelSeparate:
        s.x = 1, s.y = px, s.c = px * py;
        return 1;
    default:
        return 0;
    }
}

// The bytes holding elements first .. last.
void byteRange(kelDataType type, uint64_t first, uint64_t last, uint64_t& at, uint64_t& end)
{
    const uint64_t size = type == kelBit ? 0 : kelDataSize(type, 1);
    at = size ? first * size : first / 8;
    end = size ? (last + 1) * size : (last + 8) / 8;
}

// One stretch per row of each channel (a row carries every channel when
// channels are interleaved), visited in increasing order with neighbours
// joined: z slices hold channel planes (separate) or rows (sequential,
// interleaved), and rows hold channels (sequential) or pixels.
int visitRows(kelDataType type, kelOrder order, const Steps& s, const kelSize& n,
              const std::function<int(size_t, size_t)>& visit)
{
    const bool planes = order == kelSeparate, interleaved = order == kelInterleaved;
    // Interleaved pixels with more channels than the image are visited one
    // by one.
    const bool sparse = interleaved && s.x > uint64_t(n.c);
    const int outer = planes ? n.c : n.y, inner = planes ? n.y : !interleaved ? n.c : sparse ? n.x : 1;
    const uint64_t outerStep = planes ? s.c : s.y, innerStep = planes ? s.y : interleaved ? s.x : s.c;
    const uint64_t rowLast =
        interleaved ? (sparse ? 0 : uint64_t(n.x - 1) * s.x) + uint64_t(n.c - 1) : uint64_t(n.x - 1) * s.x;
    uint64_t runAt = 0, runEnd = 0;
    for (int z = 0; z < n.z; z++)
        for (int o = 0; o < outer; o++)
            for (int i = 0; i < inner; i++) {
                const uint64_t first = z * s.z + o * outerStep + i * innerStep;
                uint64_t at, end;
                byteRange(type, first, first + rowLast, at, end);
                if (runEnd > 0 && at <= runEnd) {
                    runEnd = end;
                    continue;
                }
                if (runEnd > 0 && visit(size_t(runAt), size_t(runEnd - runAt)))
                    return 1;
                runAt = at, runEnd = end;
            }
    return visit(size_t(runAt), size_t(runEnd - runAt));
}

} // namespace

int kelPageStretches(kelDataType type, kelOrder order, const kelSize& page, size_t pageBytes, const kelSize& inside,
                     const std::function<int(size_t at, size_t bytes)>& visit)
{
    const kelSize& n = inside;
    Steps s;
    if (n.x < 1 || n.y < 1 || n.z < 1 || n.c < 1 || n.x > page.x || n.y > page.y || n.z > page.z || n.c > page.c ||
        !stepsOf(order, page, s))
        return visit(0, pageBytes);
    const uint64_t last = uint64_t(n.x - 1) * s.x + uint64_t(n.y - 1) * s.y + uint64_t(n.z - 1) * s.z +
                          uint64_t(n.c - 1) * s.c;
    const uint64_t elements = uint64_t(n.x) * uint64_t(n.y) * uint64_t(n.z) * uint64_t(n.c);
    uint64_t at, end, held;
    byteRange(type, 0, last, at, end);
    byteRange(type, 0, elements - 1, at, held);
    if (end <= 4 * held + 4096)
        return visit(0, size_t(end < pageBytes ? end : pageBytes));
    return visitRows(type, order, s, n, visit);
}

int kelPageGrid::readInside(void* data, kelDataType type, kelOrder order, const kelSize& origin, const kelSize& inside,
                            const Read& read, const Held& held) const
{
    const off_t start = offset(origin.x, origin.y, origin.z, origin.c);
    char* bytes = static_cast<char*>(data);
    auto readStretch = [&](size_t at, size_t count) {
        ssize_t n = read(bytes + at, count, start + off_t(at));
        if (n < 0)
            return 1;
        memset(bytes + at + n, 0, count - size_t(n));
        if (held)
            held(bytes + at, size_t(n));
        return 0;
    };
    // By reference: a page's read allocates nothing.
    return kelPageStretches(type, order, page, pageBytes, inside, std::ref(readStretch)) ? -1 : 0;
}
