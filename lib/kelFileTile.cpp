// Tile access: the request is split into the pages it touches, and each page
// passes through one page buffer between the plug-in and the caller.
#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>

#include <kel/kelConfig.h>
#include <kel/kelConverter.h>
#include <kel/kelDataSize.h>
#include <kel/kelError.h>
#include <kel/kelFile.h>
#include <kel/kelLimits.h>
#include <kel/kelOrientation.h>
#include <kel/kelTileIter.h>

#include "kelPageSegments.h"

namespace {

int fitsInt(long long v)
{
    return v >= INT_MIN && v <= INT_MAX;
}

enum Op { GetTile = 0, SetTile = 1 };

// Everything one transfer needs, fixed before the page walk.
struct TileJob {
    kelFile* file;
    Op op;
    const kelConfig* config;
    kelSize itsize;        // image size in the file's orientation
    kelSize pgSize;        // page size in the file's orientation
    int nc;                // the caller's channel count
    kelTile3D<int> tile;   // the request in the file's orientation
    kelTile3D<int> inside; // the part of it that lies in the image
    kelConverter dataConv; // the caller's buffer
    void* page;
    size_t pageBytes;
    bool direct;               // the format may take pages as segments
    kelPageSegments segments;
};

// The box must stay addressable in ints, also once mapped into the file's
// orientation, which may measure it from the far edge.
int boxIsAddressable(long long x, long long n, long long size)
{
    return fitsInt(x + n) && fitsInt(size - x - n);
}

kelStatus mapRequest(TileJob& job, int x, int y, int z, int nx, int ny, int nz, kelFlip& flip, int& transXY)
{
    if (!boxIsAddressable(x, nx, job.itsize.x) || !boxIsAddressable(y, ny, job.itsize.y) ||
        !fitsInt((long long)z + nz))
        return kelBADPARAMS;
    kelTile2D<int> box(x, y, nx, ny);
    flip = kelNoFlip;
    transXY = 0;
    if (job.config && job.config->orientation)
        kelMapTile(job.config->orientation, box, flip, transXY, job.file->getOrientation(), job.itsize);
    job.tile.init(box.x, box.y, z, box.nx, box.ny, nz);
    job.inside.intersect(job.tile, kelTile3D<int>(0, 0, 0, job.itsize.x, job.itsize.y, job.itsize.z));
    return kelOKAY;
}

void describeCaller(TileJob& job, void* data, kelFlip flip, int transXY)
{
    const kelConfig* cf = job.config;
    const kelTile3D<int>& t = job.tile;
    job.dataConv.init(data, cf ? cf->dtype : job.file->getDataType(), cf ? cf->order : job.file->getOrder(), job.nc,
                      cf ? cf->channels : nullptr, t.nx, t.ny, t.nz, t.x, t.y, t.z, cf ? cf->choff : 0);
    job.dataConv.setFlip(flip);
    job.dataConv.setTransposeXY(transXY);
}

// Bytes of one page; converters address its elements with ints.
kelStatus pageBytes(const kelSize& pg, kelDataType type, unsigned long long& bytes)
{
    if (pg.x < 1 || pg.y < 1 || pg.z < 1 || pg.c < 1)
        return kelBADPARAMS;
    unsigned long long count = 1;
    for (int n : {pg.x, pg.y, pg.z, pg.c})
        if (__builtin_mul_overflow(count, (unsigned long long)n, &count) || count > INT_MAX)
            return kelBADPARAMS;
    unsigned int unit = type == kelBit ? 1 : kelDataSize(type, 1);
    if (!unit)
        return kelBADPARAMS;
    bytes = type == kelBit ? (count + 7) / 8 : count * unit;
    return kelOKAY;
}

// A read fills the buffer before it is used, but setTile also writes pages
// that it does not read: the parts the caller does not write (beyond the
// image edge) must not carry stale heap contents into the file.
void* allocatePage(unsigned long long bytes, Op op)
{
    if (bytes != (unsigned long long)(size_t)bytes) {
        errno = ENOMEM;
        return nullptr;
    }
    return op == GetTile ? malloc(size_t(bytes)) : calloc(1, size_t(bytes));
}

kelStatus reportNoPage(unsigned long long bytes)
{
    kelStatus status = kelSystemStatus(kelMALLOCFAILED);
    const char* why = strerror(kelStatusErrno(status));
    if (bytes <= INT_MAX)
        kelError(kelSeverityError, "kelFile::getTile(): couldn't allocate a page of %d bytes: %s", int(bytes), why);
    else
        kelError(kelSeverityError, "kelFile::getTile(): couldn't allocate a page of %llu bytes: %s", bytes, why);
    return status;
}

// The page's extents inside the image; 0 for a page wholly outside it.
int clippedExtents(const TileJob& job, const kelTileIter& it, kelXYZC<int>& n)
{
    if (it.x < 0 || it.y < 0 || it.z < 0 || it.c < 0)
        return 0;
    n.init(std::min(job.itsize.x - it.x, job.pgSize.x), std::min(job.itsize.y - it.y, job.pgSize.y),
           std::min(job.itsize.z - it.z, job.pgSize.z), std::min(job.itsize.c - it.c, job.pgSize.c));
    return n.x > 0 && n.y > 0 && n.z > 0 && n.c > 0;
}

// Whether the caller's buffer carries every one of the channels c .. c + n - 1.
int writesChannels(const TileJob& job, int c, int n)
{
    const kelConfig* cf = job.config;
    if (!cf || !cf->channels) {
        long long first = cf ? cf->choff : 0;
        return first <= c && (long long)c + n <= first + job.nc;
    }
    for (int ch = c; ch < c + n; ++ch)
        if (std::find(cf->channels, cf->channels + job.nc, ch) == cf->channels + job.nc)
            return 0;
    return 1;
}

// A page that the request writes completely needs no read first. Parts
// beyond the image count as written; channels the caller does not carry
// must keep their stored values.
int pageIsCovered(const TileJob& job, const kelTileIter& it, const kelXYZC<int>& n)
{
    const kelTile3D<int>& t = job.tile;
    long long tileEndZ = (long long)t.z + t.nz;
    return t.contains(it, job.itsize.x, job.itsize.y) && t.z <= it.z &&
           ((long long)it.z + it.nz <= tileEndZ || job.itsize.z <= tileEndZ) && writesChannels(job, it.c, n.c);
}

kelConverter describePage(const TileJob& job, const kelTileIter& it, const kelXYZC<int>& n)
{
    kelConverter pageConv;
    pageConv.init(job.page, job.file->getDataType(), job.file->getOrder(), job.pgSize.c, nullptr, job.pgSize.x,
                  job.pgSize.y, job.pgSize.z, it.x, it.y, it.z, it.c);
    // A page past the image's channels holds no image channel there.
    pageConv.limitChannels(n.c);
    // Only the part of the page inside the image is exchanged, so the
    // caller's pixels outside the image stay as they are.
    pageConv.setClip(it.x, it.y, it.z, n.x, n.y, n.z);
    return pageConv;
}

// Writes the page from the caller's buffer as segments, the parts outside
// the request from the page buffer. False when the caller's pieces are
// short, or when the format cannot (which then goes through the page buffer
// for the rest of the call). Reads always take the page buffer: on the
// hosts measured, the system copies into a small buffer that stays in the
// caches and a copy from there is faster than its copy into the caller's
// large buffer.
bool writeDirectly(TileJob& job, const kelConverter& pageConv, const kelTileIter& it, const kelXYZC<int>& n,
                  kelStatus& status)
{
    if (!job.direct || !kelPageSegments::fits(job.dataConv, pageConv) ||
        !kelPageSegments::mayBeWorthMoving(job.dataConv, pageConv))
        return false;
    job.segments.plan(job.dataConv, pageConv);
    if (!job.segments.worthMoving())
        return false;
    const iovec* segs = job.segments.data();
    int count = job.segments.count();
    status = job.file->setPageSegments(segs, count, it.x, it.y, it.z, it.c, n.x, n.y, n.z, n.c);
    job.direct = status != kelUNSUPPORTEDBYFORMAT;
    return job.direct;
}

kelStatus transferPage(TileJob& job, const kelTileIter& it, const kelXYZC<int>& n)
{
    kelFile* file = job.file;
    kelConverter pageConv = describePage(job, it, n);
    kelStatus status = kelOKAY;
    if (job.op == GetTile || !pageIsCovered(job, it, n)) {
        // What a short read (a page not yet in the file) leaves unfilled
        // must be blank, not the previous page's pixels.
        if (job.op == SetTile)
            memset(job.page, 0, job.pageBytes);
        status = file->getPage(job.page, it.x, it.y, it.z, it.c, n.x, n.y, n.z, n.c);
        if (status)
            return status;
    }
    if (job.op == GetTile) {
        job.dataConv = pageConv;
        return kelOKAY;
    }
    if (writeDirectly(job, pageConv, it, n, status))
        return status;
    pageConv = job.dataConv;
    return file->setPage(job.page, it.x, it.y, it.z, it.c, n.x, n.y, n.z, n.c);
}

// Pages are walked on the file's page grid; those outside the image are
// never read or written.
kelStatus walkPages(TileJob& job)
{
    kelTileIter it(job.inside, job.pgSize, job.itsize.c, job.config, 0);
    kelStatus status = kelOKAY;
    kelXYZC<int> n;
    while (status == kelOKAY && it.more())
        if (clippedExtents(job, it, n))
            status = transferPage(job, it, n);
    return status;
}

// The first image channel of the caller's buffer when its channels are
// consecutive, else -1.
int firstConsecutiveChannel(const kelConverter& conv)
{
    if (!conv.cList)
        return conv.cStart;
    for (int i = 1; i < conv.cSize; ++i)
        if (conv.cList[i] != (long long)conv.cList[0] + i)
            return -1;
    return conv.cList[0];
}

// Whether the caller's buffer is byte for byte one whole page inside the
// image (the common read of an image in its own layout): it then takes
// the page directly, without a page buffer and a copy. A read may also
// want the page's rows in the opposite order, which are then reversed in
// place.
int callerHoldsOnePage(const TileJob& job)
{
    const kelConverter& d = job.dataConv;
    const kelTile3D<int>& t = job.tile;
    const kelSize& pg = job.pgSize;
    int c = firstConsecutiveChannel(d);
    int mirroredRows = d.flipY && job.op == GetTile && d.type != kelBit;
    return d.type == job.file->getDataType() && (d.order == job.file->getOrder() || pg.c == 1) && !d.flipX &&
           (!d.flipY || mirroredRows) && !d.transposeXY && t.nx == pg.x && t.ny == pg.y && t.nz == pg.z &&
           d.cSize == pg.c && t.x >= 0 && t.y >= 0 && t.z >= 0 && c >= 0 && t.x % pg.x == 0 &&
           t.y % pg.y == 0 && t.z % pg.z == 0 && c % pg.c == 0 && t.x <= job.itsize.x - pg.x &&
           t.y <= job.itsize.y - pg.y && t.z <= job.itsize.z - pg.z && c <= job.itsize.c - pg.c;
}

void swapBytes(char* a, char* b, size_t n)
{
    char tmp[4096];
    for (size_t done = 0; done < n; done += sizeof tmp) {
        size_t m = std::min(sizeof tmp, n - done);
        memcpy(tmp, a + done, m);
        memcpy(a + done, b + done, m);
        memcpy(b + done, tmp, m);
    }
}

// Turns the rows of a block upside down: within each slice, and within
// each channel plane of separate channels.
void reverseRows(const kelConverter& d)
{
    size_t unit = kelDataSize(d.type, 1);
    bool planes = d.order == kelSeparate;
    long rowElems = planes ? d.area.nx : std::labs(long(d.stride.y));
    long planeCount = planes ? d.cSize : 1;
    char* base = static_cast<char*>(d.data);
    for (long z = 0; z < d.area.nz; z++)
        for (long k = 0; k < planeCount; k++) {
            char* plane = base + (z * d.stride.z + k * (planes ? d.cStride : 0)) * long(unit);
            for (long y = 0, last = d.area.ny - 1; y < last; y++, last--)
                swapBytes(plane + y * rowElems * long(unit), plane + last * rowElems * long(unit),
                          size_t(rowElems) * unit);
        }
}

kelStatus transferWholePage(const TileJob& job)
{
    const kelTile3D<int>& t = job.tile;
    const kelSize& pg = job.pgSize;
    int c = firstConsecutiveChannel(job.dataConv);
    if (job.op == SetTile)
        return job.file->setPage(job.dataConv.data, t.x, t.y, t.z, c, pg.x, pg.y, pg.z, pg.c);
    kelStatus status = job.file->getPage(job.dataConv.data, t.x, t.y, t.z, c, pg.x, pg.y, pg.z, pg.c);
    if (status == kelOKAY && job.dataConv.flipY)
        reverseRows(job.dataConv);
    return status;
}

kelStatus kelFileGetOrSetTile(kelFile* file, Op op, int x, int y, int z, int nx, int ny, int nz, void* data,
                              const kelConfig* config)
{
    if (nx <= 0 || ny <= 0 || nz <= 0)
        return kelOKAY;
    TileJob job;
    job.file = file;
    job.op = op;
    job.config = config;
    file->getSize(job.itsize, file->getOrientation());
    file->getPageSize(job.pgSize, file->getOrientation());
    job.nc = config && config->nchans ? config->nchans : job.itsize.c;
    if (!data || job.nc < 0)
        return kelBADPARAMS;
    kelFlip flip;
    int transXY;
    kelStatus status = mapRequest(job, x, y, z, nx, ny, nz, flip, transXY);
    if (status)
        return status;
    describeCaller(job, data, flip, transXY);

    unsigned long long bytes = 0;
    status = pageBytes(job.pgSize, file->getDataType(), bytes);
    if (status)
        return status;
    if (callerHoldsOnePage(job))
        return transferWholePage(job);
    status = kelCheckPageBytes(bytes, op == GetTile ? "kelFile::getTile()" : "kelFile::setTile()");
    if (status)
        return status;
    job.page = allocatePage(bytes, op);
    if (!job.page)
        return reportNoPage(bytes);
    job.pageBytes = size_t(bytes);
    job.direct = true;
    try {
        status = walkPages(job);
    } catch (const std::bad_alloc&) {
        status = kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    free(job.page);
    return status;
}

} // namespace

kelStatus kelFile::getTile(int x, int y, int z, int nx, int ny, int nz, void* data, const kelConfig* config)
{
    return kelFileGetOrSetTile(this, GetTile, x, y, z, nx, ny, nz, data, config);
}

// The caller's buffer is only read: it is the source of every conversion.
kelStatus kelFile::setTile(int x, int y, int z, int nx, int ny, int nz, const void* data, const kelConfig* config)
{
    return kelFileGetOrSetTile(this, SetTile, x, y, z, nx, ny, nz, const_cast<void*>(data), config);
}
