#include <kel/kelError.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "kelPlatform.h"

// The handler and its argument change together, under the lock, so that
// every thread reads a matching pair.
static kelErrorHandler installedHandler = nullptr;
static void* installedArg = nullptr;
// Decided at the first informational message: -1 undecided, 0 off, 1 on.
static std::atomic<int> debugSwitch{-1};

static std::mutex& handlerLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}

// Messages are formatted into a buffer of this size; longer ones are cut
// and marked with "...".
enum { messageBufferSize = 256 };

static const char* severityLabel(int severity)
{
    switch (severity) {
    case kelSeverityError:
        return "Error";
    case kelSeverityFatal:
        return "Fatal error";
    case kelSeverityWarning:
        return "Warning";
    case kelSeverityInfo:
        return "Info";
    default:
        return "(unrecognized severity)";
    }
}

static int debugEnabled()
{
    int on = debugSwitch.load(std::memory_order_relaxed);
    if (on < 0) {
        on = getenv("KEL_DEBUG") != nullptr || getenv("VX_DEBUG") != nullptr;
        debugSwitch.store(on, std::memory_order_relaxed);
    }
    return on;
}

static void printMessage(int flags, const char* fmt, va_list args)
{
    int severity = flags & 0xff;
    if (severity == kelSeverityInfo && !debugEnabled())
        return;
    char buf[messageBufferSize];
    snprintf(buf, sizeof buf, "%s: ", severityLabel(severity));
    kelPlatformDebugOutput(buf);

    const size_t room = sizeof buf - 1; // keeps one byte for the line feed
    int n = vsnprintf(buf, room, fmt, args);
    if (n < 0)
        n = 0;
    size_t len = size_t(n) < room ? size_t(n) : room - 1;
    if (size_t(n) >= room)
        memcpy(buf + len - 3, "...", 3);
    buf[len] = '\n';
    buf[len + 1] = '\0';
    kelPlatformDebugOutput(buf);
}

extern "C" void kelNaiveErrorHandler(void*, int flags, const char* fmt, va_list args)
{
    printMessage(flags, fmt, args);
    int severity = flags & 0xff;
    if (severity == kelSeverityError || severity == kelSeverityFatal)
        exit(1);
}

extern "C" void kelRobustErrorHandler(void*, int flags, const char* fmt, va_list args)
{
    printMessage(flags, fmt, args);
    if ((flags & 0xff) == kelSeverityFatal)
        exit(1);
}

extern "C" void kelSilentErrorHandler(void*, int flags, const char* fmt, va_list args)
{
    if ((flags & 0xff) != kelSeverityFatal)
        return;
    printMessage(flags, fmt, args);
    exit(1);
}

extern "C" void kelGetErrorHandler(kelErrorHandler* handler, void** arg)
{
    std::lock_guard<std::mutex> guard(handlerLock());
    if (!installedHandler) {
        if (getenv("KEL_SILENT"))
            installedHandler = kelSilentErrorHandler;
        else if (getenv("KEL_ROBUST"))
            installedHandler = kelRobustErrorHandler;
        else
            installedHandler = kelNaiveErrorHandler;
        installedArg = nullptr;
    }
    if (handler)
        *handler = installedHandler;
    if (arg)
        *arg = installedArg;
}

extern "C" void kelSetErrorHandler(kelErrorHandler newhandler, void* newarg)
{
    std::lock_guard<std::mutex> guard(handlerLock());
    installedHandler = newhandler;
    installedArg = newarg;
}

void kelErrorV(int flags, const char* fmt, va_list args)
{
    kelErrorHandler handler;
    void* arg;
    kelGetErrorHandler(&handler, &arg);
    handler(arg, flags, fmt, args);
}

void kelError(int flags, const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    kelErrorV(flags, fmt, args);
    va_end(args);
}

void _kelDebug(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    kelErrorV(kelSeverityInfo, fmt, args);
    va_end(args);
}

kelSetLocalErrorHandler::kelSetLocalErrorHandler(kelErrorHandler handler, void* arg)
{
    std::lock_guard<std::mutex> guard(handlerLock());
    old_handler = installedHandler;
    old_arg = installedArg;
    installedHandler = handler;
    installedArg = arg;
}

kelSetLocalErrorHandler::~kelSetLocalErrorHandler()
{
    kelSetErrorHandler(old_handler, old_arg);
}

void __kelAssert(const char* expr, const char* file, int line)
{
    char buf[1024];
    if (expr)
        snprintf(buf, sizeof buf, "Internal KEL error: assertion failed: %s, file %s, line %d, pid %d\n", expr,
                 file, line, int(getpid()));
    else
        snprintf(buf, sizeof buf, "Internal KEL error: file %s, line %d, pid %d\n", file, line, int(getpid()));
    kelPlatformDebugOutput(buf);
    abort();
}
