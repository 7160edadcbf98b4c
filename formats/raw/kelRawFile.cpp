#include "kelRawFile.h"

#include <kel/kelError.h>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

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

// Only page origins inside the image name a page; any other origin would
// alias a neighbouring page.
int kelRawFile::pageIsInside(int x, int y, int z, int c) const
{
    return x >= 0 && x < size.x && y >= 0 && y < size.y && z >= 0 && z < size.z && c >= 0 && c < size.c;
}

long long kelRawFile::pageIndex(int x, int y, int z, int c) const
{
    const long long ix = x / pageSize.x, iy = y / pageSize.y, iz = z / pageSize.z, ic = c / pageSize.c;
    return ix + pageCount.x * (iy + pageCount.y * (iz + pageCount.z * ic));
}

// The layout check at open and create guarantees that this cannot overflow.
off_t kelRawFile::pageOffset(int x, int y, int z, int c) const
{
    return off_t(dataOffset) + off_t(pageIndex(x, y, z, c)) * off_t(pageSizeBytes);
}

kelStatus kelRawFile::getPage(void* data, int x, int y, int z, int c, int, int, int, int)
{
    if (!pageIsInside(x, y, z, c))
        return kelBADPARAMS;
    ssize_t n = pread(fd, data, pageSizeBytes, pageOffset(x, y, z, c));
    if (n < 0)
        return kelSystemStatus(kelREADFAILED);
    // What the file does not hold yet reads as zeros, never as the bytes the
    // buffer held before (another page's pixels, or heap garbage).
    memset(static_cast<char*>(data) + n, 0, pageSizeBytes - size_t(n));
    return kelOKAY;
}

kelStatus kelRawFile::setPage(const void* data, int x, int y, int z, int c, int, int, int, int)
{
    if (!pageIsInside(x, y, z, c))
        return kelBADPARAMS;
    if (pwrite(fd, data, pageSizeBytes, pageOffset(x, y, z, c)) < 0)
        return kelSystemStatus(kelWRITEFAILED);
    return kelOKAY;
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

// Moves all `nbytes` unless the file ends first (reading) or the system
// fails; the result is the count moved, or -1 with errno set.
template <class Buffer, class Op>
static ssize_t transfer(int fd, Buffer* buf, size_t nbytes, off_t offset, Op op)
{
    size_t done = 0;
    while (done < nbytes) {
        ssize_t n = op(fd, buf + done, nbytes - done, offset + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

ssize_t kelRawFile::pread(int fdesc, void* buf, size_t nbytes, off_t offset)
{
    beginFileIO();
    ssize_t n = transfer(fdesc, static_cast<char*>(buf), nbytes, offset, ::pread);
    int err = errno;
    endFileIO();
    errno = err;
    return n;
}

ssize_t kelRawFile::pwrite(int fdesc, const void* buf, size_t nbytes, off_t offset)
{
    beginFileIO();
    ssize_t n = transfer(fdesc, static_cast<const char*>(buf), nbytes, offset, ::pwrite);
    if (n >= 0 && size_t(n) < nbytes) {
        n = -1; // a write that makes no progress
        errno = EIO;
    }
    int err = errno;
    endFileIO();
    errno = err;
    return n;
}
