#include <kel/kelTileIter.h>

#include <limits.h>

#include <algorithm>
#include <vector>

#include <kel/kelConfig.h>

namespace {

// Sums and differences of coordinates are formed in 64 bits; a result
// that leaves the int range is pinned to its edge (requests that large
// reach no page of any image anyway).
int clampInt(long long v)
{
    return int(std::min<long long>(std::max<long long>(v, INT_MIN), INT_MAX));
}

int fitsInt(long long v)
{
    return v >= INT_MIN && v <= INT_MAX;
}

// A remainder in 0 .. d - 1 also for negative a.
long long floorMod(long long a, long long d)
{
    long long r = a % d;
    return r < 0 ? r + d : r;
}

// The first page start on one axis, on the page grid of step `d` shifted
// by the border `b`; with `incBorder` the page's border also covers `o`.
long long gridStart(long long o, long long d, long long b, int incBorder)
{
    long long s = o - floorMod(o + b, d);
    if (incBorder && s + 2 * b > o)
        s -= d;
    return s;
}

long long pagesAlong(long long start, long long end, long long step)
{
    return (end - start - 1) / step + 1;
}

// A count too large for an int reads as INT_MAX: still "some pages".
long long cappedProduct(long long a, long long b)
{
    return a > INT_MAX / b ? INT_MAX : std::min<long long>(a * b, INT_MAX);
}

} // namespace

kelTileIter::kelTileIter(const kelTile3D<int>& tile, const kelSize& pageSize, int nc, const kelConfig* config,
                         int talign)
    : kelTileIter(tile, nc, config, talign)
{
    setPageSize(pageSize);
}

kelTileIter::kelTileIter(const kelTile3D<int>& tile, int nc, const kelConfig* config, int talign)
    : c(0), nc(0), ox(0), oy(0), oz(0), oc(0), sx(0), sy(0), sz(0), sc(0), ex(0), ey(0), ez(0), ec(0),
      chanList(nullptr), cLen(0), dx(0), dy(0), dz(0), bx(0), by(0), bz(0), incBorder(0), talign(0), altered(1),
      pageCount(0), requestOc(0), requestEc(0), exhausted(0)
{
    setTile(tile, nc, config, talign);
    setPageBorder(kelXYZ<int>(0, 0, 0), 1);
}

void kelTileIter::setPageSize(const kelSize& s)
{
    nx = s.x;
    ny = s.y;
    nz = s.z;
    nc = s.c;
    altered = 1;
}

void kelTileIter::setPageBorder(const kelXYZ<int>& b, int incBorder)
{
    bx = b.x;
    by = b.y;
    bz = b.z;
    this->incBorder = incBorder;
    altered = 1;
}

void kelTileIter::setTile(const kelTile3D<int>& t, int nc, const kelConfig* config, int talign)
{
    request = t;
    chanList = config ? config->channels : nullptr;
    int n = config && config->nchans >= 1 ? config->nchans : nc;
    int first = config ? config->choff : 0;
    if (chanList) {
        // The real range follows from the list once the page's channel
        // count is known.
        cLen = n;
        requestOc = nc;
        requestEc = 0;
    } else {
        cLen = 0;
        requestOc = first;
        requestEc = clampInt((long long)first + n);
    }
    takeRequest();
    this->talign = talign;
    altered = 1;
}

// The region and channel range as requested, before reset fits them to
// the page grid.
void kelTileIter::takeRequest()
{
    ox = request.x;
    oy = request.y;
    oz = request.z;
    ex = clampInt((long long)request.x + request.nx);
    ey = clampInt((long long)request.y + request.ny);
    ez = clampInt((long long)request.z + request.nz);
    oc = requestOc;
    ec = requestEc;
}

