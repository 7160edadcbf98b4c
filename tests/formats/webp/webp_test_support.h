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

// An animation as a viewer shows it: every canvas in premultiplied RGBA
// (transparent pixels all 0), then the loop count and durations in ms.
// GIF files are composed by ImageMagick, WebP files by libwebp (Pillow).
inline Bytes shownFrames(const std::string& path)
{
    return runPeer("/usr/bin/python3 -c 'import sys, subprocess; from PIL import Image, ImageSequence\n"
                   "p = sys.argv[1]; im = Image.open(p); n = im.size[0] * im.size[1] * 4\n"
                   "frames = [(f.convert(\"RGBA\"), f.info.get(\"duration\")) for f in ImageSequence.Iterator(im)]\n"
                   "raw = subprocess.run([\"convert\", p, \"-coalesce\", \"rgba:-\"], capture_output=True).stdout\n"
                   "shown = [Image.frombytes(\"RGBA\", im.size, raw[i:i + n]) for i in range(0, len(raw), n)]\n"
                   "for f in (shown if p.endswith(\".gif\") else [f for f, d in frames]):\n"
                   "    sys.stdout.buffer.write(f.convert(\"RGBa\").tobytes())\n"
                   "print(im.info.get(\"loop\"), [d for f, d in frames])' '" + path + "'");
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
