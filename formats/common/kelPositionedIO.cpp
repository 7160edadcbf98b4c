#include "kelPositionedIO.h"

#include <errno.h>
#include <unistd.h>

ssize_t kelReadAt(int fd, void* buf, size_t nbytes, off_t offset)
{
    char* p = static_cast<char*>(buf);
    size_t done = 0;
    while (done < nbytes) {
        ssize_t n = ::pread(fd, p + done, nbytes - done, offset + off_t(done));
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

int kelWriteAt(int fd, const void* buf, size_t nbytes, off_t offset, size_t& written)
{
    const char* p = static_cast<const char*>(buf);
    written = 0;
    while (written < nbytes) {
        ssize_t n = ::pwrite(fd, p + written, nbytes - written, offset + off_t(written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = EIO; // no progress: the rest would never be written
        if (n <= 0)
            return -1;
        written += size_t(n);
    }
    return 0;
}
