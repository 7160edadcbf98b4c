#include "kelTIFFStream.h"

#include <kel/kelError.h>
#include <kel/kelLimits.h>

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include "kelPositionedIO.h"

namespace {

kelTIFFStream& streamOf(thandle_t h)
{
    return *static_cast<kelTIFFStream*>(h);
}

tmsize_t readProc(thandle_t h, void* buf, tmsize_t n)
{
    kelTIFFStream& s = streamOf(h);
    ssize_t got = kelReadAt(s.fd, buf, size_t(n), s.pos);
    if (got < 0) {
        if (!s.ioErrno)
            s.ioErrno = errno;
        return -1;
    }
    s.pos += got;
    return got;
}

tmsize_t writeProc(thandle_t h, void* buf, tmsize_t n)
{
    kelTIFFStream& s = streamOf(h);
    size_t written = 0;
    int rc = kelWriteAt(s.fd, buf, size_t(n), s.pos, written);
    s.pos += off_t(written);
    if (rc != 0) {
        if (!s.ioErrno)
            s.ioErrno = errno;
        return -1;
    }
    return tmsize_t(written);
}

toff_t fileSize(kelTIFFStream& s)
{
    struct stat st;
    if (fstat(s.fd, &st) != 0) {
        if (!s.ioErrno)
            s.ioErrno = errno;
        return 0;
    }
    return toff_t(st.st_size);
}

toff_t seekProc(thandle_t h, toff_t off, int whence)
{
    kelTIFFStream& s = streamOf(h);
    if (whence == SEEK_CUR)
        off += toff_t(s.pos);
    else if (whence == SEEK_END)
        off += fileSize(s);
    if (off > toff_t(INT64_MAX)) {
        errno = EINVAL;
        return toff_t(-1);
    }
    s.pos = off_t(off);
    return off;
}

toff_t sizeProc(thandle_t h)
{
    return fileSize(streamOf(h));
}

// The descriptor is the file object's, closed once by it.
int closeProc(thandle_t)
{
    return 0;
}

// Files opened read-only are mapped, as libtiff maps those it opens
// itself: a block is then copied from the page cache without a system
// call, which is what random tiles of strips cost most.
int mapProc(thandle_t h, void** base, toff_t* size)
{
    kelTIFFStream& s = streamOf(h);
    const toff_t bytes = fileSize(s);
    if (bytes == 0 || bytes > toff_t(SIZE_MAX))
        return 0;
    void* p = mmap(nullptr, size_t(bytes), PROT_READ, MAP_SHARED, s.fd, 0);
    if (p == MAP_FAILED)
        return 0;
    *base = p;
    *size = bytes;
    return 1;
}

void unmapProc(thandle_t, void* base, toff_t size)
{
    munmap(base, size_t(size));
}

int report(kelTIFFStream& s, int severity, const char* module, const char* fmt, va_list ap)
{
    char text[512];
    vsnprintf(text, sizeof text, fmt, ap);
    if (severity != kelSeverityInfo && strstr(text, "byte limit"))
        s.overLimit = 1;
    if (severity != kelSeverityInfo && !s.failed) {
        s.failed = 1;
        s.message = text;
    }
    kelError(severity == kelSeverityInfo ? kelSeverityInfo : kelSeverityWarning, "TIFF file %s: %s%s%s",
             s.name.c_str(), module ? module : "", module ? ": " : "", text);
    return 1;
}

int errorHandler(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    return report(*static_cast<kelTIFFStream*>(user), kelSeverityWarning, module, fmt, ap);
}

// Every warning but that of a tag libtiff does not know tells of damage.
int warningHandler(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    kelTIFFStream& s = *static_cast<kelTIFFStream*>(user);
    if (!strstr(fmt, "Unknown field"))
        s.repairs++;
    return report(s, kelSeverityInfo, module, fmt, ap);
}

} // namespace

kelStatus kelTIFFStream::failure(kelStatus otherwise) const
{
    if (overLimit)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    return ioErrno ? kelComposeStatus(otherwise == kelWRITEFAILED ? kelWRITEFAILED : kelREADFAILED, 1, ioErrno)
                   : otherwise;
}

void kelTIFFStream::clear()
{
    ioErrno = 0;
    failed = 0;
    repairs = 0;
    overLimit = 0;
    message.clear();
}

TIFF* kelTIFFOpen(kelTIFFStream& s, const char* mode)
{
    TIFFOpenOptions* opts = TIFFOpenOptionsAlloc();
    if (!opts)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(opts, errorHandler, &s);
    TIFFOpenOptionsSetWarningHandlerExtR(opts, warningHandler, &s);
    size_t limit = kelGetMaxPageBytes();
    TIFFOpenOptionsSetMaxSingleMemAlloc(opts, limit > size_t(INT64_MAX) ? INT64_MAX : tmsize_t(limit));
    s.pos = 0;
    TIFF* tif = TIFFClientOpenExt(s.name.c_str(), mode, &s, readProc, writeProc, seekProc, closeProc, sizeProc, mapProc,
                                  unmapProc, opts);
    TIFFOpenOptionsFree(opts);
    return tif;
}