int kelTileIter::more()
{
    if (altered)
        reset();
    if (!pageCount || exhausted)
        return 0;
    if ((long long)x + dx < ex) {
        x += dx;
        return 1;
    }
    x = sx;
    if ((long long)y + dy < ey) {
        y += dy;
        return 1;
    }
    y = sy;
    if ((long long)z + dz < ez) {
        z += dz;
        return 1;
    }
    z = sz;
    if (nextChannelGroup())
        return 1;
    // Stay at the end: further calls give no pages until the next reset.
    exhausted = 1;
    return 0;
}

int kelTileIter::getCount()
{
    if (altered)
        reset();
    return pageCount;
}

void kelTileIter::reset()
{
    altered = 0;
    exhausted = 0;
    pageCount = 0;
    takeRequest();
    if (ox >= ex || oy >= ey || oz >= ez)
        return;

    dx = clampInt(nx - 2LL * bx);
    dy = clampInt(ny - 2LL * by);
    dz = clampInt(nz - 2LL * bz);
    // Without a positive step there is no page grid to walk.
    if (dx <= 0 || dy <= 0 || dz <= 0 || nc <= 0)
        return;
    if (chanList)
        spanListedChannels();
    if (!placeStarts())
        return;

    x = sx - dx;
    y = sy;
    z = sz;
    c = sc - nc;
    if (!nextChannelGroup() || sx >= ex || y >= ey || z >= ez)
        return;
    long long count = pagesAlong(sx, ex, dx);
    count = cappedProduct(count, pagesAlong(sy, ey, dy));
    count = cappedProduct(count, pagesAlong(sz, ez, dz));
    pageCount = int(cappedProduct(count, channelGroupCount()));
}

// The channel groups that hold the listed channels; negative entries
// name no channel.
void kelTileIter::spanListedChannels()
{
    for (int i = 0; i < cLen; ++i) {
        int ch = chanList[i];
        if (ch < 0)
            continue;
        int base = ch - ch % nc;
        oc = std::min(oc, base);
        ec = std::max(ec, clampInt((long long)base + nc));
    }
}

// Returns 0 when the walk would leave the int range.
int kelTileIter::placeStarts()
{
    long long s[4];
    if (talign) {
        s[0] = ox;
        s[1] = oy;
        s[2] = oz;
        s[3] = oc;
    } else {
        s[0] = gridStart(ox, dx, bx, incBorder);
        s[1] = gridStart(oy, dy, by, incBorder);
        s[2] = gridStart(oz, dz, bz, incBorder);
        s[3] = oc - floorMod(oc, nc);
        if (!incBorder) {
            if (s[0] + dx < ex)
                ex = clampInt(ex - 2LL * bx);
            if (s[1] + dy < ey)
                ey = clampInt(ey - 2LL * by);
            if (s[2] + dz < ez)
                ez = clampInt(ez - 2LL * bz);
        }
    }
    if (!fitsInt(s[0] - dx) || !fitsInt(s[1]) || !fitsInt(s[2]) || !fitsInt(s[3] - nc))
        return 0;
    sx = int(s[0]);
    sy = int(s[1]);
    sz = int(s[2]);
    sc = int(s[3]);
    return 1;
}

int kelTileIter::nextChannelGroup()
{
    for (;;) {
        long long next = (long long)c + nc;
        if (next >= ec)
            return 0;
        c = int(next);
        if (!chanList || groupIsListed(c))
            return 1;
    }
}

int kelTileIter::groupIsListed(int group) const
{
    for (int i = 0; i < cLen; ++i)
        if (chanList[i] >= group && (long long)chanList[i] - group < nc)
            return 1;
    return 0;
}

// With a list only the groups that hold a listed channel are visited,
// which may be fewer than the groups between the first and the last.
long long kelTileIter::channelGroupCount() const
{
    if (!chanList)
        return pagesAlong(sc, ec, nc);
    std::vector<int> groups;
    for (int i = 0; i < cLen; ++i)
        if (chanList[i] >= sc)
            groups.push_back(chanList[i] - floorMod(chanList[i] - sc, nc));
    std::sort(groups.begin(), groups.end());
    return std::unique(groups.begin(), groups.end()) - groups.begin();
}
