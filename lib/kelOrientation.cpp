#include <kel/kelOrientation.h>

#include <limits.h>

#include <utility>

const char kelOrientationIsLow[9] = {1, 0, 0, 1, 1, 0, 0, 1, 1};
const char kelOrientationIsLeft[9] = {1, 1, 0, 0, 1, 1, 0, 0, 1};
const char kelOrientationIsTrans[9] = {0, 0, 0, 0, 0, 1, 1, 1, 1};

static const kelOrientation flipXTable[9] = {
    kelOrientation(0), kelUpperRightOrigin, kelUpperLeftOrigin, kelLowerLeftOrigin, kelLowerRightOrigin,
    kelLeftLowerOrigin, kelRightLowerOrigin, kelRightUpperOrigin, kelLeftUpperOrigin};
static const kelOrientation flipYTable[9] = {
    kelOrientation(0), kelLowerLeftOrigin, kelLowerRightOrigin, kelUpperRightOrigin, kelUpperLeftOrigin,
    kelRightUpperOrigin, kelLeftUpperOrigin, kelLeftLowerOrigin, kelRightLowerOrigin};
static const kelOrientation transTable[9] = {
    kelOrientation(0), kelLeftUpperOrigin, kelRightUpperOrigin, kelRightLowerOrigin, kelLeftLowerOrigin,
    kelUpperLeftOrigin, kelUpperRightOrigin, kelLowerRightOrigin, kelLowerLeftOrigin};

// Values outside the enumeration read as entry 0, so that a bad orientation
// coming from a caller never indexes past a table.
static int slot(kelOrientation o)
{
    return o >= kelUpperLeftOrigin && o <= kelLeftLowerOrigin ? int(o) : 0;
}

static int isTrans(kelOrientation o)
{
    return kelOrientationIsTrans[slot(o)];
}

kelOrientation kelMapOrientation(kelOrientation orientation, int flipX, int flipY, int transXY)
{
    int o = slot(orientation);
    if (flipX)
        o = flipXTable[o];
    if (flipY)
        o = flipYTable[o];
    if (transXY)
        o = transTable[o];
    return kelOrientation(o);
}

void kelMapFlipTrans(kelOrientation fromOrientation, kelFlip& flip, int& transXY, kelOrientation toOrientation)
{
    int from = slot(fromOrientation), to = slot(toOrientation);
    transXY = kelOrientationIsTrans[from] != kelOrientationIsTrans[to];
    int lowDiffers = kelOrientationIsLow[from] != kelOrientationIsLow[to];
    int leftDiffers = kelOrientationIsLeft[from] != kelOrientationIsLeft[to];
    int xFlip = kelOrientationIsTrans[to] ? lowDiffers : leftDiffers;
    int yFlip = kelOrientationIsTrans[to] ? leftDiffers : lowDiffers;
    flip = kelFlip((xFlip ? kelXFlip : 0) | (yFlip ? kelYFlip : 0));
}

static int clampToInt(long long v)
{
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : int(v);
}

// The start of a box counted from the far edge. Integer boxes are computed
// wide and clamped, so that no request, however absurd, overflows.
static int farStart(int size, int start, int extent)
{
    return clampToInt((long long)size - start - extent);
}

static float farStart(int size, float start, float extent)
{
    return float(size) - start - extent;
}

template <class T>
static void mapTile(kelOrientation from, kelTile2D<T>& tile, kelFlip& flip, int& transXY, kelOrientation to,
                    const kelSize& size)
{
    kelMapFlipTrans(from, flip, transXY, to);
    if (transXY) {
        std::swap(tile.x, tile.y);
        std::swap(tile.nx, tile.ny);
    }
    if (flip & kelXFlip)
        tile.x = farStart(size.x, tile.x, tile.nx);
    if (flip & kelYFlip)
        tile.y = farStart(size.y, tile.y, tile.ny);
}

void kelMapTile(kelOrientation from, kelTile2D<int>& tile, kelFlip& flip, int& transXY, kelOrientation to,
                const kelSize& size)
{
    mapTile(from, tile, flip, transXY, to, size);
}

void kelMapTile(kelOrientation from, kelTile2D<int>& tile, kelOrientation to, const kelSize& size)
{
    kelFlip flip;
    int transXY;
    mapTile(from, tile, flip, transXY, to, size);
}

void kelMapTile(kelOrientation from, kelTile2D<float>& tile, kelOrientation to, const kelSize& size)
{
    kelFlip flip;
    int transXY;
    mapTile(from, tile, flip, transXY, to, size);
}

void kelMapXY(kelOrientation from, float& x, float& y, kelOrientation to, const kelSize& size)
{
    kelFlip flip;
    int transXY;
    kelMapFlipTrans(from, flip, transXY, to);
    if (transXY)
        std::swap(x, y);
    if (flip & kelXFlip)
        x = float(size.x - 1LL) - x;
    if (flip & kelYFlip)
        y = float(size.y - 1LL) - y;
}

// Truncation toward zero; a float beyond the int range (a large int may
// round up to 2^31) is clamped instead of being undefined.
static int truncToInt(float v)
{
    return v >= 2147483648.0f ? INT_MAX : v <= -2147483648.0f ? INT_MIN : int(v);
}

void kelMapXY(kelOrientation from, int& x, int& y, kelOrientation to, const kelSize& size)
{
    float fx = float(x), fy = float(y);
    kelMapXY(from, fx, fy, to, size);
    x = truncToInt(fx);
    y = truncToInt(fy);
}

void kelMapXYSign(kelOrientation from, float& x, float& y, kelOrientation to)
{
    kelFlip flip;
    int transXY;
    kelMapFlipTrans(from, flip, transXY, to);
    if (transXY)
        std::swap(x, y);
    if (flip & kelXFlip)
        x = -x;
    if (flip & kelYFlip)
        y = -y;
}

int kelOrientationIsMirror(kelOrientation fromOrientation, kelOrientation toOrientation)
{
    int from = slot(fromOrientation), to = slot(toOrientation);
    int differing = (kelOrientationIsTrans[from] != kelOrientationIsTrans[to]) +
                    (kelOrientationIsLow[from] != kelOrientationIsLow[to]) +
                    (kelOrientationIsLeft[from] != kelOrientationIsLeft[to]);
    return differing & 1;
}

void kelMapSize(kelOrientation from, kelSize& size, kelOrientation to)
{
    kelMapSize(from, size.x, size.y, to);
}

void kelMapSize(kelOrientation from, int& sx, int& sy, kelOrientation to)
{
    if (isTrans(from) != isTrans(to))
        std::swap(sx, sy);
}
