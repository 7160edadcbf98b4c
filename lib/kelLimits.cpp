#include <kel/kelLimits.h>

#include <ctype.h>
#include <errno.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>

#include <kel/kelError.h>

namespace {

const unsigned long long defaultMaxPageBytes = 4ULL << 30;

size_t clampToSize(unsigned long long v)
{
    return v > SIZE_MAX ? SIZE_MAX : size_t(v);
}

// The value of KEL_MAX_PAGE_BYTES, or the default when it is missing or no
// positive number with an optional K, M or G.
size_t limitFromEnvironment()
{
    const char* text = getenv("KEL_MAX_PAGE_BYTES");
    if (!text || !*text)
        return clampToSize(defaultMaxPageBytes);
    char* end;
    errno = 0;
    unsigned long long v = strtoull(text, &end, 10);
    static const char units[] = "KMG";
    const char* unit = *end ? strchr(units, toupper(static_cast<unsigned char>(*end))) : nullptr;
    int shift = unit ? 10 * int(unit - units + 1) : 0;
    if (unit)
        end++;
    if (errno || end == text || *end || v == 0 || v > (~0ULL >> shift) || text[0] == '-')
        return clampToSize(defaultMaxPageBytes);
    return clampToSize(v << shift);
}

std::atomic<size_t>& maxPageBytes()
{
    static std::atomic<size_t> limit(limitFromEnvironment());
    return limit;
}

} // namespace

extern "C" size_t kelGetMaxPageBytes(void)
{
    return maxPageBytes().load(std::memory_order_relaxed);
}

extern "C" void kelSetMaxPageBytes(size_t bytes)
{
    maxPageBytes().store(bytes ? bytes : clampToSize(defaultMaxPageBytes), std::memory_order_relaxed);
}

extern "C" kelStatus kelCheckPageBytes(unsigned long long bytes, const char* what)
{
    size_t limit = kelGetMaxPageBytes();
    if (bytes <= limit)
        return kelOKAY;
    kelError(kelSeverityError, "%s: a buffer of %llu bytes exceeds the limit of %llu bytes (KEL_MAX_PAGE_BYTES)",
             what, bytes, (unsigned long long)limit);
    return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
}
