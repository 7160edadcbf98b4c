#include <kel/kelDataSize.h>
#include <kel/kelLimits.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "kelFITByteOrder.h"
#include "kelFITFile.h"
#include "kelFITIO.h"

// Only page origins inside the image name a page; any other origin would
// alias a neighbouring page or lie before the data.
int kelFITFile::pageIsInside(int x, int y, int z, int c) const
{
    return x >= 0 && x < size.x && y >= 0 && y < size.y && z >= 0 && z < size.z && c >= 0 && c < size.c;
}

long long kelFITFile::pageIndex(int x, int y, int z, int c) const
{
    const long long ix = x / pageSize.x, iy = y / pageSize.y, iz = z / pageSize.z, ic = c / pageSize.c;
    return ix + pageCount.x * (iy + pageCount.y * (iz + pageCount.z * ic));
}

// The layout checks at open, create and when the user area grows keep this
// within 64 bits.
off_t kelFITFile::pageOffset(int x, int y, int z, int c) const
{
    return off_t(dataOffset) + off_t(pageIndex(x, y, z, c)) * off_t(pageSizeBytes);
}

ssize_t kelFITFile::pread(int fdesc, void* buf, size_t nbytes, off_t offset)
{
    beginFileIO();
    ssize_t n = kelFITReadAt(fdesc, buf, nbytes, offset);
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
    int rc = kelFITWriteAt(fdesc, buf, nbytes, offset, written);
    int err = errno;
    endFileIO();
    if (written > 0)
        dataWritten = 1;
    errno = err;
    return rc == 0 ? ssize_t(written) : -1;
}

// The samples are turned to the machine's order in the caller's buffer.
kelStatus kelFITFile::getPage(void* data, int x, int y, int z, int c, int, int, int, int)
{
    if (!pageIsInside(x, y, z, c))
        return kelBADPARAMS;
    ssize_t n = pread(fd, data, pageSizeBytes, pageOffset(x, y, z, c));
    if (n < 0)
        return kelSystemStatus(kelREADFAILED);
    // What lies past the end of the file was never written. Zeros read the
    // same in either byte order, so only the samples the file holds are
    // swapped: a page declared far larger than the file costs no more.
    memset(static_cast<char*>(data) + n, 0, pageSizeBytes - size_t(n));
    const size_t sampleBytes = kelDataSize(dtype, 1);
    const size_t held = sampleBytes > 1 ? (size_t(n) + sampleBytes - 1) / sampleBytes * sampleBytes : size_t(n);
    kelFITSwapSamples(data, held, unsigned(sampleBytes));
    return kelOKAY;
}

// Multi-byte samples go big-endian through a scratch copy: the caller's
// buffer is left as it was.
kelStatus kelFITFile::setPage(const void* data, int x, int y, int z, int c, int, int, int, int)
{
    if (!pageIsInside(x, y, z, c))
        return kelBADPARAMS;
    const unsigned sampleBytes = kelDataSize(dtype, 1);
    void* scratch = nullptr;
    if (sampleBytes > 1) {
        kelStatus sts = kelCheckPageBytes(pageSizeBytes, "FIT page");
        if (sts != kelOKAY)
            return sts;
        scratch = malloc(pageSizeBytes);
        if (!scratch)
            return kelSystemStatus(kelMALLOCFAILED);
        kelFITCopySwapped(scratch, data, pageSizeBytes, sampleBytes);
    }
    ssize_t n = pwrite(fd, scratch ? scratch : data, pageSizeBytes, pageOffset(x, y, z, c));
    kelStatus sts = n < 0 ? kelSystemStatus(kelWRITEFAILED) : kelOKAY;
    free(scratch);
    return sts;
}
