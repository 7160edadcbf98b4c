// What the TIFF tests share: the fixtures, the peers (tifffile, libtiff's
// tools, ImageMagick) that give the pixels to expect, and reading an image
// whole.
#ifndef KEL_TESTS_TIFF_TEST_SUPPORT_H
#define KEL_TESTS_TIFF_TEST_SUPPORT_H

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "lib/file_test_support.h"
#include "formats/peer_test_support.h"

inline std::string fixture(const std::string& name)
{
    return std::string(KEL_TEST_SOURCE_DIR) + "/tests/data/tiff/" + name;
}

// Peers the tests need (formats/peer_test_support.h).
#define TIFFFILE "/usr/bin/python3 -c 'import tifffile, numpy'"
#define TIFF2RGBA "/usr/bin/tiff2rgba -h"

// tifffile's pixels of image `index`, interleaved, in the host's order:
// half floats as floats, bits packed without padding, at most `nc`
// channels. Depths that tifffile reads only with imagecodecs (4, 12 bits)
// are unpacked here from the file's uncompressed strips.
inline Bytes tifffilePixels(const std::string& path, int index, int nc)
{
    return runPeer(
        "/usr/bin/python3 -c 'import sys, numpy as np, tifffile\n"
        "p = tifffile.TiffFile(sys.argv[1]).pages[int(sys.argv[2])]\n"
        "try:\n a = p.asarray()\n"
        "except Exception:\n"  // packed depths without imagecodecs: unpacked here, uncompressed only
        " f = open(sys.argv[1], \"rb\"); raw = b\"\".join((f.seek(o), f.read(n))[1] for o, n in "
        "zip(p.dataoffsets, p.databytecounts))\n"
        " b, w, h = p.bitspersample, p.imagewidth, p.imagelength\n"
        " bits = np.unpackbits(np.frombuffer(raw, \"u1\").reshape(h, -1), axis=1)[:, :w * b].reshape(h, w, b)\n"
        " a = (bits.astype(\"u4\") << np.arange(b - 1, -1, -1, dtype=\"u4\")).sum(-1).astype(\"u1\" if b <= 8 "
        "else \"u2\")\n"
        "if p.planarconfig == 2 and p.samplesperpixel > 1: a = np.moveaxis(a, -3, -1)\n"
        "if a.ndim == 3: a = a[..., :int(sys.argv[3])]\n"
        "a = np.packbits(a.ravel()) if a.dtype == bool else a.astype(\"f4\" if a.dtype.kind == \"f\" and "
        "a.dtype.itemsize == 2 else a.dtype.newbyteorder(\"=\"))\n"
        "sys.stdout.buffer.write(np.ascontiguousarray(a).tobytes())' '" +
        path + "' " + std::to_string(index) + " " + std::to_string(nc));
}

// The current image in the file's orientation (or `orientation`),
// interleaved, in its own type.
inline Bytes readImage(kelFile* f, kelOrientation orientation = kelOrientation(0), kelStatus* sts = nullptr)
{
    kelSize s;
    f->getSize(s, orientation ? orientation : f->getOrientation());
    const size_t n = size_t(s.x) * size_t(s.y) * size_t(s.c);
    Bytes pixels(f->getDataType() == kelBit ? (n + 7) / 8 : n * kelDataSize(f->getDataType(), 1));
    kelConfig config(f->getDataType(), kelInterleaved, s.c, nullptr, 0, orientation);
    kelStatus got = f->getTile(0, 0, 0, s.x, s.y, 1, pixels.data(), &config);
    if (sts)
        *sts = got;
    return pixels;
}

#endif
