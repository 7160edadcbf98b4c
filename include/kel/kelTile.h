// Boxes: an origin and an extent per axis. A box covers x <= X < x + nx.
#ifndef KEL_TILE_H
#define KEL_TILE_H

#include <algorithm>

#include <kel/kelTypes.h>

template <class T>
class kelTile2D {
public:
    T x, y, nx, ny;

    kelTile2D() : x(0), y(0), nx(0), ny(0) {}
    kelTile2D(T X, T Y, T Nx, T Ny) : x(X), y(Y), nx(Nx), ny(Ny) {}

    void init(T X, T Y, T Nx, T Ny)
    {
        x = X;
        y = Y;
        nx = Nx;
        ny = Ny;
    }
    void init(const kelTile2D& t) { *this = t; }

    T& origin(kelAxis a) { return a == kelX ? x : y; }
    T& size(kelAxis a) { return a == kelX ? nx : ny; }

    // The extent is not clamped: disjoint boxes give an extent of 0 or less.
    kelTile2D& intersect(const kelTile2D& a, const kelTile2D& b)
    {
        T ox = std::max(a.x, b.x), oy = std::max(a.y, b.y);
        T ex = std::min(a.x + a.nx, b.x + b.nx), ey = std::min(a.y + a.ny, b.y + b.ny);
        init(ox, oy, ex - ox, ey - oy);
        return *this;
    }
    kelTile2D& intersect(const kelTile2D& a, const kelTile2D& b, const kelTile2D& c)
    {
        kelTile2D ab;
        ab.intersect(a, b);
        return intersect(ab, c);
    }

    kelTile2D& boundingBox(const kelTile2D& a, const kelTile2D& b)
    {
        T ox = std::min(a.x, b.x), oy = std::min(a.y, b.y);
        T ex = std::max(a.x + a.nx, b.x + b.nx), ey = std::max(a.y + a.ny, b.y + b.ny);
        init(ox, oy, ex - ox, ey - oy);
        return *this;
    }
    kelTile2D& boundingBox(const kelTile2D& a, const kelTile2D& b, const kelTile2D& c)
    {
        kelTile2D ab;
        ab.boundingBox(a, b);
        return boundingBox(ab, c);
    }

    // `tile` lies inside this box; a far edge may run past this box where
    // this box itself reaches the limit (a page at the image edge).
    int contains(const kelTile2D& tile, T xMax, T yMax) const
    {
        return x <= tile.x && (tile.x + tile.nx <= x + nx || xMax <= x + nx) && y <= tile.y &&
               (tile.y + tile.ny <= y + ny || yMax <= y + ny);
    }
    int contains(const kelTile2D& tile) const
    {
        return x <= tile.x && tile.x + tile.nx <= x + nx && y <= tile.y && tile.y + tile.ny <= y + ny;
    }
    int contains(T X, T Y) const { return x <= X && X < x + nx && y <= Y && Y < y + ny; }

    bool operator==(const kelTile2D& o) const { return x == o.x && y == o.y && nx == o.nx && ny == o.ny; }
    bool operator!=(const kelTile2D& o) const { return !(*this == o); }
    kelTile2D& operator+=(const kelTile2D& o)
    {
        init(x + o.x, y + o.y, nx + o.nx, ny + o.ny);
        return *this;
    }
    kelTile2D& operator-=(const kelTile2D& o)
    {
        init(x - o.x, y - o.y, nx - o.nx, ny - o.ny);
        return *this;
    }

    // Moves every edge outward (grow) or inward (shrink) by n.
    kelTile2D& grow(T n)
    {
        init(x - n, y - n, nx + 2 * n, ny + 2 * n);
        return *this;
    }
    kelTile2D& shrink(T n) { return grow(-n); }
};

template <class T>
class kelTile3D : public kelTile2D<T> {
public:
    T z, nz;

    kelTile3D() : z(0), nz(0) {}
    kelTile3D(T X, T Y, T Z, T Nx, T Ny, T Nz) : kelTile2D<T>(X, Y, Nx, Ny), z(Z), nz(Nz) {}

    void init(T X, T Y, T Z, T Nx, T Ny, T Nz)
    {
        kelTile2D<T>::init(X, Y, Nx, Ny);
        z = Z;
        nz = Nz;
    }
    void init(const kelTile3D& t) { *this = t; }

    T& origin(kelAxis a) { return a == kelZ ? z : kelTile2D<T>::origin(a); }
    T& size(kelAxis a) { return a == kelZ ? nz : kelTile2D<T>::size(a); }

    kelTile3D& intersect(const kelTile3D& a, const kelTile3D& b)
    {
        kelTile2D<T>::intersect(a, b);
        T oz = std::max(a.z, b.z);
        nz = std::min(a.z + a.nz, b.z + b.nz) - oz;
        z = oz;
        return *this;
    }
    kelTile3D& intersect(const kelTile3D& a, const kelTile3D& b, const kelTile3D& c)
    {
        kelTile3D ab;
        ab.intersect(a, b);
        return intersect(ab, c);
    }

    kelTile3D& boundingBox(const kelTile3D& a, const kelTile3D& b)
    {
        kelTile2D<T>::boundingBox(a, b);
        T oz = std::min(a.z, b.z);
        nz = std::max(a.z + a.nz, b.z + b.nz) - oz;
        z = oz;
        return *this;
    }
    kelTile3D& boundingBox(const kelTile3D& a, const kelTile3D& b, const kelTile3D& c)
    {
        kelTile3D ab;
        ab.boundingBox(a, b);
        return boundingBox(ab, c);
    }

    using kelTile2D<T>::contains;
    int contains(const kelTile3D& tile) const
    {
        return kelTile2D<T>::contains(tile) && z <= tile.z && tile.z + tile.nz <= z + nz;
    }
    int contains(T X, T Y, T Z) const { return kelTile2D<T>::contains(X, Y) && z <= Z && Z < z + nz; }

    bool operator==(const kelTile3D& o) const { return kelTile2D<T>::operator==(o) && z == o.z && nz == o.nz; }
    bool operator!=(const kelTile3D& o) const { return !(*this == o); }
    kelTile3D& operator+=(const kelTile3D& o)
    {
        kelTile2D<T>::operator+=(o);
        z += o.z;
        nz += o.nz;
        return *this;
    }
    kelTile3D& operator-=(const kelTile3D& o)
    {
        kelTile2D<T>::operator-=(o);
        z -= o.z;
        nz -= o.nz;
        return *this;
    }

    kelTile3D& grow(T n)
    {
        kelTile2D<T>::grow(n);
        z -= n;
        nz += 2 * n;
        return *this;
    }
    kelTile3D& shrink(T n) { return grow(-n); }
};

#endif
