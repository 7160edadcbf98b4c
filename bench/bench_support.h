// What the benchmarks share: the clock, scratch file names and the plain
// transfers that kel is measured against.
#ifndef KEL_BENCH_SUPPORT_H
#define KEL_BENCH_SUPPORT_H

#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <vector>

#include <emmintrin.h>

extern char** environ;

namespace bench {

// CPU time of this thread, system time included: the machine is shared, and
// wall time would count the periods in which other processes ran.
inline double now()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

// CPU time of a run of a program (its path first) with these arguments;
// negative when it fails.
inline double childTime(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    rusage use;
    if (wait4(pid, &status, 0, &use) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return double(use.ru_utime.tv_sec + use.ru_stime.tv_sec) + 1e-6 * double(use.ru_utime.tv_usec + use.ru_stime.tv_usec);
}

inline std::string scratchPath(const char* name)
{
    const char* dir = getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

// Copies n bytes with non-temporal stores, as a plain kernel does for a
// destination much larger than the caches: the destination's lines are not
// read first. Call fence() after the last one.
inline void streamCopy(void* dst, const void* src, size_t n)
{
    uint8_t* d = static_cast<uint8_t*>(dst);
    const uint8_t* s = static_cast<const uint8_t*>(src);
    size_t head = std::min(n, size_t(-uintptr_t(d) & 15));
    memcpy(d, s, head);
    size_t i = head;
    for (; i + 16 <= n; i += 16)
        _mm_stream_si128(reinterpret_cast<__m128i*>(d + i),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
    memcpy(d + i, s + i, n - i);
}

inline void fence()
{
    _mm_sfence();
}

// A plain conversion loop writes its results through a small buffer that
// stays in the first-level cache, from which they are streamed out:
// produce(chunk, first, count) fills chunk[0 .. count) with elements
// first .. first + count of the destination.
template <class T, class Produce>
void streamed(T* dst, size_t n, Produce produce)
{
    const size_t chunk = 2048 / sizeof(T);
    alignas(64) T buf[chunk];
    for (size_t i = 0; i < n; i += chunk) {
        size_t m = std::min(chunk, n - i);
        produce(buf, i, m);
        streamCopy(dst + i, buf, m * sizeof(T));
    }
}

} // namespace bench

#endif
