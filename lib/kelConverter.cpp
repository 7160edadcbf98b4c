#include <kel/kelConverter.h>

#include <kel/kelConvIter.h>
#include <kel/kelPixel.h>

kelConverter::kelConverter(void* data, kelDataType type, kelOrder order, int nc, int* chans, int nx, int ny, int nz,
                           int x, int y, int z, int c)
{
    init(data, type, order, nc, chans, nx, ny, nz, x, y, z, c);
}

kelConverter::kelConverter(const kelPixel& val, kelTile3D<int>* fillMask, int* chans, int coff)
{
    init(val, fillMask, chans, coff);
}

void kelConverter::init()
{
    fill = 0;
    clipSet = 0;
    flipX = 0;
    flipY = 0;
    transposeXY = 0;
    order = kelSeparate;
}

void kelConverter::init(void* dp, kelDataType ty, kelOrder ord, int nc, const int* chans, int nx, int ny, int nz,
                        int x, int y, int z, int c)
{
    init();
    if (nc > 1)
        order = ord;
    data = dp;
    type = ty;
    cSize = nc;
    cList = chans;
    cStart = c;
    setTile(x, y, z, nx, ny, nz);
    setMask(nullptr);
}

void kelConverter::init(const kelPixel& val, const kelTile3D<int>* fillMask, const int* chans, int coff)
{
    init();
    setData(val, chans, coff);
    setMask(fillMask);
    setTile(0, 0, 0, 0, 0, 0);
}

void kelConverter::setData(const kelPixel& value, const int* chans, int coff)
{
    fill = 1;
    type = value.getDataType();
    cSize = value.getNumChans();
    cList = chans;
    cStart = coff;
    data = value.getData();
    resetStrides();
}

void kelConverter::setTile(int x, int y, int z, int nx, int ny, int nz)
{
    area.init(x, y, z, nx, ny, nz);
    resetStrides();
}

void kelConverter::setFlip(kelFlip flip)
{
    flipX = (flip & kelXFlip) != 0;
    flipY = (flip & kelYFlip) != 0;
    resetStrides();
}

void kelConverter::setTransposeXY(int t)
{
    transposeXY = t;
    resetStrides();
}

void kelConverter::setOrigin(int x, int y, int z, int c)
{
    area.x = x;
    area.y = y;
    area.z = z;
    cStart = c;
    resetStrides();
}

void kelConverter::setClip(int x, int y, int z, int nx, int ny, int nz)
{
    clip.init(x, y, z, nx, ny, nz);
    clipSet = 1;
}

void kelConverter::setMask(const kelTile3D<int>* copyMask)
{
    mask = copyMask ? *copyMask : kelTile3D<int>();
}

// Steps are element counts held in int; a block whose steps do not fit gets
// no layout, and the iterator writes nothing for it.
static bool kelFitsInt(long v)
{
    return v >= -2147483647L - 1 && v <= 2147483647L;
}

// a * b * c without overflow for int factors: past the int range, a value
// that is also past it.
static long kelProduct(long a, long b, long c)
{
    long ab = a * b;
    return kelFitsInt(ab) ? ab * c : 2147483648L;
}

void kelConverter::resetStrides()
{
    long nx = area.nx, ny = area.ny, c = cSize;
    long x, y, z, cs;
    if (fill) {
        stride.init(0, 0, 0);
        cStride = 1;
        return;
    }
    switch (order) {
    case kelInterleaved:
        x = transposeXY ? c * ny : c;
        y = transposeXY ? c : c * nx;
        cs = 1;
        break;
    case kelSequential:
        x = transposeXY ? ny * c : 1;
        y = transposeXY ? 1 : nx * c;
        cs = transposeXY ? ny : nx;
        break;
    case kelSeparate:
        x = transposeXY ? ny : 1;
        y = transposeXY ? 1 : nx;
        cs = nx * ny;
        break;
    default:
        x = y = cs = 0;
        break;
    }
    z = kelProduct(c, nx, ny);
    if (!kelFitsInt(x) || !kelFitsInt(y) || !kelFitsInt(z) || !kelFitsInt(cs))
        x = y = z = cs = 0;
    stride.init(int(flipX ? -x : x), int(flipY ? -y : y), int(z));
    cStride = int(cs);
}

kelFillMode kelConverter::checkMask(const kelTile3D<int>& tile) const
{
    if (mask.nx < 1 || mask.ny < 1 || mask.nz < 1)
        return kelFillAll;
    if (mask.contains(tile))
        return kelFillNone;
    kelTile3D<int> common;
    common.intersect(mask, tile);
    return common.nx > 0 && common.ny > 0 && common.nz > 0 ? kelFillSome : kelFillAll;
}

// Converts the parts of r outside the mask box, as up to six disjoint boxes:
// below, the rows before, the columns before, the columns after, the rows
// after and above the mask.
static void kelConvertAround(kelConvIter& it, const kelTile3D<int>& r, const kelTile3D<int>& mask)
{
    kelTile3D<int> m;
    m.intersect(r, mask);
    const kelTile3D<int> parts[6] = {
        {r.x, r.y, r.z, r.nx, r.ny, m.z - r.z},
        {r.x, r.y, m.z, r.nx, m.y - r.y, m.nz},
        {r.x, m.y, m.z, m.x - r.x, m.ny, m.nz},
        {m.x + m.nx, m.y, m.z, r.x + r.nx - (m.x + m.nx), m.ny, m.nz},
        {r.x, m.y + m.ny, m.z, r.nx, r.y + r.ny - (m.y + m.ny), m.nz},
        {r.x, r.y, m.z + m.nz, r.nx, r.ny, r.z + r.nz - (m.z + m.nz)},
    };
    for (const kelTile3D<int>& p : parts)
        if (p.nx > 0 && p.ny > 0 && p.nz > 0)
            it.convert(p);
}

void kelConverter::operator=(kelConverter& from)
{
    kelTile3D<int> region = area, part;
    if (clipSet)
        region.intersect(area, clip);
    kelConverter source(from);
    kelPixel widened;
    if (from.fill) {
        if (!from.data || from.cSize < 1)
            return; // a fill value without components writes nothing
        if (from.cSize < cSize) {
            // Matched by offset: widened channel k stands for image channel
            // cStart + k, repeating the fill's last channel.
            kelPixel value(from.type, from.cSize, from.data);
            widened.convert(value, type, cSize, nullptr);
            source.setData(widened, nullptr, from.cStart);
        }
        if (from.clipSet)
            region.intersect(part = region, from.clip);
    } else {
        kelTile3D<int> s = from.area;
        if (from.clipSet)
            s.intersect(from.area, from.clip);
        region.intersect(part = region, s);
    }
    if (region.nx < 1 || region.ny < 1 || region.nz < 1)
        return;
    kelConvIter it(*this, source);
    switch (from.checkMask(region)) {
    case kelFillAll:
        it.convert(region);
        break;
    case kelFillSome:
        kelConvertAround(it, region, from.mask);
        break;
    default:
        break; // the mask covers the region: nothing is written
    }
}
