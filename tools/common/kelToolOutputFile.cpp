#include "kelToolOutputFile.h"

#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

// The temporary file of the running tool, removed when a signal ends it.
// A plain buffer: the signal handler may only make async-signal-safe calls.
static char pendingPath[4096];

static void removePendingAndDie(int sig)
{
    if (pendingPath[0])
        unlink(pendingPath);
    signal(sig, SIG_DFL);
    raise(sig);
}

static void watchSignals(const std::string& path)
{
    static const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
    if (path.size() >= sizeof pendingPath)
        return;
    memcpy(pendingPath, path.c_str(), path.size() + 1);
    for (int sig : signals)
        signal(sig, removePendingAndDie);
}

static void unwatchSignals()
{
    pendingPath[0] = '\0';
}

kelToolOutputFile::~kelToolOutputFile()
{
    discard();
}

kelStatus kelToolOutputFile::reserve(const std::string& dest)
{
    discard();
    destination = dest;
    size_t slash = destination.rfind('/');
    std::string dir = slash == std::string::npos ? "" : destination.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? destination : destination.substr(slash + 1);
    std::string pattern = dir + "." + base + ".tmp-XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0)
        return kelSystemStatus(kelOPENFAILED);
    close(fd);
    temporary = pattern;
    watchSignals(temporary);
    return kelOKAY;
}

kelStatus kelToolOutputFile::commit()
{
    mode_t mask = umask(0);
    umask(mask);
    if (chmod(temporary.c_str(), 0666 & ~mask) != 0 || rename(temporary.c_str(), destination.c_str()) != 0)
        return kelSystemStatus(kelWRITEFAILED);
    temporary.clear();
    unwatchSignals();
    return kelOKAY;
}

void kelToolOutputFile::discard()
{
    if (temporary.empty())
        return;
    unlink(temporary.c_str());
    temporary.clear();
    unwatchSignals();
}
