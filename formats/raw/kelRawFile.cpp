#include "kelRawFile.h"

#include "kelPositionedIO.h"

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

kelStatus kelRawFile::setPage(const void* data, int x, int y, int z, int c, int, int, int, int)
{
    const kelPageGrid g = grid();
    if (!g.isInside(x, y, z, c))
        return kelBADPARAMS;
    if (pwrite(fd, data, pageSizeBytes, g.offset(x, y, z, c)) < 0)
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

ssize_t kelRawFile::pread(int fdesc, void* buf, size_t nbytes, off_t offset)
{
    beginFileIO();
    ssize_t n = kelReadAt(fdesc, buf, nbytes, offset);
    int err = errno;
    endFileIO();
    errno = err;
    return n;
}

ssize_t kelRawFile::pwrite(int fdesc, const void* buf, size_t nbytes, off_t offset)
{
    beginFileIO();
    size_t written = 0;
    ssize_t n = kelWriteAt(fdesc, buf, nbytes, offset, written) == 0 ? ssize_t(written) : -1;
    int err = errno;
    endFileIO();
    errno = err;
    return n;
}
