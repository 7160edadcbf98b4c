#include "kelByteWriter.h"

#include <errno.h>
#include <string.h>
#include <unistd.h>

kelByteWriter::kelByteWriter() : fd(-1), writeErrno(0), bufOffset(0), used(0) {}

void kelByteWriter::attach(int fdesc, long long offset)
{
    fd = fdesc;
    writeErrno = fd < 0 ? EBADF : 0;
    bufOffset = offset;
    used = 0;
}

void kelByteWriter::seek(long long offset)
{
    drain();
    bufOffset = offset;
}

// Writes all n bytes at the buffer's offset; a failure, or a write that
// makes no progress, sticks.
void kelByteWriter::writeAt(const unsigned char* p, size_t n)
{
    while (n > 0 && !writeErrno) {
        ssize_t done = ::pwrite(fd, p, n, off_t(bufOffset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            writeErrno = done < 0 ? errno : EIO;
            break;
        }
        p += done;
        n -= size_t(done);
        bufOffset += done;
    }
}

void kelByteWriter::drain()
{
    if (used && !writeErrno)
        writeAt(buf, used);
    else
        bufOffset += (long long)used;
    used = 0;
}

void kelByteWriter::write(const void* src, size_t n)
{
    const unsigned char* p = static_cast<const unsigned char*>(src);
    if (writeErrno)
        return;
    if (used + n <= bufferSize) {
        memcpy(buf + used, p, n);
        used += n;
        return;
    }
    drain();
    if (n >= bufferSize) {
        writeAt(p, n);
        return;
    }
    memcpy(buf, p, n);
    used = n;
}

void kelByteWriter::putLE16(unsigned v)
{
    const unsigned char b[2] = {(unsigned char)v, (unsigned char)(v >> 8)};
    write(b, 2);
}

void kelByteWriter::putLE32(unsigned long v)
{
    const unsigned char b[4] = {(unsigned char)v, (unsigned char)(v >> 8), (unsigned char)(v >> 16),
                                (unsigned char)(v >> 24)};
    write(b, 4);
}

void kelByteWriter::putBE16(unsigned v)
{
    const unsigned char b[2] = {(unsigned char)(v >> 8), (unsigned char)v};
    write(b, 2);
}

void kelByteWriter::putBE32(unsigned long v)
{
    const unsigned char b[4] = {(unsigned char)(v >> 24), (unsigned char)(v >> 16), (unsigned char)(v >> 8),
                                (unsigned char)v};
    write(b, 4);
}

kelStatus kelByteWriter::flush()
{
    drain();
    return status();
}

kelStatus kelByteWriter::status() const
{
    return writeErrno ? kelComposeStatus(kelWRITEFAILED, 1, writeErrno) : kelOKAY;
}
