#include <kel/kelConvIter.h>

#include <kel/kelDataSize.h>

#include <algorithm>
#include <cstdlib>
#include <string.h>
#include <vector>

#include "kelConvKernels.h"
#include "kelConvRuns.h"
#include "kelElement.h"
#include "kelStreaming.h"

// log2 of the byte size of one component; -1 for sizes that are no power
// of two up to 16.
static int kelDataShift(kelDataType type)
{
    switch (kelDataSize(type, 1)) {
    case 1:
        return 0;
    case 2:
        return 1;
    case 4:
        return 2;
    case 8:
        return 3;
    case 16:
        return 4;
    default:
        return -1;
    }
}

// A block needs one of the three orders, and steps that fit their fields,
// for its steps to mean anything.
static bool kelHasLayout(const kelConverter& c)
{
    return c.fill ||
           ((c.order == kelInterleaved || c.order == kelSequential || c.order == kelSeparate) && c.cStride != 0);
}

// Offset of the lowest of n elements `step` apart from the first of them.
static long kelMinOffset(long step, long n)
{
    return std::min(0L, step * (n - 1));
}

// Bytes of a block; 0 for bits, which are written in place.
static size_t kelBlockBytes(const kelConverter& c)
{
    if (c.type == kelBit || c.area.nx < 1 || c.area.ny < 1 || c.area.nz < 1 || c.cSize < 1)
        return 0;
    return size_t(c.area.nx) * size_t(c.area.ny) * size_t(c.area.nz) * size_t(c.cSize) * kelDataSize(c.type, 1);
}

kelConvIter::kelConvIter(kelConverter& dest, kelConverter& source)
    : dst(dest), src(source), stream(kelStreamsInto(kelBlockBytes(dest))), prefetch(kelStreamsInto(kelBlockBytes(source)))
{
}

void kelConvIter::convert(const kelTile3D<int>& area)
{
    // Never beyond the blocks, whatever region the caller asks for.
    com.intersect(area, dst.area);
    if (!src.fill)
        com.intersect(kelTile3D<int>(com), src.area);
    if (!reset())
        return;
    if (com.nx < 1 || com.ny < 1 || com.nz < 1 || !kelHasLayout(dst) || !kelHasLayout(src))
        return;
    convertElements();
    if (stream)
        kelStreamFence();
}

void kelConvIter::convertElements()
{
    if (fastCopy())
        return;
    switch (dst.type) {
    case kelBit:
        BitSwitch();
        break;
    case kelUChar:
        uCharSwitch();
        break;
    case kelChar:
        charSwitch();
        break;
    case kelUShort:
        uShortSwitch();
        break;
    case kelShort:
        shortSwitch();
        break;
    case kelUInt:
        uIntSwitch();
        break;
    case kelInt:
        intSwitch();
        break;
    case kelFloat:
        floatSwitch();
        break;
    case kelDouble:
        doubleSwitch();
        break;
    default:
        break; // no data type: nothing is written
    }
}

// --- plan -----------------------------------------------------------------

// Element index of channel 0 of pixel (x, y, z); a mirrored axis counts
// from the block's far edge.
static long kelElemIndex(const kelConverter& c, long x, long y, long z)
{
    long ox = c.flipX ? c.area.nx - 1 : 0, oy = c.flipY ? c.area.ny - 1 : 0;
    return long(c.stride.x) * (x - c.area.x - ox) + long(c.stride.y) * (y - c.area.y - oy) +
           long(c.stride.z) * (z - c.area.z);
}

long kelConvIter::destIndex(long x, long y, long z) const
{
    return kelElemIndex(dst, x, y, z);
}

long kelConvIter::sourceIndex(long x, long y, long z) const
{
    return kelElemIndex(src, x, y, z);
}

