#include "kelByteReader.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

kelByteReader::kelByteReader() : fd(-1), readErrno(0), bufOffset(0), pos(0), end(0) {}

void kelByteReader::attach(int fdesc)
{
    fd = fdesc;
    readErrno = 0;
    bufOffset = 0;
    pos = end = 0;
}

void kelByteReader::invalidate()
{
    bufOffset = tell();
    pos = end = 0;
}

void kelByteReader::seek(long long offset)
{
    if (offset >= bufOffset && offset <= bufOffset + (long long)end) {
        pos = size_t(offset - bufOffset);
        return;
    }
    bufOffset = offset;
    pos = end = 0;
}

// Refills the buffer around the current offset; 0 when nothing more comes.
// It starts at a block boundary, so that a format read backwards piece by
// piece still finds most of what it reads in the buffer.
int kelByteReader::fill()
{
    const long long at = tell();
    bufOffset = at & ~(long long)(blockSize - 1);
    pos = size_t(at - bufOffset);
    end = 0;
    readErrno = 0;
    if (fd < 0 || at < 0) {
        bufOffset = at;
        pos = 0;
        readErrno = EBADF;
        return 0;
    }
    for (;;) {
        ssize_t n = ::pread(fd, buf, bufferSize, off_t(bufOffset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            readErrno = errno;
        end = n > 0 ? size_t(n) : 0;
        return end > pos;
    }
}

// Reads past the buffer into the caller's memory and leaves the buffer
// empty at the new offset.
size_t kelByteReader::readDirect(unsigned char* out, size_t n)
{
    long long at = tell();
    size_t done = 0;
    readErrno = 0;
    while (done < n) {
        ssize_t got = fd < 0 || at < 0 ? (errno = EBADF, -1) : ::pread(fd, out + done, n - done, off_t(at));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            readErrno = errno;
        if (got <= 0)
            break;
        done += size_t(got);
        at += got;
    }
    bufOffset = at;
    pos = end = 0;
    return done;
}

kelStatus kelByteReader::readFailure() const
{
    return readErrno ? kelComposeStatus(kelREADFAILED, 1, readErrno) : kelREADFAILED;
}

size_t kelByteReader::read(void* dst, size_t n)
{
    unsigned char* out = static_cast<unsigned char*>(dst);
    size_t done = 0;
    while (done < n) {
        if (pos >= end && n - done >= bufferSize)
            return done + readDirect(out + done, n - done);
        if (pos >= end && !fill())
            break;
        size_t chunk = end - pos < n - done ? end - pos : n - done;
        memcpy(out + done, buf + pos, chunk);
        pos += chunk;
        done += chunk;
    }
    return done;
}

long long kelByteReader::fileSize()
{
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) {
        readErrno = fd < 0 ? EBADF : errno;
        return -1;
    }
    return (long long)st.st_size;
}
