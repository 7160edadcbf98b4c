// Helpers for the FIT plug-in tests: headers built byte by byte, files
// created with a chosen configuration, and the bytes that land on disk.
#ifndef KEL_TESTS_FIT_TEST_SUPPORT_H
#define KEL_TESTS_FIT_TEST_SUPPORT_H

#include <stdint.h>
#include <sys/stat.h>

#include <kel/kelFITFile.h>

#include "formats/raw/raw_test_support.h"

// The tests run in this process against the build tree's database.
class FitEnvironment : public ::testing::Environment {
public:
    void SetUp() override { setenv("KEL_DATABASE", KEL_TEST_DATABASE, 0); }
};
inline ::testing::Environment* const fitEnvironment = ::testing::AddGlobalTestEnvironment(new FitEnvironment);

// A header's fields, as a file stores them (the color model of version 1
// already less one).
struct HeaderFields {
    int version = 2;
    int32_t size[4] = {4, 3, 1, 1};
    int32_t dtype = kelUChar, order = kelInterleaved, orientation = kelUpperLeftOrigin, cm = kelLuminance;
    int32_t page[4] = {4, 3, 1, 1};
    double scaleMin = 0, scaleMax = 255;
    int32_t dataOffset = 80;
};

inline void appendBig(std::string& s, uint64_t v, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        s += char((v >> (8 * i)) & 0xff);
}

// The 80-byte version-2 or 56-byte version-1 header of `h`.
inline std::string headerBytes(const HeaderFields& h)
{
    std::string s = h.version == 1 ? "IT01" : "IT02";
    for (int32_t v : h.size)
        appendBig(s, uint32_t(v), 4);
    for (int32_t v : {h.dtype, h.order, h.orientation, h.cm})
        appendBig(s, uint32_t(v), 4);
    for (int32_t v : h.page)
        appendBig(s, uint32_t(v), 4);
    if (h.version == 1) {
        appendBig(s, uint32_t(h.dataOffset), 4);
        return s;
    }
    appendBig(s, 0, 4);
    uint64_t bits;
    memcpy(&bits, &h.scaleMin, 8);
    appendBig(s, bits, 8);
    memcpy(&bits, &h.scaleMax, 8);
    appendBig(s, bits, 8);
    appendBig(s, uint32_t(h.dataOffset), 4);
    appendBig(s, 0, 4);
    return s;
}

inline kelFile* createFit(const std::string& path, const kelSize& size, kelDataType type, kelOrder order,
                          const kelSize& page, kelStatus& sts, kelColorModel cm = kelColorModel(0),
                          kelOrientation orientation = kelUpperLeftOrigin)
{
    kelFileConfig cfg(&size, type, order, cm, orientation, kelNoCompression, &page);
    return kelFile::create((path + "#FIT").c_str(), nullptr, &cfg, nullptr, &sts);
}

inline kelFile* openFit(const std::string& path, int mode, kelStatus& sts)
{
    return kelFile::open((path + "#FIT").c_str(), mode, &sts);
}

// `n` bytes of the file at `offset` (fewer where it ends).
inline std::string bytesAt(const std::string& path, off_t offset, size_t n)
{
    std::string s(n, '\0');
    int fd = ::open(path.c_str(), O_RDONLY);
    ssize_t got = fd >= 0 ? pread(fd, &s[0], n, offset) : -1;
    if (fd >= 0)
        ::close(fd);
    s.resize(got > 0 ? size_t(got) : 0);
    return s;
}

inline long long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (long long)st.st_size : -1;
}

inline std::string hex(const std::string& bytes)
{
    std::string s;
    char b[4];
    for (unsigned char c : bytes) {
        snprintf(b, sizeof b, "%02X ", c);
        s += b;
    }
    return s;
}

#endif