int kelConvIter::reset()
{
    baseD = destIndex(com.x, com.y, com.z);
    baseS = src.fill ? 0 : sourceIndex(com.x, com.y, com.z);
    collapse = !src.fill && sameChans() && dst.flipX == src.flipX && !dst.transposeXY && !src.transposeXY &&
               dst.order == kelInterleaved && src.order == kelInterleaved;
    if (collapse) {
        nx = long(com.nx) * src.cSize;
        sxD = sxS = 1;
    } else {
        nx = com.nx;
        sxD = dst.stride.x;
        sxS = src.stride.x;
    }
    ci = -1;
    int found = nextChan();
    zi = yi = 0;
    yiD = ziD;
    yiS = ziS;
    return found;
}

int kelConvIter::destChan(int i) const
{
    return dst.cList ? dst.cList[i] : dst.cStart + i;
}

int kelConvIter::sourceChan(int i) const
{
    return src.cList ? src.cList[i] : src.cStart + i;
}

int kelConvIter::nextChan()
{
    for (;;) {
        ci++;
        if (ci >= dst.cSize || (ci > 0 && collapse))
            return 0;
        if (collapse) {
            // One upward run per row from its lowest element, all channels.
            long low = dst.flipX ? (long(com.nx) - 1) * dst.cSize : 0;
            ziD = yiD = baseD - low;
            ziS = yiS = baseS - low;
            return 1;
        }
        int c = destChan(ci);
        if (c < 0)
            continue;
        int si = -1;
        if (src.cList) {
            for (int k = 0; k < src.cSize && si < 0; k++)
                if (src.cList[k] == c)
                    si = k;
        } else if (c - src.cStart < src.cSize) {
            si = c - src.cStart;
        }
        if (si < 0)
            continue; // no source channel: left untouched
        ziD = yiD = baseD + long(ci) * dst.cStride;
        ziS = yiS = baseS + long(si) * src.cStride;
        return 1;
    }
}

// The destination and source start of every remaining channel pair, for
// loops that take the channels of a row in turn while the row is cached.
std::vector<long> kelConvIter::channelStarts()
{
    std::vector<long> starts;
    do {
        starts.push_back(ziD);
        starts.push_back(ziS);
    } while (nextChan());
    return starts;
}

int kelConvIter::nextRow()
{
    if (++yi < com.ny) {
        yiD += dst.stride.y;
        yiS += src.stride.y;
        return 1;
    }
    yi = 0;
    if (++zi < com.nz) {
        ziD += dst.stride.z;
        yiD = ziD;
        ziS += src.stride.z;
        yiS = ziS;
        return 1;
    }
    zi = 0;
    return nextChan();
}

// Whether a block holds exactly the channels it describes, so that its
// channels of a pixel, row or slice follow each other without gaps.
int kelConvIter::packed(const kelConverter& c)
{
    return long(c.stride.z) == long(c.cSize) * c.area.nx * c.area.ny;
}

// Channels that hold no image channel are never part of a same-channel run,
// so that a collapsed or whole copy leaves them untouched as well.
int kelConvIter::sameChans() const
{
    if (dst.cSize != src.cSize || !packed(dst) || !packed(src))
        return 0;
    if (!dst.cList && !src.cList && dst.cStart == src.cStart && dst.cStart >= 0)
        return 1;
    for (int i = 0; i < dst.cSize; i++)
        if (destChan(i) < 0 || destChan(i) != sourceChan(i))
            return 0;
    return 1;
}

// --- fast paths -----------------------------------------------------------

int kelConvIter::sameType() const
{
    int both = dst.type | src.type;
    return dst.type == src.type || both == (kelUChar | kelChar) || both == (kelUShort | kelShort) ||
           both == (kelUInt | kelInt);
}

int kelConvIter::sameXdim() const
{
    return dst.flipX == src.flipX && !dst.transposeXY && !src.transposeXY;
}

int kelConvIter::sameXY() const
{
    return dst.flipY == src.flipY && com.nx == dst.area.nx && com.nx == src.area.nx &&
           ((com.ny == dst.area.ny && com.ny == src.area.ny) || com.nz == 1);
}

int kelConvIter::sameZ() const
{
    return com.ny == dst.area.ny && com.ny == src.area.ny && com.nz == dst.area.nz && com.nz == src.area.nz;
}

