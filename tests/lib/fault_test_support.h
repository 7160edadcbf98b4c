// Failing descriptors for the fault tests of every format: full devices,
// descriptors that cannot be written, descriptors whose reads start failing
// after the file was opened; the page limit; and the count of open
// descriptors, which no failure may change. The checks run in child
// processes.
#ifndef KEL_TESTS_FAULT_TEST_SUPPORT_H
#define KEL_TESTS_FAULT_TEST_SUPPORT_H

#include <dirent.h>
#include <errno.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>

#include "lib/file_test_support.h"

inline int openDescriptors()
{
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            n++;
        closedir(d);
    }
    return n;
}

// A descriptor that cannot take pages, made fresh for each case.
struct WriteFault {
    const char* what;
    int (*make)(const std::string& scratch);
};

inline const WriteFault writeFaults[] = {
    {"full", [](const std::string&) { return ::open("/dev/full", O_RDWR); }},
    {"readonly",
     [](const std::string& path) {
         close(::open(path.c_str(), O_CREAT | O_WRONLY, 0644));
         return ::open(path.c_str(), O_RDONLY);
     }},
    {"pipe",
     [](const std::string&) {
         int ends[2];
         if (pipe(ends) != 0)
             return -1;
         close(ends[0]);
         return ends[1];
     }},
};

inline std::string writeFaultName(const ::testing::TestParamInfo<WriteFault>& info)
{
    return info.param.what;
}

// Makes every descriptor of this process that is open on `path` (those of
// the file objects' own streams included) a write-only descriptor of the
// same file: reads through them fail from now on. The count replaced.
inline int failReadsOf(const std::string& path)
{
    struct stat target;
    const int writeOnly = ::open(path.c_str(), O_WRONLY);
    if (writeOnly < 0 || fstat(writeOnly, &target) != 0)
        return 0;
    int replaced = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (dirent* e = readdir(d)) {
            const int fd = atoi(e->d_name);
            struct stat st;
            if (e->d_name[0] == '.' || fd == writeOnly || fd == dirfd(d) || fstat(fd, &st) != 0)
                continue;
            if (st.st_dev == target.st_dev && st.st_ino == target.st_ino && dup2(writeOnly, fd) == fd)
                replaced++;
        }
        closedir(d);
    }
    close(writeOnly);
    return replaced;
}

// A new file of `format` over the fault's descriptor (by the name /dev/full
// when there is no fault) takes a whole image of `cfg`: either create
// refuses the descriptor, or setTile, flush or close reports the failed
// write; never does every step succeed. The full device takes the create
// and fails the write with ENOSPC. No descriptor stays open.
inline void expectWriteFailureReported(const WriteFault* fault, const std::string& scratch, const char* format,
                                       const kelFileConfig& cfg, const void* pixels)
{
    signal(SIGPIPE, SIG_IGN);
    const int before = openDescriptors();
    const int fd = fault ? fault->make(scratch) : -1;
    CHILD_EXPECT(!fault || fd >= 0);
    const std::string name = std::string(fault ? scratch : "/dev/full") + "#" + format;
    kelStatus sts = -1;
    kelFile* f = fault ? kelFile::create(fd, name.c_str(), nullptr, &cfg, nullptr, &sts)
                       : kelFile::create(name.c_str(), nullptr, &cfg, nullptr, &sts);
    const bool full = !fault || strcmp(fault->what, "full") == 0;
    if (!f) {
        CHILD_EXPECT(!full);
        CHILD_EXPECT(kelStatusMain(sts) == kelOPENFAILED || kelStatusMain(sts) == kelSEEKFAILED);
        close(fd);
    } else {
        kelSize size;
        f->getSize(size, f->getOrientation());
        kelStatus steps[3] = {f->setTile(0, 0, 0, size.x, size.y, size.z, pixels), f->flush(), kelOKAY};
        steps[2] = f->close();
        sts = steps[0] ? steps[0] : steps[1] ? steps[1] : steps[2];
        CHILD_EXPECT_EQ(kelStatusMain(sts), kelWRITEFAILED);
        if (full)
            CHILD_EXPECT_EQ(kelStatusErrno(sts), ENOSPC);
    }
    CHILD_EXPECT_EQ(openDescriptors(), before);
}

// The file `name` (at `path`) is opened, then its reads start failing: the
// whole image read in the file's own layout and in `other` gives
// kelREADFAILED, never a page of old bytes, and the converted read leaves
// the caller's buffer alone. Close leaves no descriptor open.
inline void expectReadFailureReported(const std::string& path, const std::string& name, const kelConfig& other)
{
    const int before = openDescriptors();
    kelStatus sts = -1;
    kelFile* f = kelFile::open(name.c_str(), O_RDONLY, &sts);
    CHILD_EXPECT(f != nullptr);
    if (!f)
        return;
    CHILD_EXPECT(failReadsOf(path) > 0);
    kelSize size;
    f->getSize(size, f->getOrientation());
    const size_t bytes = size_t(size.x) * size.y * size.z * size.c * 8;
    std::vector<unsigned char> own(bytes), converted(bytes, 0xEE);
    CHILD_EXPECT_EQ(kelStatusMain(f->getTile(0, 0, 0, size.x, size.y, size.z, own.data())), kelREADFAILED);
    CHILD_EXPECT_EQ(kelStatusMain(f->getTile(0, 0, 0, size.x, size.y, size.z, converted.data(), &other)),
                    kelREADFAILED);
    CHILD_EXPECT(std::count(converted.begin(), converted.end(), 0xEE) == long(bytes));
    f->close();
    CHILD_EXPECT_EQ(openDescriptors(), before);
}

// Opening `name` with the page limit at `limit` bytes fails with
// kelMALLOCFAILED, reports `message` (a pattern) and leaves no descriptor
// open.
inline void expectOpenRefusedByTheLimit(const std::string& name, size_t limit, const std::string& message)
{
    EXPECT_EXIT(
        {
            setenv("KEL_DATABASE", KEL_TEST_DATABASE, 1);
            kelSetErrorHandler(kelRobustErrorHandler, nullptr);
            kelSetMaxPageBytes(limit);
            const int before = openDescriptors();
            kelStatus sts = 0;
            const bool refused =
                kelFile::open(name.c_str(), O_RDONLY, &sts) == nullptr && kelStatusMain(sts) == kelMALLOCFAILED;
            exit(refused && openDescriptors() == before ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), message);
}

#endif
