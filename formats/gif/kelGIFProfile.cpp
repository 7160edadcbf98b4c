// The ICC profile extension. Writers put the profile bytes straight into
// the sub-blocks; an older form puts its size first, in a 4-byte sub-block.
#include "kelGIFFile.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

void kelGIFFile::deleteProfile()
{
    free(profileData);
    profileData = nullptr;
    profileSize = 0;
}

namespace {

// Bytes gathered as they arrive, never more than the file holds.
struct Gathered {
    unsigned char* data = nullptr;
    size_t size = 0;
    size_t capacity = 0;

    ~Gathered() { free(data); }

    kelStatus append(const unsigned char* bytes, size_t n)
    {
        if (size + n > capacity) {
            size_t grown = capacity ? capacity * 2 : 4096; // n is at most 255
            unsigned char* p = static_cast<unsigned char*>(realloc(data, grown));
            if (!p)
                return kelMALLOCFAILED;
            data = p;
            capacity = grown;
        }
        memcpy(data + size, bytes, n);
        size += n;
        return kelOKAY;
    }
};

unsigned long readLong(const unsigned char* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | (unsigned long)p[3] << 24;
}

} // namespace

kelStatus kelGIFFile::readProfile()
{
    deleteProfile();
    Gathered bytes;
    int firstLen = -1;
    kelStatus sts = eachSubBlock([&](const unsigned char* d, int len) {
        if (firstLen < 0)
            firstLen = len;
        if (bytes.size + size_t(len) > size_t(INT_MAX))
            return kelStatus(kelCORRUPTED);
        return bytes.append(d, size_t(len));
    });
    if (sts != kelOKAY)
        return sts;
    // A first sub-block of 4 bytes that counts the bytes after it is the size form.
    size_t skip = firstLen == 4 && readLong(bytes.data) == bytes.size - 4 ? 4 : 0;
    if (bytes.size > skip) {
        memmove(bytes.data, bytes.data + skip, bytes.size - skip);
        profileSize = int(bytes.size - skip);
        profileData = bytes.data;
        bytes.data = nullptr;
    }
    return kelOKAY;
}

kelStatus kelGIFFile::_getICCProfile(int& sz, void*& profile)
{
    if (profileSize && profileData) {
        sz = profileSize;
        profile = profileData;
        return kelOKAY;
    }
    sz = 0;
    profile = nullptr;
    return kelBADPARAMS;
}

kelStatus kelGIFFile::_freeICCProfile(void*)
{
    return kelOKAY;
}

// The profile goes into the header, which the first image writes.
kelStatus kelGIFFile::_setICCProfile(int sz, const void* profile)
{
    if (wroteHeader)
        return kelREADONLY;
    if (sz < 0 || (sz > 0 && !profile))
        return kelBADPARAMS;
    unsigned char* copy = nullptr;
    if (sz > 0) {
        copy = static_cast<unsigned char*>(malloc(size_t(sz)));
        if (!copy)
            return kelMALLOCFAILED;
        memcpy(copy, profile, size_t(sz));
    }
    deleteProfile();
    profileData = copy;
    profileSize = sz;
    return kelOKAY;
}