int kelConvIter::fastCopy()
{
    if (src.fill)
        return 0;
    if (com.nx < 1 || com.ny < 1 || com.nz < 1)
        return 1;
    if (src.stride.x == 0 || !sameXdim() || !sameType() || kelDataShift(dst.type) < 0)
        return 0;
    if (dst.type == kelBit && !(dst.order == kelInterleaved && src.order == kelInterleaved &&
                                dst.cSize % 8 == 0 && src.cSize % 8 == 0))
        return 0;
    int whole = sameXY();
    if (dst.order == src.order) {
        switch (dst.order) {
        case kelInterleaved:
            if (!sameChans())
                return 0;
            whole ? wholeCopy() : rowCopy();
            return 1;
        case kelSequential:
            whole&& sameChans() ? wholeCopy() : rowCopy();
            return 1;
        case kelSeparate:
            if (!whole)
                rowCopy();
            else if (sameZ() && sameChans())
                wholeCopy();
            else
                chanCopy();
            return 1;
        default:
            return 0;
        }
    }
    if (dst.order == kelInterleaved || src.order == kelInterleaved)
        return 0;
    rowCopy();
    return 1;
}

// Whether two byte ranges share a byte.
static bool kelOverlap(const char* a, const char* b, size_t n)
{
    return a < b + n && b < a + n;
}

void kelConvIter::copyRun(long dIndex, long sIndex, long count)
{
    char* d = static_cast<char*>(dst.data);
    const char* s = static_cast<const char*>(src.data);
    if (dst.type == kelBit) { // whole bytes only: every index and count is a multiple of 8
        memmove(d + dIndex / 8, s + sIndex / 8, size_t(count / 8));
        return;
    }
    int shift = kelDataShift(dst.type);
    d += dIndex << shift;
    s += sIndex << shift;
    size_t n = size_t(count) << shift;
    if (stream && !kelOverlap(d, s, n))
        kelStreamCopy(d, s, n);
    else
        memmove(d, s, n);
}

// Both sides are mirrored alike, so a mirrored run ends at the row's base.
void kelConvIter::rowCopy()
{
    long low = kelMinOffset(sxD, nx);
    do {
        prefetchRow(yiS + low + 4 * long(src.stride.y));
        copyRun(yiD + low, yiS + low, nx);
    } while (nextRow());
}

// Asks for source bytes ahead of their use. Short runs, or several read by
// turns, are too short for the processor to see each as a stream.
static void kelPrefetch(const void* from, size_t bytes)
{
    uintptr_t p = uintptr_t(from);
    for (size_t i = 0; i < bytes; i += 64)
        __builtin_prefetch(reinterpret_cast<const void*>(p + i));
}

void kelConvIter::prefetchRow(long sIndex) const
{
    if (prefetch) {
        int shift = kelDataShift(src.type);
        kelPrefetch(static_cast<const char*>(src.data) + (sIndex << shift), size_t(nx) << shift);
    }
}

void kelConvIter::chanCopy()
{
    long lowD = kelMinOffset(sxD, nx) + kelMinOffset(dst.stride.y, com.ny);
    long lowS = kelMinOffset(sxS, nx) + kelMinOffset(src.stride.y, com.ny);
    do {
        for (zi = 0; zi < com.nz; zi++)
            copyRun(ziD + zi * long(dst.stride.z) + lowD, ziS + zi * long(src.stride.z) + lowS, nx * com.ny);
    } while (nextChan());
    zi = 0;
}

void kelConvIter::wholeCopy()
{
    long lowD = baseD + kelMinOffset(dst.stride.x, com.nx) + kelMinOffset(dst.stride.y, com.ny);
    long lowS = baseS + kelMinOffset(src.stride.x, com.nx) + kelMinOffset(src.stride.y, com.ny);
    copyRun(lowD, lowS, long(com.nx) * com.ny * com.nz * dst.cSize);
}

// --- element loops ----------------------------------------------------------

