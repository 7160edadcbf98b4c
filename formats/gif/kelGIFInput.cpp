#include "kelGIFInput.h"

#include <errno.h>
#include <string.h>
#include <unistd.h>

kelGIFInput::kelGIFInput() : fd(-1), readErrno(0), bufOffset(0), pos(0), end(0) {}

void kelGIFInput::attach(int fdesc)
{
    fd = fdesc;
    bufOffset = 0;
    invalidate();
}

void kelGIFInput::invalidate()
{
    bufOffset = tell();
    pos = end = 0;
}

void kelGIFInput::seek(long long offset)
{
    if (offset >= bufOffset && offset <= bufOffset + (long long)end) {
        pos = size_t(offset - bufOffset);
        return;
    }
    bufOffset = offset;
    pos = end = 0;
}

// Refills the buffer around the current offset; 0 when nothing more comes.
// It starts at a block boundary, so that images selected backwards one by
// one still find most of what they read in the buffer.
int kelGIFInput::fill()
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

kelStatus kelGIFInput::readFailure() const
{
    return readErrno ? kelComposeStatus(kelREADFAILED, 1, readErrno) : kelREADFAILED;
}

size_t kelGIFInput::read(void* dst, size_t n)
{
    unsigned char* out = static_cast<unsigned char*>(dst);
    size_t done = 0;
    while (done < n) {
        if (pos >= end && !fill())
            break;
        size_t chunk = end - pos < n - done ? end - pos : n - done;
        memcpy(out + done, buf + pos, chunk);
        pos += chunk;
        done += chunk;
    }
    return done;
}
