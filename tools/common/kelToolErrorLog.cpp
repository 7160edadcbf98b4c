#include "kelToolErrorLog.h"

#include <stdio.h>
#include <stdlib.h>

kelToolErrorLog::kelToolErrorLog(const char* programName) : program(programName)
{
    kelGetErrorHandler(&oldHandler, &oldArg);
    kelSetErrorHandler(&kelToolErrorLog::handler, this);
}

kelToolErrorLog::~kelToolErrorLog()
{
    kelSetErrorHandler(oldHandler, oldArg);
}

// Library messages may span lines ("...\n\tfor run-time linking..."); a
// report keeps each one on a single line.
static std::string oneLine(const std::string& text)
{
    std::string line;
    bool blank = false;
    for (char ch : text) {
        bool space = ch == '\n' || ch == '\t' || ch == ' ' || ch == '\r';
        if (space && !line.empty())
            blank = true;
        else if (!space) {
            if (blank)
                line += ' ';
            line += ch;
            blank = false;
        }
    }
    return line;
}

void kelToolErrorLog::handler(void* arg, int flags, const char* fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    int len = vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string message(len > 0 ? size_t(len) : 0, '\0');
    if (len > 0)
        vsnprintf(&message[0], message.size() + 1, fmt, args);
    static_cast<kelToolErrorLog*>(arg)->receive(flags & 0xff, oneLine(message));
}

void kelToolErrorLog::receive(int severity, std::string message)
{
    switch (severity) {
    case kelSeverityWarning:
        warn(message);
        break;
    case kelSeverityInfo:
        break;
    case kelSeverityFatal:
        // The library does not expect to continue after a fatal error.
        fprintf(stderr, "%s: fatal: %s\n", program.c_str(), message.c_str());
        if (fatalCleanup)
            fatalCleanup();
        exit(EXIT_FAILURE);
    default:
        collected.push_back(std::move(message));
    }
}

std::string kelToolErrorLog::statusText(kelStatus sts)
{
    char buf[256];
    return kelStatusToString(sts, buf, sizeof buf);
}

void kelToolErrorLog::fail(const std::string& subject, const std::string& text)
{
    fprintf(stderr, "%s: %s: %s\n", program.c_str(), subject.c_str(), text.c_str());
    for (const std::string& detail : collected)
        fprintf(stderr, "%s:   %s\n", program.c_str(), detail.c_str());
    collected.clear();
}

void kelToolErrorLog::fail(const std::string& subject, kelStatus sts)
{
    fail(subject, statusText(sts));
}

void kelToolErrorLog::warn(const std::string& text) const
{
    fprintf(stderr, "%s: warning: %s\n", program.c_str(), text.c_str());
}