// A run into a destination that is streamed is converted in pieces in the
// first-level cache and streamed out from there, in whole cache lines once
// the destination reaches a line boundary. Shorter runs, as several planes
// written by turns, are faster stored through the caches.
template <class D, class S>
static void kelWriteRun(D* dp, const S* sp, long n, bool stream)
{
    const long piece = 2048 / long(sizeof(D));
    if (!stream || n * long(sizeof(D)) < long(kelStreamMinRun)) {
        kelConvertRun(dp, sp, n);
        return;
    }
    long head = std::min(n, long((-uintptr_t(dp) & 63) / sizeof(D)));
    kelConvertRun(dp, sp, head);
    alignas(64) D buf[piece];
    for (long i = head; i < n; i += piece) {
        long m = std::min(piece, n - i);
        kelConvertRun(buf, sp + i, m);
        kelStreamCopy(dp + i, buf, size_t(m) * sizeof(D));
    }
}

template <class D, class S>
static void kelUnitRun(void* d, long di, const void* s, long si, long n, bool stream)
{
    if constexpr (!std::is_same_v<D, kelBitElem> && !std::is_same_v<S, kelBitElem>) {
        kelWriteRun(static_cast<D*>(d) + di, static_cast<const S*>(s) + si, n, stream);
    } else {
        for (long i = 0; i < n; i++)
            kelStoreElem<D>(d, di + i, kelConvertElem<D>(kelLoadElem<S>(s, si + i)));
    }
}

template <class D, class S>
static void kelStridedRun(void* d, long di, long dStep, const void* s, long si, long sStep, long n)
{
    if (sStep == 0) { // a fill value: convert once
        kelElemValueT<D> v = kelConvertElem<D>(kelLoadElem<S>(s, si));
        for (long i = 0; i < n; i++)
            kelStoreElem<D>(d, di + i * dStep, v);
        return;
    }
    for (long i = 0; i < n; i++)
        kelStoreElem<D>(d, di + i * dStep, kelConvertElem<D>(kelLoadElem<S>(s, si + i * sStep)));
}

template <class D, class S>
void kelConvIter::unitRows()
{
    // Both sides mirrored: walk the run upward from its lowest element.
    long low = kelMinOffset(sxD, nx);
    do
        kelUnitRun<D, S>(dst.data, yiD + low, src.data, yiS + low, nx, stream);
    while (nextRow());
}

template <class D, class S>
void kelConvIter::stridedRows(const std::vector<long>& starts)
{
    for (long z = 0; z < com.nz; z++)
        for (long y = 0; y < com.ny; y++) {
            long dRow = z * dst.stride.z + y * dst.stride.y, sRow = z * src.stride.z + y * src.stride.y;
            for (size_t p = 0; p < starts.size(); p += 2)
                kelStridedRun<D, S>(dst.data, starts[p] + dRow, sxD, src.data, starts[p + 1] + sRow, sxS, nx);
        }
}

