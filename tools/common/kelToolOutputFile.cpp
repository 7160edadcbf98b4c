#include "kelToolOutputFile.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

// The temporary file and directory of the running tool, removed when a
// signal ends it. Plain buffers: the signal handler may only make
// async-signal-safe calls.
static char pendingPath[4096];
static char pendingDir[4096];

static void removePendingAndDie(int sig)
{
    if (pendingPath[0]) {
        unlink(pendingPath);
        rmdir(pendingDir);
    }
    signal(sig, SIG_DFL);
    raise(sig);
}

static void watchSignals(const std::string& path, const std::string& dir)
{
    static const int signals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
    if (path.size() >= sizeof pendingPath)
        return;
    memcpy(pendingDir, dir.c_str(), dir.size() + 1);
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
    if (!mkdtemp(&pattern[0]))
        return kelSystemStatus(kelOPENFAILED);
    std::string path = pattern + "/" + base;
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (fd < 0) {
        kelStatus sts = kelSystemStatus(kelOPENFAILED);
        rmdir(pattern.c_str());
        return sts;
    }
    close(fd);
    temporaryDir = pattern;
    temporary = path;
    watchSignals(temporary, temporaryDir);
    return kelOKAY;
}

kelStatus kelToolOutputFile::commit()
{
    mode_t mask = umask(0);
    umask(mask);
    if (chmod(temporary.c_str(), 0666 & ~mask) != 0 || rename(temporary.c_str(), destination.c_str()) != 0)
        return kelSystemStatus(kelWRITEFAILED);
    rmdir(temporaryDir.c_str());
    temporary.clear();
    unwatchSignals();
    return kelOKAY;
}

void kelToolOutputFile::discard()
{
    if (temporary.empty())
        return;
    unlink(temporary.c_str());
    rmdir(temporaryDir.c_str());
    temporary.clear();
    unwatchSignals();
}
