// The tools' error handler: library messages are collected instead of ending
// the process, so that a failure can be reported as one line with its cause.
#ifndef KEL_TOOL_ERRORLOG_H
#define KEL_TOOL_ERRORLOG_H

#include <stdarg.h>

#include <functional>
#include <string>
#include <vector>

#include <kel/kelError.h>
#include <kel/kelStatus.h>

class kelToolErrorLog {
public:
    // Installs the handler until destruction; `program` prefixes every line.
    explicit kelToolErrorLog(const char* program);
    ~kelToolErrorLog();
    kelToolErrorLog(const kelToolErrorLog&) = delete;
    kelToolErrorLog& operator=(const kelToolErrorLog&) = delete;

    // Errors collected since the last clear(), one line each.
    const std::vector<std::string>& messages() const { return collected; }
    void clear() { collected.clear(); }

    // Run before the process ends on a fatal library error.
    void setFatalCleanup(std::function<void()> cleanup) { fatalCleanup = std::move(cleanup); }

    // "program: subject: text" on standard error, then the collected
    // messages as indented detail lines; clears the collection.
    void fail(const std::string& subject, const std::string& text);
    void fail(const std::string& subject, kelStatus sts);
    void warn(const std::string& text) const;

    const std::string& programName() const { return program; }

    static std::string statusText(kelStatus sts);

private:
    static void handler(void* arg, int flags, const char* fmt, va_list args);
    void receive(int severity, std::string message);

    std::string program;
    std::vector<std::string> collected;
    std::function<void()> fatalCleanup;
    kelErrorHandler oldHandler;
    void* oldArg;
};

#endif
