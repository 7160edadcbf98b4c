// Error reporting: one process-wide, replaceable handler receives every
// message with its severity; internal inconsistencies abort.
#ifndef KEL_ERROR_H
#define KEL_ERROR_H

#include <stdarg.h>

#include <kel/kelErrorHandler.h>
#include <kel/kelExport.h>

KEL_API void kelError(int flags, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
KEL_API void kelErrorV(int flags, const char* fmt, va_list args);
KEL_API void _kelDebug(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Installs a handler for the life of the guard.
class KEL_API kelSetLocalErrorHandler {
public:
    kelSetLocalErrorHandler(kelErrorHandler handler, void* arg);
    ~kelSetLocalErrorHandler();
    kelSetLocalErrorHandler(const kelSetLocalErrorHandler&) = delete;
    kelSetLocalErrorHandler& operator=(const kelSetLocalErrorHandler&) = delete;

    kelErrorHandler old_handler;
    void* old_arg;
};

// Reports an internal inconsistency and aborts; `expr` may be null.
[[noreturn]] KEL_API void __kelAssert(const char* expr, const char* file, int line);

// Active in every build type: an inconsistency must never go unnoticed.
#define KEL_ASSERT(expr) ((expr) ? (void)0 : __kelAssert(#expr, __FILE__, __LINE__))

#endif
