// Opening an existing file for a plug-in's reader.
#ifndef KEL_FORMATS_COMMON_OPEN_FOR_READING_H
#define KEL_FORMATS_COMMON_OPEN_FOR_READING_H

#include <kel/kelError.h>
#include <kel/kelStatus.h>

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

// Opens `filename` with `flags` when the caller handed in no descriptor, then
// runs `read`; a descriptor opened here is closed again when `read` fails, so
// a failed open leaves nothing behind, and a caller's descriptor is never
// closed.
template <class Read>
kelStatus kelOpenForReading(int& fd, const char* filename, int flags, Read read)
{
    bool opened = false;
    if (fd < 0) {
        KEL_ASSERT(filename != NULL);
        fd = ::open(filename, flags);
        if (fd < 0)
            return kelSystemStatus(kelOPENFAILED);
        opened = true;
    }
    kelStatus sts = read();
    if (sts != kelOKAY && opened) {
        ::close(fd);
        fd = -1;
    }
    return sts;
}

#endif
