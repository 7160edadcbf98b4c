#include "kelRawFile.h"

#include "kelPositionedIO.h"

#include <kel/kelError.h>

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

kelRawFile::kelRawFile() : pageSizeBytes(0), dataOffset(0), scaleMinValue(0.0), scaleMaxValue(0.0) {}

kelStatus kelRawFile::openFile()
{
    kelStatus sts = decodeArgs(1);
    if (sts != kelOKAY || fd >= 0)
        return sts;
    KEL_ASSERT(filename != NULL);
    fd = ::open(filename, accessmode);
    return fd < 0 ? kelSystemStatus(kelOPENFAILED) : kelOKAY;
}

kelStatus kelRawFile::createFile()
{
    kelStatus sts = decodeArgs(0);
    if (sts != kelOKAY || fd >= 0)
        return sts;
    KEL_ASSERT(filename != NULL);
    // Nothing is written now: the file grows as pages are written.
    fd = ::open(filename, accessmode | O_CREAT | O_TRUNC, 0666);
    return fd < 0 ? kelSystemStatus(kelOPENFAILED) : kelOKAY;
}

kelStatus kelRawFile::closeFile()
{
    KEL_ASSERT(fd >= 0);
    int rc = ::close(fd);
    fd = -1;
    return rc != 0 ? kelSystemStatus(kelCLOSEFAILED) : kelOKAY;
}

kelPageGrid kelRawFile::grid() const
{
    return kelPageGrid{size, pageSize, pageCount, dataOffset, pageSizeBytes};
}

// Only the part of the page inside the image is read.
kelStatus kelRawFile::getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc)
{
    const kelPageGrid g = grid();
    if (!g.isInside(x, y, z, c))
        return kelBADPARAMS;
    auto read = [&](void* buf, size_t bytes, off_t at) { return pread(fd, buf, bytes, at); };
    if (g.readInside(data, dtype, order, kelSize(x, y, z, c), kelSize(nx, ny, nz, nc), read))
        return kelSystemStatus(kelREADFAILED);
    return kelOKAY;
}

// The segments of a page transfer hold exactly one page.
int kelRawFile::holdsOnePage(const iovec* segs, int count) const
{
    size_t total = 0;
    for (int i = 0; i < count; i++)
        total += segs[i].iov_len;
    return total == pageSizeBytes;
}

kelStatus kelRawFile::setPageSegments(const iovec* segs, int count, int x, int y, int z, int c, int, int, int, int)
{
    const kelPageGrid g = grid();
    if (!g.isInside(x, y, z, c) || count < 1 || !holdsOnePage(segs, count))
        return kelBADPARAMS;
    if (writeSegments(segs, count, g.offset(x, y, z, c)) < 0)
        return kelSystemStatus(kelWRITEFAILED);
    return kelOKAY;
}

kelStatus kelRawFile::setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc)
{
    iovec whole = {const_cast<void*>(data), pageSizeBytes};
    return setPageSegments(&whole, 1, x, y, z, c, nx, ny, nz, nc);
}

kelStatus kelRawFile::getScaleMinMax(double& min, double& max)
{
    min = scaleMinValue;
    max = scaleMaxValue;
    return kelOKAY;
}

kelStatus kelRawFile::setScaleMinMax(double min, double max)
{
    scaleMinValue = min;
    scaleMaxValue = max;
    return kelOKAY;
}

ssize_t kelRawFile::pread(int fdesc, void* buf, size_t nbytes, off_t offset)
{
    beginFileIO();
    ssize_t n = kelReadAt(fdesc, buf, nbytes, offset);
    int err = errno;
    endFileIO();
    errno = err;
    return n;
}

// Writes every byte of the segments unless the system fails or makes no
// progress; the result is the count written, or -1 with errno set. The
// system takes at most IOV_MAX segments at a time, and the rest of a segment
// that a write left part-way goes on its own.
static ssize_t writeAll(int fd, const iovec* segs, int count, off_t offset)
{
    size_t done = 0, skip = 0;
    int first = 0;
    while (first < count) {
        const off_t at = offset + off_t(done);
        ssize_t moved = skip ? ::pwrite(fd, static_cast<char*>(segs[first].iov_base) + skip,
                                        segs[first].iov_len - skip, at)
                             : ::pwritev(fd, segs + first, std::min(count - first, IOV_MAX), at);
        if (moved < 0 && errno == EINTR)
            continue;
        if (moved < 0)
            return -1;
        if (moved == 0)
            break;
        done += size_t(moved);
        skip += size_t(moved);
        while (first < count && skip >= segs[first].iov_len)
            skip -= segs[first++].iov_len;
    }
    return ssize_t(done);
}

ssize_t kelRawFile::writeSegments(const iovec* segs, int count, off_t offset)
{
    beginFileIO();
    ssize_t n = writeAll(fd, segs, count, offset);
    if (n >= 0 && size_t(n) < pageSizeBytes) {
        n = -1; // a write that makes no progress
        errno = EIO;
    }
    int err = errno;
    endFileIO();
    errno = err;
    return n;
}
