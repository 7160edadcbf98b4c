#include "kelJPEGExif.h"

#include <math.h>

namespace {

enum : unsigned {
    tagOrientation = 0x0112,
    tagXResolution = 0x011A,
    tagYResolution = 0x011B,
    tagResolutionUnit = 0x0128,
    typeShort = 3,
    typeRational = 5
};

// Bounds-checked reads in the structure's byte order.
struct Tiff {
    const unsigned char* p;
    size_t size;
    bool little;

    bool has(size_t at, size_t n) const { return at <= size && n <= size - at; }
    unsigned u16(size_t at) const
    {
        return little ? p[at] | p[at + 1] << 8 : p[at] << 8 | p[at + 1];
    }
    unsigned long u32(size_t at) const
    {
        return little ? u16(at) | (unsigned long)u16(at + 2) << 16 : (unsigned long)u16(at) << 16 | u16(at + 2);
    }
};

// A rational resolution as a JFIF density, 0 when it does not fit.
int densityOf(const Tiff& t, size_t entry)
{
    size_t at = t.u32(entry + 8);
    if (t.u16(entry + 2) != typeRational || t.u32(entry + 4) != 1 || !t.has(at, 8) || t.u32(at + 4) == 0)
        return 0;
    double v = floor(double(t.u32(at)) / double(t.u32(at + 4)) + 0.5);
    return v >= 1 && v <= 65535 ? int(v) : 0;
}

void readEntry(const Tiff& t, size_t entry, kelJPEGExifFields& f, int& x, int& y, int& unit)
{
    const unsigned tag = t.u16(entry);
    const bool oneShort = t.u16(entry + 2) == typeShort && t.u32(entry + 4) == 1;
    if (tag == tagOrientation && oneShort && t.u16(entry + 8) >= 1 && t.u16(entry + 8) <= 8)
        f.orientation = int(t.u16(entry + 8));
    else if (tag == tagResolutionUnit && oneShort && t.u16(entry + 8) >= 1 && t.u16(entry + 8) <= 3)
        unit = int(t.u16(entry + 8)) - 1;
    else if (tag == tagXResolution)
        x = densityOf(t, entry);
    else if (tag == tagYResolution)
        y = densityOf(t, entry);
}

void put16(std::vector<unsigned char>& b, unsigned v)
{
    b.push_back((unsigned char)(v >> 8));
    b.push_back((unsigned char)v);
}

void put32(std::vector<unsigned char>& b, unsigned long v)
{
    put16(b, unsigned(v >> 16));
    put16(b, unsigned(v & 0xffff));
}

void putEntry(std::vector<unsigned char>& b, unsigned tag, unsigned type, unsigned long value)
{
    put16(b, tag);
    put16(b, type);
    put32(b, 1);
    if (type == typeShort) {
        put16(b, unsigned(value));
        put16(b, 0);
    } else {
        put32(b, value);
    }
}

} // namespace

kelJPEGExifFields kelJPEGReadExif(const unsigned char* tiff, size_t size)
{
    kelJPEGExifFields f;
    Tiff t{tiff, size, size >= 2 && tiff[0] == 'I' && tiff[1] == 'I'};
    if (!t.has(0, 8) || (!t.little && (tiff[0] != 'M' || tiff[1] != 'M')) || t.u16(2) != 42)
        return f;
    const size_t ifd = t.u32(4);
    if (!t.has(ifd, 2))
        return f;
    int x = 0, y = 0, unit = -1;
    const size_t count = t.u16(ifd);
    for (size_t i = 0; i < count && t.has(ifd + 2 + 12 * i, 12); i++)
        readEntry(t, ifd + 2 + 12 * i, f, x, y, unit);
    if (x && y && unit >= 0)
        f.density = {unit, x, y};
    return f;
}

std::vector<unsigned char> kelJPEGMakeExif(int orientation, const kelJPEGDensity& density)
{
    const bool turned = orientation != 1, dense = density.unit >= 0;
    const unsigned entries = (turned ? 1 : 0) + (dense ? 3 : 0);
    const unsigned long rationals = 8 + 2 + 12 * entries + 4; // after IFD0
    std::vector<unsigned char> b = {'E', 'x', 'i', 'f', 0, 0, 'M', 'M', 0, 42};
    put32(b, 8);
    put16(b, entries);
    if (turned)
        putEntry(b, tagOrientation, typeShort, unsigned(orientation));
    if (dense) {
        putEntry(b, tagXResolution, typeRational, rationals);
        putEntry(b, tagYResolution, typeRational, rationals + 8);
        putEntry(b, tagResolutionUnit, typeShort, unsigned(density.unit) + 1);
    }
    put32(b, 0);
    if (dense) {
        put32(b, (unsigned long)density.x);
        put32(b, 1);
        put32(b, (unsigned long)density.y);
        put32(b, 1);
    }
    return b;
}
