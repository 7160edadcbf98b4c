// What the JPEG tests share: the fixtures, the peers (djpeg, Pillow) that
// give the pixels to expect, and reading a file whole.
#ifndef KEL_TESTS_JPEG_TEST_SUPPORT_H
#define KEL_TESTS_JPEG_TEST_SUPPORT_H

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "lib/file_test_support.h"
#include "peer_support.h"

using Bytes = std::vector<unsigned char>;

inline std::string fixture(const std::string& name)
{
    return std::string(KEL_TEST_SOURCE_DIR) + "/tests/data/jpeg/" + name;
}

#define DJPEG "/usr/bin/djpeg -version"
#define PILLOW "/usr/bin/python3 -c 'import PIL'"

// The pixels of a binary PGM or PPM, after its header.
inline Bytes pnmPixels(const Bytes& pnm)
{
    size_t at = 0;
    for (int fields = 0; fields < 4 && at < pnm.size(); fields++) {
        while (at < pnm.size() && isspace(pnm[at]))
            at++;
        while (at < pnm.size() && !isspace(pnm[at]))
            at++;
    }
    return at < pnm.size() ? Bytes(pnm.begin() + long(at) + 1, pnm.end()) : Bytes();
}

inline Bytes djpegPixels(const std::string& path)
{
    return pnmPixels(runPeer("/usr/bin/djpeg -pnm '" + path + "'"));
}

// Pillow's pixels, after `transform` (an expression of `im`).
inline Bytes pillowPixels(const std::string& path, const std::string& transform = "im")
{
    return runPeer("/usr/bin/python3 -c 'import sys; from PIL import Image, ImageOps; im = Image.open(sys.argv[1]); "
                   "sys.stdout.buffer.write((" + transform + ").tobytes())' '" + path + "'");
}

// The image in `orientation` (0: the file's), interleaved bytes.
inline Bytes readPixels(kelFile* f, kelOrientation orientation = kelOrientation(0), kelStatus* sts = nullptr)
{
    kelSize s;
    f->getSize(s, orientation ? orientation : f->getOrientation());
    Bytes pixels(size_t(s.x) * size_t(s.y) * size_t(s.c));
    kelConfig config(kelUChar, kelInterleaved, s.c, nullptr, 0, orientation);
    kelStatus got = f->getTile(0, 0, 0, s.x, s.y, 1, pixels.data(), &config);
    if (sts)
        *sts = got;
    return pixels;
}

inline int intItem(kelFile* f, int tag)
{
    int v = -1;
    return f->getItem(tag, &v) == kelOKAY ? v : -1;
}

#endif
