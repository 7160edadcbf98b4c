// Coordinate records: four (x, y, z, c) or three (x, y, z) components.
#ifndef KEL_COORD_H
#define KEL_COORD_H

#include <limits.h>

#include <kel/kelExport.h>
#include <kel/kelTypes.h>

template <class T>
struct kelXYZCS {
    T x, y, z, c;
};

template <class T>
class kelXYZC : public kelXYZCS<T> {
public:
    kelXYZC() { init(0, 0, 0, 0); }
    kelXYZC(T x, T y, T z, T c) { init(x, y, z, c); }
    explicit kelXYZC(T v) { init(v, v, v, v); }
    kelXYZC(const kelXYZC& o) = default;
    kelXYZC& operator=(const kelXYZC& o) = default;

    void init(T x, T y, T z, T c)
    {
        this->x = x;
        this->y = y;
        this->z = z;
        this->c = c;
    }

    T& operator[](kelAxis a) { return a == kelX ? this->x : a == kelY ? this->y : a == kelZ ? this->z : this->c; }
    const T& operator[](kelAxis a) const { return const_cast<kelXYZC&>(*this)[a]; }

#define KEL_XYZC_OP(op)                                                                  \
    kelXYZC& operator op##=(const kelXYZC& o)                                            \
    {                                                                                    \
        this->x op## = o.x;                                                              \
        this->y op## = o.y;                                                              \
        this->z op## = o.z;                                                              \
        this->c op## = o.c;                                                              \
        return *this;                                                                    \
    }                                                                                    \
    kelXYZC operator op(const kelXYZC& o) const { return kelXYZC(*this) op## = o; }
    KEL_XYZC_OP(+)
    KEL_XYZC_OP(-)
    KEL_XYZC_OP(*)
    KEL_XYZC_OP(/)
    KEL_XYZC_OP(%)
    KEL_XYZC_OP(&)
    KEL_XYZC_OP(|)
#undef KEL_XYZC_OP

    bool operator==(const kelXYZC& o) const { return this->x == o.x && this->y == o.y && this->z == o.z && this->c == o.c; }
    bool operator!=(const kelXYZC& o) const { return !(*this == o); }
    // Ordering holds only when it holds for every component.
    bool operator<=(const kelXYZC& o) const { return this->x <= o.x && this->y <= o.y && this->z <= o.z && this->c <= o.c; }
    bool operator>=(const kelXYZC& o) const { return o <= *this; }
    bool operator<(const kelXYZC& o) const { return this->x < o.x && this->y < o.y && this->z < o.z && this->c < o.c; }
    bool operator>(const kelXYZC& o) const { return o < *this; }
};

template <class T>
struct kelXYZS {
    T x, y, z;
};

template <class T>
class kelXYZ : public kelXYZS<T> {
public:
    kelXYZ() { init(0, 0, 0); }
    kelXYZ(T x, T y, T z) { init(x, y, z); }
    explicit kelXYZ(T v) { init(v, v, v); }
    kelXYZ(const kelXYZ& o) = default;
    kelXYZ& operator=(const kelXYZ& o) = default;

    void init(T x, T y, T z)
    {
        this->x = x;
        this->y = y;
        this->z = z;
    }

    // kelC has no component here; it selects z like every other axis past y.
    T& operator[](kelAxis a) { return a == kelX ? this->x : a == kelY ? this->y : this->z; }
    const T& operator[](kelAxis a) const { return const_cast<kelXYZ&>(*this)[a]; }

#define KEL_XYZ_OP(op)                                                                   \
    kelXYZ& operator op##=(const kelXYZ& o)                                              \
    {                                                                                    \
        this->x op## = o.x;                                                              \
        this->y op## = o.y;                                                              \
        this->z op## = o.z;                                                              \
        return *this;                                                                    \
    }                                                                                    \
    kelXYZ operator op(const kelXYZ& o) const { return kelXYZ(*this) op## = o; }
    KEL_XYZ_OP(+)
    KEL_XYZ_OP(-)
    KEL_XYZ_OP(*)
    KEL_XYZ_OP(/)
    KEL_XYZ_OP(%)
    KEL_XYZ_OP(&)
    KEL_XYZ_OP(|)
#undef KEL_XYZ_OP

    bool operator==(const kelXYZ& o) const { return this->x == o.x && this->y == o.y && this->z == o.z; }
    bool operator!=(const kelXYZ& o) const { return !(*this == o); }
    bool operator<=(const kelXYZ& o) const { return this->x <= o.x && this->y <= o.y && this->z <= o.z; }
    bool operator>=(const kelXYZ& o) const { return o <= *this; }
    bool operator<(const kelXYZ& o) const { return this->x < o.x && this->y < o.y && this->z < o.z; }
    bool operator>(const kelXYZ& o) const { return o < *this; }
};

// The size of an image or a page: pixels along x, y, z and channels c.
class KEL_API kelSize : public kelXYZC<int> {
public:
    kelSize() = default;
    kelSize(int x, int y, int z, int c) : kelXYZC<int>(x, y, z, c) {}
    kelSize(int x, int y, int z) : kelXYZC<int>(x, y, z, 1) {}
    kelSize(const kelXYZC<int>& o) : kelXYZC<int>(o) {}
    kelSize(const kelSize& o) = default;
    kelSize& operator=(const kelSize& o) = default;

    // The number of elements the size spans; a count beyond int gives the
    // int limit of its sign, so that an allocation of it fails instead of
    // coming out too small.
    explicit operator int() const
    {
        // Exact within int: every partial product is at most the result.
        double n = double(x) * y * z * c;
        return n > INT_MAX ? INT_MAX : n < INT_MIN ? INT_MIN : int(n);
    }
};

#endif
