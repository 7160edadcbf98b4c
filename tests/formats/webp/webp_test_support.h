// What the WebP tests share: the fixtures, the peers (dwebp, webpmux,
// Pillow) that give the pixels and items to expect, and reading frames.
#ifndef KEL_TESTS_WEBP_TEST_SUPPORT_H
#define KEL_TESTS_WEBP_TEST_SUPPORT_H

#include <string.h>

#include <string>
#include <vector>

#include "formats/peer_test_support.h"
#include "lib/file_test_support.h"

#define DWEBP "/usr/bin/dwebp -version"
#define WEBPMUX "/usr/bin/webpmux -version"

inline std::string fixture(const std::string& name)
{
    return std::string(KEL_TEST_SOURCE_DIR) + "/tests/data/webp/" + name;
}

// RGBA pixels that dwebp decodes from the WebP bytes `command` prints.
inline Bytes dwebpRGBA(const std::string& command)
{
    const Bytes pam = runPeer("(" + command + ") 2>/dev/null | /usr/bin/dwebp -quiet -pam -o - -- -");
    static const char end[] = "ENDHDR\n";
    auto at = std::search(pam.begin(), pam.end(), end, end + 7);
    return at == pam.end() ? Bytes() : Bytes(at + 7, pam.end());
}

// Pillow's frames of an animation as its decoder shows them, RGBA, one
// after another.
inline Bytes pillowFrames(const std::string& path)
{
    return runPeer("/usr/bin/python3 -c 'import sys; from PIL import Image, ImageSequence; "
                   "[sys.stdout.buffer.write(f.convert(\"RGBA\").tobytes()) for f in "
                   "ImageSequence.Iterator(Image.open(sys.argv[1]))]' '" + path + "'");
}

// The current image as RGBA, RGB images opaque.
inline Bytes readRGBA(kelFile* f, kelStatus* sts = nullptr)
{
    kelSize s;
    f->getDimensions(s);
    Bytes pixels(size_t(s.x) * size_t(s.y) * size_t(s.c)), rgba;
    kelStatus got = f->getTile(0, 0, 0, s.x, s.y, 1, pixels.data());
    if (sts)
        *sts = got;
    for (size_t i = 0; i < pixels.size(); i += size_t(s.c)) {
        rgba.insert(rgba.end(), pixels.begin() + long(i), pixels.begin() + long(i) + 3);
        rgba.push_back(s.c == 4 ? pixels[i + 3] : 255);
    }
    return rgba;
}

inline int intItem(kelFile* f, int tag)
{
    int v = -1;
    return f->getItem(tag, &v) == kelOKAY ? v : -1;
}

// A byte item's bytes, or the ICC profile's (tag -1); none when absent.
inline Bytes bytesItem(kelFile* f, int tag)
{
    const void* p = nullptr;
    int n = 0;
    if (tag < 0 ? f->getICCProfile(n, const_cast<void*&>(p)) != kelOKAY : f->getItem(tag, &p, &n) != kelOKAY)
        return Bytes();
    return Bytes(static_cast<const unsigned char*>(p), static_cast<const unsigned char*>(p) + n);
}

#endif
