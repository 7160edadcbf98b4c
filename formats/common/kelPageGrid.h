// Pages stored full size one after another from a data offset, in order of
// x, then y, z and channel group: the layout of Raw and FIT files.
#ifndef KEL_PAGEGRID_H
#define KEL_PAGEGRID_H

#include <kel/kelCoord.h>
#include <kel/kelTypes.h>

#include <stddef.h>
#include <sys/types.h>

#include <functional>

struct kelPageGrid {
    kelSize size;          // the image
    kelSize page;          // one page
    kelXYZ<int> count;     // pages along x, y and z
    long long dataOffset;  // where the first page begins
    unsigned pageBytes;    // the bytes of one page

    // Only page origins inside the image name a page; any other origin
    // would alias a neighbouring page or lie before the data.
    int isInside(int x, int y, int z, int c) const;
    // The layout checks at open and create keep this within 64 bits.
    off_t offset(int x, int y, int z, int c) const;

    // A positioned read: the bytes read (fewer where the file ends), or -1
    // with errno set.
    using Read = std::function<ssize_t(void* buf, size_t bytes, off_t offset)>;
    // Told the bytes of each stretch that came from the file.
    using Held = std::function<void(char* at, size_t bytes)>;

    // Reads the part of the page at `origin` that lies inside the image
    // (`inside` elements of `type` in `order`) into `data`; what the file
    // does not hold yet reads as zeros, never as the bytes the buffer held
    // before. 0, or -1 when a read failed.
    int readInside(void* data, kelDataType type, kelOrder order, const kelSize& origin, const kelSize& inside,
                   const Read& read, const Held& held = nullptr) const;
};

// The stretches of a page's bytes (`page` elements of `type` in `order`,
// `pageBytes` in all) that hold its first nx x ny x nz x nc elements, the
// part of a page inside the image, in increasing order. A page may be
// declared far larger than its image: when the bytes up to the last element
// inside are not much more than the elements themselves they come as one
// stretch, else as one per row of a channel, so that reading them costs what
// the image holds. `visit(at, bytes)` is called for each until it gives
// nonzero, which is returned; 0 when every stretch was visited.
int kelPageStretches(kelDataType type, kelOrder order, const kelSize& page, size_t pageBytes, const kelSize& inside,
                     const std::function<int(size_t at, size_t bytes)>& visit);

#endif