// Interleaved byte pixels of 3 or 4 channels on either side: pieces of a
// row are split into planes (or joined from them) in a buffer, and every
// channel pair converts as a run of consecutive elements. The destination
// is joined only when every one of its channels has a source.
template <class D, class S>
int kelConvIter::planarRows(const std::vector<long>& starts)
{
    using VD = kelElemValueT<D>;
    using VS = kelElemValueT<S>;
    if constexpr (std::is_same_v<D, kelBitElem> || std::is_same_v<S, kelBitElem> ||
                  (sizeof(D) != 1 && sizeof(S) != 1))
        return 0;
    constexpr bool byteS = sizeof(S) == 1, byteD = sizeof(D) == 1;
    auto pixels = [](const kelConverter& c, long step) {
        return c.order == kelInterleaved && !c.transposeXY && (c.cSize == 3 || c.cSize == 4) && step == c.cSize;
    };
    bool split = byteS && pixels(src, sxS);
    bool join = byteD && pixels(dst, sxD) && starts.size() == size_t(2 * dst.cSize);
    if (!(split || join) || !(split || sxS == 1) || !(join || sxD == 1))
        return 0;

    // Pieces short enough that every run stays in the first-level cache;
    // only byte planes are split or joined.
    const long piece = 256;
    alignas(64) VS sBuf[4][byteS ? piece : 1];
    alignas(64) VD dBuf[4][byteD ? piece : 1];
    uint8_t* sPlanes[4];
    uint8_t* dPlanes[4];
    for (int k = 0; k < 4; k++) {
        sPlanes[k] = reinterpret_cast<uint8_t*>(sBuf[k]);
        dPlanes[k] = reinterpret_cast<uint8_t*>(dBuf[k]);
    }
    VD* dAt = static_cast<VD*>(dst.data);
    const VS* sAt = static_cast<const VS*>(src.data);
    for (long z = 0; z < com.nz; z++)
        for (long y = 0; y < com.ny; y++) {
            long dRow = z * dst.stride.z + y * dst.stride.y, sRow = z * src.stride.z + y * src.stride.y;
            for (long x0 = 0; x0 < nx; x0 += piece) {
                long n = std::min(piece, nx - x0);
                if (split)
                    kelSplitPixels(reinterpret_cast<const uint8_t*>(sAt + baseS + sRow + x0 * sxS), src.cSize, n,
                                   sPlanes);
                for (size_t p = 0; p < starts.size(); p += 2) {
                    const VS* from = split ? sBuf[starts[p + 1] - baseS] : sAt + starts[p + 1] + sRow + x0;
                    VD* to = join ? dBuf[starts[p] - baseD] : dAt + starts[p] + dRow + x0;
                    if (prefetch && !split) // the plane's next piece
                        kelPrefetch(from + piece, size_t(n) * sizeof(VS));
                    kelConvertRun(to, from, n);
                }
                if (join)
                    kelJoinPixels(dPlanes, dst.cSize, n, reinterpret_cast<uint8_t*>(dAt + baseD + dRow + x0 * sxD));
            }
        }
    return 1;
}

// Tile edges span two cache lines of the wider element type.
template <class D, class S>
static constexpr long kelTileEdge()
{
    return long(128 / std::max(sizeof(kelElemValueT<D>), sizeof(kelElemValueT<S>)));
}

// Moves a rows x cols tile between memory, where element (r, i) lies at
// start + r * rStep + i * iStep, and a row-major buffer of pitch `edge`.
template <class T, bool toBuffer>
static void kelMoveTile(void* base, long start, long rStep, long iStep, long rows, long cols,
                        kelElemValueT<T>* buf, long edge)
{
    if constexpr (!std::is_same_v<T, kelBitElem>) {
        T* p = static_cast<T*>(base) + start;
        if (iStep == 1) {
            for (long r = 0; r < rows; r++)
                for (long i = 0; i < cols; i++) {
                    if constexpr (toBuffer)
                        buf[r * edge + i] = p[r * rStep + i];
                    else
                        p[r * rStep + i] = buf[r * edge + i];
                }
            return;
        }
        if constexpr (sizeof(T) == 1) {
            if (rStep == 1) {
                uint8_t* mem = reinterpret_cast<uint8_t*>(p);
                uint8_t* b = reinterpret_cast<uint8_t*>(buf);
                if constexpr (toBuffer)
                    kelTransposeBytes(mem, iStep, b, edge, cols, rows);
                else
                    kelTransposeBytes(b, edge, mem, iStep, rows, cols);
                return;
            }
        }
    }
    bool alongRows = std::labs(iStep) <= std::labs(rStep);
    long outer = alongRows ? rows : cols, inner = alongRows ? cols : rows;
    for (long a = 0; a < outer; a++)
        for (long b = 0; b < inner; b++) {
            long r = alongRows ? a : b, i = alongRows ? b : a;
            if constexpr (toBuffer)
                buf[r * edge + i] = kelLoadElem<T>(base, start + r * rStep + i * iStep);
            else
                kelStoreElem<T>(base, start + r * rStep + i * iStep, buf[r * edge + i]);
        }
}

