// A naive model of pixel conversion for the converter tests: one element at
// a time, addressed through the coordinate formula, converted by the rule
// table written out with plain integer and floating arithmetic.
#ifndef KEL_TEST_CONV_REFERENCE_H
#define KEL_TEST_CONV_REFERENCE_H

#include <kel/kelConverter.h>
#include <kel/kelDataSize.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace convref {

// A component read without loss: integer types exactly, floating types as double.
struct Value {
    bool floating;
    int64_t i;
    double f;
};

inline bool isFloating(kelDataType t)
{
    return t == kelFloat || t == kelDouble;
}

inline Value read(const void* data, kelDataType t, long idx)
{
    const uint8_t* b = static_cast<const uint8_t*>(data);
    Value v{false, 0, 0.0};
    switch (t) {
    case kelBit:
        v.i = (b[idx / 8] >> (7 - idx % 8)) & 1;
        break;
    case kelUChar:
        v.i = b[idx];
        break;
    case kelChar:
        v.i = int8_t(b[idx]);
        break;
    case kelUShort: {
        uint16_t x;
        memcpy(&x, b + 2 * idx, 2);
        v.i = x;
        break;
    }
    case kelShort: {
        int16_t x;
        memcpy(&x, b + 2 * idx, 2);
        v.i = x;
        break;
    }
    case kelUInt: {
        uint32_t x;
        memcpy(&x, b + 4 * idx, 4);
        v.i = x;
        break;
    }
    case kelInt: {
        int32_t x;
        memcpy(&x, b + 4 * idx, 4);
        v.i = x;
        break;
    }
    case kelFloat: {
        float x;
        memcpy(&x, b + 4 * idx, 4);
        v.floating = true;
        v.f = x;
        break;
    }
    default: {
        double x;
        memcpy(&x, b + 8 * idx, 8);
        v.floating = true;
        v.f = x;
        break;
    }
    }
    return v;
}

// Truncation toward zero; NaN and magnitudes of 2^63 and more give INT64_MIN.
inline int64_t trunc64(double f)
{
    if (std::isnan(f) || f >= 9223372036854775808.0 || f < -9223372036854775808.0)
        return INT64_MIN;
    return int64_t(std::trunc(f));
}

inline void write(void* data, kelDataType t, long idx, const Value& v)
{
    uint8_t* b = static_cast<uint8_t*>(data);
    if (t == kelBit) {
        bool on = v.floating ? (uint64_t(trunc64(v.f)) & 0xffffffffu) != 0 : v.i != 0;
        uint8_t bit = uint8_t(0x80 >> (idx % 8));
        b[idx / 8] = on ? (b[idx / 8] | bit) : (b[idx / 8] & ~bit);
    } else if (t == kelFloat) {
        float x = v.floating ? float(v.f) : float(v.i);
        memcpy(b + 4 * idx, &x, 4);
    } else if (t == kelDouble) {
        double x = v.floating ? v.f : double(v.i);
        memcpy(b + 8 * idx, &x, 8);
    } else {
        // Low bytes of the 64-bit two's complement value (little endian).
        uint64_t low = uint64_t(v.floating ? trunc64(v.f) : v.i);
        unsigned size = kelDataSize(t, 1);
        uint8_t bytes[8];
        for (int k = 0; k < 8; k++)
            bytes[k] = uint8_t(low >> (8 * k));
        memcpy(b + size * idx, bytes, size);
    }
}

// Element steps from the layout table, written out per order.
struct Steps {
    long x, y, z, c;
};

inline Steps steps(const kelConverter& cv)
{
    long nx = cv.area.nx, ny = cv.area.ny, c = cv.cSize;
    Steps s{0, 0, 0, 1};
    if (cv.fill)
        return s;
    bool t = cv.transposeXY;
    if (cv.order == kelInterleaved)
        s = {t ? c * ny : c, t ? c : c * nx, c * nx * ny, 1};
    else if (cv.order == kelSequential)
        s = {t ? ny * c : 1, t ? 1 : nx * c, nx * c * ny, t ? ny : nx};
    else
        s = {t ? ny : 1, t ? 1 : nx, c * nx * ny, nx * ny};
    if (cv.flipX)
        s.x = -s.x;
    if (cv.flipY)
        s.y = -s.y;
    return s;
}

inline long index(const kelConverter& cv, long X, long Y, long Z, long k)
{
    if (cv.fill)
        return k;
    Steps s = steps(cv);
    long ox = cv.flipX ? cv.area.nx - 1 : 0, oy = cv.flipY ? cv.area.ny - 1 : 0;
    return (X - cv.area.x - ox) * s.x + (Y - cv.area.y - oy) * s.y + (Z - cv.area.z) * s.z + k * s.c;
}

inline int imageChan(const kelConverter& cv, int i)
{
    return cv.cList ? cv.cList[i] : cv.cStart + i;
}

inline kelTile3D<int> region(const kelConverter& cv)
{
    kelTile3D<int> r = cv.area;
    if (cv.clipSet)
        r.intersect(cv.area, cv.clip);
    return r;
}

inline bool inside(const kelTile3D<int>& b, long X, long Y, long Z)
{
    return b.nx > 0 && b.ny > 0 && b.nz > 0 && b.contains(int(X), int(Y), int(Z));
}

// dst = src, one element at a time.
inline void assign(const kelConverter& dst, const kelConverter& src)
{
    kelTile3D<int> r = region(dst);
    kelTile3D<int> s = src.fill ? (src.clipSet ? src.clip : r) : region(src);
    kelTile3D<int> rs;
    rs.intersect(r, s);
    // A fill with fewer channels than dst is widened, matched by offset.
    bool widen = src.fill && src.cSize < dst.cSize;
    for (long Z = rs.z; Z < rs.z + rs.nz; Z++)
        for (long Y = rs.y; Y < rs.y + rs.ny; Y++)
            for (long X = rs.x; X < rs.x + rs.nx; X++) {
                if (inside(src.mask, X, Y, Z))
                    continue;
                for (int ci = 0; ci < dst.cSize; ci++) {
                    int c = imageChan(dst, ci);
                    if (c < 0)
                        continue;
                    int si = -1;
                    if (widen) {
                        si = c - src.cStart < dst.cSize ? c - src.cStart : -1;
                    } else if (src.cList) {
                        for (int k = 0; k < src.cSize && si < 0; k++)
                            if (src.cList[k] == c)
                                si = k;
                    } else if (c - src.cStart < src.cSize) {
                        si = c - src.cStart;
                    }
                    if (si < 0)
                        continue;
                    Value v;
                    if (widen) {
                        // Through a double, then stored in dst's type, as a pixel converts.
                        Value f = read(src.data, src.type, std::min(si, src.cSize - 1));
                        double d = f.floating ? f.f : double(f.i);
                        uint64_t tmp = 0;
                        write(&tmp, dst.type, 0, Value{true, 0, d});
                        v = read(&tmp, dst.type, 0);
                    } else {
                        v = read(src.data, src.type, index(src, X, Y, Z, si));
                    }
                    write(dst.data, dst.type, index(dst, X, Y, Z, ci), v);
                }
            }
}

} // namespace convref

#endif
