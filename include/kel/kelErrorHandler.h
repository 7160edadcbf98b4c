/* The process-wide error handler that receives every message with its
   severity, and the three built-in handlers. Usable from C. */
#ifndef KEL_ERRORHANDLER_H
#define KEL_ERRORHANDLER_H

#include <stdarg.h>

#include <kel/kelExport.h>
#include <kel/kelTypes.h>

/* Severity: the low 8 bits of the flags of a message. */
KEL_ENUM(kelSeverity) {
    kelSeverityError = 0,
    kelSeverityFatal = 1,
    kelSeverityWarning = 2,
    kelSeverityInfo = 3
} KEL_ENUM_END(kelSeverity);

#ifdef __cplusplus
extern "C" {
#endif

/* `args` is a started variable-argument list for `fmt`. */
typedef void (*kelErrorHandler)(void* arg, int flags, const char* fmt, va_list args);

KEL_API void kelGetErrorHandler(kelErrorHandler* handler, void** arg);
KEL_API void kelSetErrorHandler(kelErrorHandler newhandler, void* newarg);

/* Print the message; the naive handler then exits on an error or fatal error,
   the robust one on a fatal error only, and the silent one prints nothing but
   fatal errors (and exits on them). */
KEL_API void kelNaiveErrorHandler(void* arg, int flags, const char* fmt, va_list args);
KEL_API void kelRobustErrorHandler(void* arg, int flags, const char* fmt, va_list args);
KEL_API void kelSilentErrorHandler(void* arg, int flags, const char* fmt, va_list args);

#ifdef __cplusplus
}
#endif

#endif
