// Helpers for the Raw plug-in tests: every test runs in a child process
// against the build tree's database, which loads the plug-in on first use.
#ifndef KEL_TESTS_RAW_TEST_SUPPORT_H
#define KEL_TESTS_RAW_TEST_SUPPORT_H

#include "lib/file_test_support.h"

#define EXPECT_RAW_CHILD(...) EXPECT_IN_CHILD(KEL_TEST_DATABASE, __VA_ARGS__)

// The stored (file-orientation) size and page size of an open file.
inline kelSize storedSize(kelFile* f)
{
    kelSize s;
    f->getSize(s, f->getOrientation());
    return s;
}

inline kelSize storedPageSize(kelFile* f)
{
    kelSize s;
    f->getPageSize(s, f->getOrientation());
    return s;
}

// Bytes 0, 1, 2, ... (mod 251) so that every offset is recognisable.
inline std::string numberedBytes(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; i++)
        s[i] = char(i % 251);
    return s;
}

// Reads the page at (x, y, z, c) and returns its first `n` bytes.
inline std::vector<unsigned char> readPage(kelFile* f, int x, int y, int z, int c, size_t bytes, kelStatus& sts)
{
    std::vector<unsigned char> page(bytes, 0xEE);
    sts = f->getPage(page.data(), x, y, z, c, 0, 0, 0, 0);
    return page;
}

inline bool pageHoldsFileBytes(const std::vector<unsigned char>& page, const std::string& file, size_t offset)
{
    if (offset + page.size() > file.size())
        return false;
    return memcmp(page.data(), file.data() + offset, page.size()) == 0;
}

#endif
