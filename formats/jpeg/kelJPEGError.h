// libjpeg's error manager turned into kel statuses. The library's error
// exit jumps back to the trap that ran the failing call: a small function
// that owns nothing, so no C++ frame holding a resource is ever skipped.
// Warnings (corrupt data, a premature end) become kel warnings and decoding
// goes on, as browsers do.
#ifndef KEL_JPEGERROR_H
#define KEL_JPEGERROR_H

#include <kel/kelStatus.h>

#include <setjmp.h>
#include <stddef.h>
#include <stdio.h>

#include <jpeglib.h>

// Messages of our own, beside the library's.
enum {
    kelJPEGErrScans = 1000, // more scans than any real image has
    kelJPEGErrLastMessage = kelJPEGErrScans
};

struct kelJPEGError {
    jpeg_error_mgr pub; // first: the library sees only this
    jmp_buf escape;
    j_common_ptr owner; // the object whose messages these are
    const char* fileName;
    // A failed read or write of the file, which the error exit that follows
    // reports instead of the library's generic message.
    kelStatus ioStatus;
    // A warning was shown: decoding the file again shows none.
    int warned;
};

// Installs the manager in `cinfo`; `fileName` names the file in messages.
void kelJPEGInitError(kelJPEGError& err, j_common_ptr cinfo, const char* fileName);

// Runs step(arg); 1 when the library took its error exit on the way.
// Whatever step(arg) calls must own no resource that a destructor frees.
int kelJPEGTrap(kelJPEGError& err, void (*step)(void*), void* arg);

// The status of the error exit just taken, reported with the library's
// message at error severity: `dataFailure` (kelBADIMGFMT when reading,
// kelBADPARAMS when writing) unless memory or the file failed.
kelStatus kelJPEGFailure(kelJPEGError& err, kelStatus dataFailure);

// Runs `step` (a callable that only calls the library) under the trap.
template <class Step>
kelStatus kelJPEGRun(kelJPEGError& err, kelStatus dataFailure, Step step)
{
    if (kelJPEGTrap(err, [](void* s) { (*static_cast<Step*>(s))(); }, &step))
        return kelJPEGFailure(err, dataFailure);
    return kelOKAY;
}

#endif
