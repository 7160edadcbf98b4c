#include <kel/kelDataSize.h>
#include <kel/kelLimits.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "kelFITByteOrder.h"
#include "kelFITFile.h"
#include "kelPositionedIO.h"

kelPageGrid kelFITFile::grid() const
{
    return kelPageGrid{size, pageSize, pageCount, dataOffset, pageSizeBytes};
}

ssize_t kelFITFile::pread(int fdesc, void* buf, size_t nbytes, off_t offset)
{
    beginFileIO();
    ssize_t n = kelReadAt(fdesc, buf, nbytes, offset);
    int err = errno;
    endFileIO();
    errno = err;
    return n;
}

// Once any byte of a page reached the file, the file holds page data, even
// when the rest failed.
ssize_t kelFITFile::pwrite(int fdesc, const void* buf, size_t nbytes, off_t offset)
{
    beginFileIO();
    size_t written = 0;
    int rc = kelWriteAt(fdesc, buf, nbytes, offset, written);
    int err = errno;
    endFileIO();
    if (written > 0)
        dataWritten = 1;
    errno = err;
    return rc == 0 ? ssize_t(written) : -1;
}

// The samples are turned to the machine's order in the caller's buffer.
// Only the part of the page inside the image is read; what lies past the end
// of the file reads as zeros, which need no swap.
kelStatus kelFITFile::getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc)
{
    const kelPageGrid g = grid();
    if (!g.isInside(x, y, z, c))
        return kelBADPARAMS;
    const size_t sampleBytes = kelDataSize(dtype, 1);
    auto read = [&](void* buf, size_t bytes, off_t at) { return pread(fd, buf, bytes, at); };
    auto swap = [&](char* at, size_t bytes) {
        const size_t held = sampleBytes > 1 ? (bytes + sampleBytes - 1) / sampleBytes * sampleBytes : bytes;
        kelFITSwapSamples(at, held, unsigned(sampleBytes));
    };
    if (g.readInside(data, dtype, order, kelSize(x, y, z, c), kelSize(nx, ny, nz, nc), read, swap))
        return kelSystemStatus(kelREADFAILED);
    return kelOKAY;
}

// Multi-byte samples go big-endian through a page of the file's own, made
// at the first write: the caller's buffer is left as it was.
kelStatus kelFITFile::setPage(const void* data, int x, int y, int z, int c, int, int, int, int)
{
    const kelPageGrid g = grid();
    if (!g.isInside(x, y, z, c))
        return kelBADPARAMS;
    const unsigned sampleBytes = kelDataSize(dtype, 1);
    if (sampleBytes > 1) {
        if (!swapped) {
            kelStatus sts = kelCheckPageBytes(pageSizeBytes, "FIT page");
            if (sts != kelOKAY)
                return sts;
            swapped = malloc(pageSizeBytes);
            if (!swapped)
                return kelSystemStatus(kelMALLOCFAILED);
        }
        kelFITCopySwapped(swapped, data, pageSizeBytes, sampleBytes);
        data = swapped;
    }
    if (pwrite(fd, data, pageSizeBytes, g.offset(x, y, z, c)) < 0)
        return kelSystemStatus(kelWRITEFAILED);
    return kelOKAY;
}
