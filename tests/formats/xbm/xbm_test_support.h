// Helpers for the XBM plug-in tests: texts written to scratch files, pages
// and pixels read back, and bitmaps from PBM files to compare with.
#ifndef KEL_TESTS_XBM_TEST_SUPPORT_H
#define KEL_TESTS_XBM_TEST_SUPPORT_H

#include <stdio.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "lib/file_test_support.h"

// A picture with one 0/1 value per pixel, rows from the top.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<unsigned char> bits;

    unsigned char at(int x, int y) const { return bits[size_t(y) * size_t(width) + size_t(x)]; }
    bool operator==(const Bitmap& o) const { return width == o.width && height == o.height && bits == o.bits; }
    Bitmap inverted() const
    {
        Bitmap b = *this;
        for (unsigned char& v : b.bits)
            v ^= 1;
        return b;
    }
};

inline void PrintTo(const Bitmap& b, std::ostream* os)
{
    *os << b.width << " x " << b.height << "\n";
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x)
            *os << (b.at(x, y) ? '#' : '.');
        *os << "\n";
    }
}

inline kelFile* openXBM(const std::string& path, kelStatus& sts, int mode = O_RDONLY)
{
    sts = -1;
    return kelFile::open(path.c_str(), mode, &sts);
}

// The one page as getPage gives it.
inline std::vector<unsigned char> readPage(kelFile* f, kelStatus& sts)
{
    kelSize p = storedPageSize(f);
    std::vector<unsigned char> page(size_t(p.x) / 8 * size_t(p.y), 0xEE);
    sts = f->getPage(page.data(), 0, 0, 0, 0, 0, 0, 0, 0);
    return page;
}

// The pixels through getTile, one byte each.
inline Bitmap readBitmap(kelFile* f, kelStatus& sts)
{
    Bitmap b;
    kelSize s = storedSize(f);
    b.width = s.x;
    b.height = s.y;
    b.bits.assign(size_t(s.x) * size_t(s.y), 0xEE);
    kelConfig cfg(kelUChar, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
    sts = f->getTile(0, 0, 0, s.x, s.y, 1, b.bits.data(), &cfg);
    return b;
}

inline kelStatus writeBitmap(kelFile* f, const Bitmap& b)
{
    kelConfig cfg(kelUChar, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
    return f->setTile(0, 0, 0, b.width, b.height, 1, b.bits.data(), &cfg);
}

// Creates an XBM file of the bitmap; sts says how it went.
inline kelStatus createXBM(const std::string& path, const Bitmap& b)
{
    kelSize size(b.width, b.height, 1, 1);
    kelFileConfig cfg(&size);
    kelStatus sts = -1;
    kelFile* f = kelFile::create(path.c_str(), nullptr, &cfg, nullptr, &sts);
    if (!f)
        return sts;
    sts = writeBitmap(f, b);
    kelStatus closed = f->close();
    return sts != kelOKAY ? sts : closed;
}

// Everything left in a stream.
inline std::string readAll(FILE* f)
{
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, n);
    return text;
}

inline std::string readText(const std::string& path)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return "";
    std::string text = readAll(f);
    fclose(f);
    return text;
}

// A PBM image (plain P1 or raw P4); 1 is black. An empty bitmap when the
// text is no PBM.
Bitmap parsePBM(const std::string& text);

// The bitmap of the XBM test picture, from its PBM file.
Bitmap testPicture();

std::string fixturePath(const char* name);

#endif
