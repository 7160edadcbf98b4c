// Helpers for the BMP plug-in tests: files built field by field, pictures
// packed into stored rows the way the format defines them, and images read
// back through the public interface.
#ifndef KEL_TESTS_BMP_TEST_SUPPORT_H
#define KEL_TESTS_BMP_TEST_SUPPORT_H

#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>

#include <array>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <kel/kel.h>

#include "lib/file_test_support.h"

using Bytes = std::vector<unsigned char>;
using Rgb = std::array<unsigned char, 3>;

// Appends `value` as `n` little-endian bytes.
inline void putLE(std::string& s, uint64_t value, int n)
{
    for (int i = 0; i < n; i++)
        s += char((value >> (8 * i)) & 0xff);
}

inline uint32_t getLE(const Bytes& b, size_t at, int n)
{
    uint32_t v = 0;
    for (int i = 0; i < n; i++)
        v |= uint32_t(b.at(at + i)) << (8 * i);
    return v;
}

// A BMP file described by its header fields. The info header is written in
// the 12-byte layout when headerSize is 12, else in the 40-byte layout
// followed by the color masks and zeros up to headerSize.
struct BmpSpec {
    uint32_t headerSize = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
    int32_t xres = 0;
    int32_t yres = 0;
    uint32_t colorsUsed = 0;
    uint32_t importantColors = 0;
    std::vector<uint32_t> masks; // inside a header of 52 bytes or more, else after it
    std::vector<Rgb> palette;
    std::string pixels;   // the stored pixel data
    int64_t offset = -1;  // of the pixel data; -1: right after the palette

    std::string build() const
    {
        const bool shortHeader = headerSize == 12;
        const size_t entry = shortHeader ? 3 : 4;
        const int64_t maskEnd = shortHeader ? 0 : 14 + 40 + 4 * int64_t(masks.size());
        const int64_t paletteEnd =
            std::max(maskEnd, 14 + int64_t(headerSize)) + int64_t(palette.size() * entry);
        const int64_t dataAt = offset >= 0 ? offset : paletteEnd;
        std::string s = "BM";
        putLE(s, uint64_t(dataAt) + pixels.size(), 4);
        putLE(s, 0, 4);
        putLE(s, uint64_t(dataAt), 4);
        putLE(s, headerSize, 4);
        if (shortHeader) {
            putLE(s, uint32_t(width), 2);
            putLE(s, uint32_t(height), 2);
            putLE(s, planes, 2);
            putLE(s, bits, 2);
        } else {
            for (uint64_t v : {uint64_t(uint32_t(width)), uint64_t(uint32_t(height))})
                putLE(s, v, 4);
            putLE(s, planes, 2);
            putLE(s, bits, 2);
            for (uint32_t v : {compression, uint32_t(pixels.size()), uint32_t(xres), uint32_t(yres), colorsUsed,
                               importantColors})
                putLE(s, v, 4);
            for (uint32_t m : masks)
                putLE(s, m, 4);
            s.resize(std::max(s.size(), size_t(14 + headerSize)), '\0');
        }
        for (const Rgb& c : palette) {
            s += char(c[2]);
            s += char(c[1]);
            s += char(c[0]);
            if (!shortHeader)
                s += '\0';
        }
        if (int64_t(s.size()) < dataAt)
            s.resize(size_t(dataAt), '\0');
        s.resize(size_t(dataAt));
        return s + pixels;
    }
};

inline std::vector<Rgb> grayPalette(size_t n)
{
    std::vector<Rgb> p;
    for (size_t i = 0; i < n; i++)
        p.push_back({(unsigned char)(i * 3), (unsigned char)(i * 5 + 1), (unsigned char)(255 - i)});
    return p;
}

// Pixel value `v` of a picture: one byte per pixel and channel, rows from
// the bottom up, values below 2^bits for palette depths.
inline Bytes testPicture(int width, int height, int channels, int bits, unsigned seed = 1)
{
    Bytes p(size_t(width) * height * channels);
    const unsigned limit = bits >= 8 ? 256 : 1u << bits;
    for (size_t i = 0; i < p.size(); i++)
        p[i] = (unsigned char)(((i + seed) * 2654435761u >> 13) % limit);
    return p;
}

// The stored rows of a picture (bottom row first), packed at `bits` per
// pixel and padded to 4 bytes; 24-bit pixels as Blue, Green, Red.
inline std::string storedRows(const Bytes& picture, int width, int height, int bits)
{
    const size_t stride = (size_t(width) * bits + 31) / 32 * 4;
    const int channels = bits == 24 ? 3 : 1;
    std::string s(stride * height, '\0');
    for (int y = 0; y < height; y++) {
        char* row = &s[y * stride];
        const size_t first = size_t(y) * width * channels;
        for (int x = 0; x < width; x++) {
            const unsigned v = picture[first + x];
            switch (bits) {
            case 1:
                row[x / 8] = char(row[x / 8] | (v << (7 - x % 8)));
                break;
            case 4:
                row[x / 2] = char(row[x / 2] | (v << (x % 2 ? 0 : 4)));
                break;
            case 8:
                row[x] = char(v);
                break;
            default:
                for (int c = 0; c < 3; c++)
                    row[3 * x + c] = char(picture.at(first + 3 * x + 2 - c));
            }
        }
    }
    return s;
}

// The rows of a picture in the other vertical order.
inline Bytes flipRows(const Bytes& picture, int width, int height, int channels)
{
    Bytes out(picture.size());
    const size_t row = size_t(width) * channels;
    for (int y = 0; y < height; y++)
        std::copy_n(&picture[y * row], row, &out[(height - 1 - y) * row]);
    return out;
}

inline kelFile* openBmp(const std::string& path, kelStatus& sts)
{
    sts = -1;
    return kelFile::open((path + "#BMP").c_str(), O_RDONLY, &sts);
}

// The whole image as seen from `orientation` (one byte per pixel and channel).
inline Bytes readImage(kelFile* f, kelOrientation orientation, kelStatus& sts)
{
    kelSize s;
    f->getSize(s, orientation);
    Bytes data(size_t(s.x) * s.y * s.c, 0xEE);
    kelConfig cfg(kelUChar, kelInterleaved, s.c, nullptr, 0, orientation);
    sts = f->getTile(0, 0, 0, s.x, s.y, 1, data.data(), &cfg);
    return data;
}

inline std::vector<Rgb> paletteOf(kelFile* f)
{
    std::vector<Rgb> p;
    const kelColormap* map = nullptr;
    if (f->getColormap(map) != kelOKAY || !map)
        return p;
    for (int i = 0; i < map->getLength(); i++)
        p.push_back({(unsigned char)map->getVal(i, 0), (unsigned char)map->getVal(i, 1),
                     (unsigned char)map->getVal(i, 2)});
    return p;
}

// Warnings and errors go here instead of ending the test.
class BmpTest : public ::testing::Test {
protected:
    BmpTest() : quiet(CapturedMessages::handler, &messages) {}

    std::string write(const char* name, const std::string& contents) const { return dir.write(name, contents); }

    ScratchDir dir;
    CapturedMessages messages;
    kelSetLocalErrorHandler quiet;
};

#endif
