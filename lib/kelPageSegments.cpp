#include "kelPageSegments.h"

#include <algorithm>

#include <kel/kelDataSize.h>

static long kelImageChannel(const kelConverter& c, int i)
{
    return c.cList ? c.cList[i] : long(c.cStart) + i;
}

// Rows of whole pixels (interleaved on both sides) or rows of one channel.
static bool kelPixelRuns(const kelConverter& c)
{
    return c.stride.x != 1;
}

bool kelPageSegments::fits(const kelConverter& caller, const kelConverter& page)
{
    if (caller.fill || page.fill || caller.type != page.type || caller.type == kelBit ||
        kelDataSize(caller.type, 1) == 0)
        return false;
    if (caller.flipX || caller.transposeXY || page.flipX || page.flipY || page.transposeXY)
        return false;
    if (caller.cSize != page.cSize || caller.stride.x != page.stride.x)
        return false;
    if (kelPixelRuns(page) && (caller.order != kelInterleaved || page.order != kelInterleaved))
        return false;
    for (int i = 0; i < caller.cSize; i++)
        if (kelImageChannel(caller, i) != kelImageChannel(page, i))
            return false;
    return true;
}

// Every run of the page, in memory order.
void kelPageSegments::pageRuns(const kelConverter& page, bool pixels)
{
    const kelTile3D<int>& a = page.area;
    int channels = pixels ? 1 : int(page.stride.z / (long(a.nx) * a.ny));
    runs.clear();
    for (int z = 0; z < a.nz; z++)
        for (int k = 0; k < channels; k++)
            for (int y = 0; y < a.ny; y++)
                runs.push_back({long(z) * page.stride.z + long(k) * page.cStride + long(y) * page.stride.y, y, z, k});
    std::sort(runs.begin(), runs.end(), [](const Run& p, const Run& q) { return p.start < q.start; });
}

void kelPageSegments::add(const void* base, size_t len)
{
    if (!len)
        return;
    char* p = static_cast<char*>(const_cast<void*>(base));
    if (!segs.empty() && static_cast<char*>(segs.back().iov_base) + segs.back().iov_len == p)
        segs.back().iov_len += len;
    else
        segs.push_back({p, len});
}

// A caller's piece counts once however it joins its neighbours.
void kelPageSegments::addCaller(const void* base, size_t len)
{
    size_t before = segs.size();
    add(base, len);
    callerPieces += segs.size() - before;
    callerBytes += len;
}

// Pieces of the caller's buffer shorter than this go through the page buffer.
static const size_t kelMinPiece = 4096;

bool kelPageSegments::worthMoving() const
{
    return callerPieces && callerBytes / callerPieces >= kelMinPiece;
}

bool kelPageSegments::mayBeWorthMoving(const kelConverter& caller, const kelConverter& page)
{
    size_t runBytes = size_t(page.area.nx) * size_t(kelPixelRuns(page) ? page.stride.x : 1) *
                      kelDataSize(page.type, 1);
    return runBytes >= kelMinPiece || caller.area.nx == page.area.nx;
}

void kelPageSegments::plan(const kelConverter& caller, const kelConverter& page)
{
    kelTile3D<int> inPage = page.area, r;
    if (page.clipSet)
        inPage.intersect(page.area, page.clip);
    r.intersect(caller.area, inPage);
    bool pixels = kelPixelRuns(page);
    long per = pixels ? page.stride.x : 1, len = long(page.area.nx) * per;
    size_t unit = kelDataSize(page.type, 1);
    const char* pageBytes = static_cast<const char*>(page.data);
    const char* callerData = static_cast<const char*>(caller.data);
    long oy = caller.flipY ? caller.area.ny - 1 : 0;
    pageRuns(page, pixels);
    segs.clear();
    callerPieces = callerBytes = 0;
    for (const Run& run : runs) {
        int Y = page.area.y + run.y, Z = page.area.z + run.z;
        bool wanted = r.nx > 0 && Y >= r.y && Y < r.y + r.ny && Z >= r.z && Z < r.z + r.nz && run.k < page.cSize;
        if (!wanted) {
            add(pageBytes + size_t(run.start) * unit, size_t(len) * unit);
            continue;
        }
        long a = long(r.x - page.area.x) * per, b = a + long(r.nx) * per;
        long at = (long(r.x) - caller.area.x) * caller.stride.x + (long(Y) - caller.area.y - oy) * caller.stride.y +
                  (long(Z) - caller.area.z) * caller.stride.z + long(run.k) * caller.cStride;
        add(pageBytes + size_t(run.start) * unit, size_t(a) * unit);
        addCaller(callerData + at * long(unit), size_t(b - a) * unit);
        add(pageBytes + size_t(run.start + b) * unit, size_t(len - b) * unit);
    }
}