// Rows of a transposed side lie across memory. Such regions move in square
// tiles: read into a buffer along the source's contiguous axis, converted
// there, and written along the destination's contiguous axis, so that whole
// cache lines are used on both sides. Each element is written once with the
// value of the element loop.
template <class D, class S>
void kelConvIter::blockedTile(long dRow, long sRow, long rows, long x0, long cols)
{
    constexpr long edge = kelTileEdge<D, S>();
    using VD = kelElemValueT<D>;
    using VS = kelElemValueT<S>;
    if (directBytes<D, S>()) {
        kelTransposeBytes(static_cast<const uint8_t*>(src.data) + sRow + x0, src.stride.y,
                          static_cast<uint8_t*>(dst.data) + dRow + x0 * sxD, sxD, rows, cols);
        return;
    }
    alignas(16) VS in[edge * edge];
    kelMoveTile<S, true>(src.data, sRow + x0 * sxS, src.stride.y, sxS, rows, cols, in, edge);
    if constexpr (std::is_same_v<D, S>) {
        kelMoveTile<D, false>(dst.data, dRow + x0 * sxD, dst.stride.y, sxD, rows, cols, in, edge);
    } else {
        alignas(16) VD out[edge * edge];
        for (long r = 0; r < rows; r++) {
            if constexpr (std::is_same_v<D, kelBitElem>) // a bit holds "nonzero", not the low bit
                for (long i = 0; i < cols; i++)
                    out[r * edge + i] = kelConvertElem<D>(in[r * edge + i]);
            else
                kelConvertRun(out + r * edge, in + r * edge, cols);
        }
        kelMoveTile<D, false>(dst.data, dRow + x0 * sxD, dst.stride.y, sxD, rows, cols, out, edge);
    }
}

// A plain byte transposition from rows to columns needs no buffer.
template <class D, class S>
int kelConvIter::directBytes() const
{
    if constexpr (std::is_same_v<D, S> && !std::is_same_v<D, kelBitElem> && sizeof(D) == 1)
        return sxS == 1 && dst.stride.y == 1;
    return 0;
}

template <class D, class S>
void kelConvIter::blockedRows()
{
    // Direct byte tiles take larger edges: no buffer bounds them.
    const long edge = directBytes<D, S>() ? 2 * kelTileEdge<D, S>() : kelTileEdge<D, S>();
    do {
        for (zi = 0; zi < com.nz; zi++) {
            long dSlice = ziD + zi * long(dst.stride.z), sSlice = ziS + zi * long(src.stride.z);
            for (long y0 = 0; y0 < com.ny; y0 += edge) {
                long rows = std::min(edge, com.ny - y0);
                for (long x0 = 0; x0 < nx; x0 += edge)
                    blockedTile<D, S>(dSlice + y0 * dst.stride.y, sSlice + y0 * src.stride.y, rows, x0,
                                      std::min(edge, nx - x0));
            }
        }
    } while (nextChan());
    zi = 0;
}

// A side whose x step is longer than its row step is transposed in memory.
int kelConvIter::blockOrder() const
{
    return com.ny > 1 && (std::labs(sxD) > std::labs(long(dst.stride.y)) ||
                          std::labs(sxS) > std::labs(long(src.stride.y)));
}

template <class D, class S>
void kelConvIter::elementLoop()
{
    if (blockOrder())
        blockedRows<D, S>();
    else if (sxD == sxS && (sxD == 1 || sxD == -1))
        unitRows<D, S>();
    else {
        std::vector<long> starts = channelStarts();
        if (!planarRows<D, S>(starts))
            stridedRows<D, S>(starts);
    }
}

template <class D>
void kelConvIter::sourceSwitch()
{
    kelWithType(src.type, [this](auto tag) { elementLoop<D, typename decltype(tag)::type>(); });
}

void kelConvIter::BitSwitch()
{
    sourceSwitch<kelBitElem>();
}

void kelConvIter::uCharSwitch()
{
    sourceSwitch<uint8_t>();
}

void kelConvIter::charSwitch()
{
    sourceSwitch<int8_t>();
}

void kelConvIter::uShortSwitch()
{
    sourceSwitch<uint16_t>();
}

void kelConvIter::shortSwitch()
{
    sourceSwitch<int16_t>();
}

void kelConvIter::uIntSwitch()
{
    sourceSwitch<uint32_t>();
}

void kelConvIter::intSwitch()
{
    sourceSwitch<int32_t>();
}

void kelConvIter::floatSwitch()
{
    sourceSwitch<float>();
}

void kelConvIter::doubleSwitch()
{
    sourceSwitch<double>();
}
