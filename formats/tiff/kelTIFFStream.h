// libtiff over kel's descriptor: positioned reads and writes at an offset
// of our own (libtiff reads whole blocks into its own or the caller's
// memory, so a second buffer would only copy), a mapping of files opened
// read-only, and libtiff's errors and warnings reported per file, never
// through its process-wide handlers.
#ifndef KEL_TIFFSTREAM_H
#define KEL_TIFFSTREAM_H

#include <kel/kelStatus.h>

#include <sys/types.h>
#include <tiffio.h>

#include <string>

struct kelTIFFStream {
    int fd = -1;
    std::string name;
    off_t pos = 0;
    int ioErrno = 0;      // the first failed read or write
    int failed = 0;       // libtiff reported an error
    int repairs = 0;      // warnings of damage that libtiff worked around
    int overLimit = 0;    // libtiff refused an allocation beyond kel's page limit
    std::string message;  // its first error message

    // A status for a libtiff call that failed: the system's failure where
    // one happened, else bad data (`otherwise`).
    kelStatus failure(kelStatus otherwise) const;
    void clear();
};

// Opens libtiff over `s.fd` in `mode` ("r", "r+", "w", "w8"), with the
// stream's handlers and kel's page limit on libtiff's allocations. Null
// on failure, which `s` describes.
TIFF* kelTIFFOpen(kelTIFFStream& s, const char* mode);

#endif
