// The library's messages and failures as Python sees them. One process-wide
// handler keeps each thread's messages in a buffer of that thread; a call
// turns them into the exception's text or into Python warnings once it holds
// the GIL again.
#ifndef KEL_PY_ERRORS_H
#define KEL_PY_ERRORS_H

#include <string>

#include <pybind11/pybind11.h>

#include <kel/kelStatus.h>

// A failed library call, raised as kel.Error (or a subclass) by status.
struct kelPyFailure {
    kelStatus status;
    std::string text;
};

// Starts collecting this thread's messages afresh; the binding's entry
// points make one before calling the library.
class kelPyMessages {
public:
    kelPyMessages();
    // Throws kelPyFailure for a failed status ("what: status text: messages");
    // otherwise turns the messages into warnings. Needs the GIL.
    void check(kelStatus sts, const std::string& what);
    // The messages so far, joined by "; ", and forgets them.
    static std::string take();
    static bool any();
};

void kelPyInstallErrors(pybind11::module_& m);

#endif
