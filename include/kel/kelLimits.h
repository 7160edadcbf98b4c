/* Process-wide bounds on the memory that reading or writing one file may
   take, so that a small hostile file cannot make the library allocate far
   beyond what real images need. */
#ifndef KEL_LIMITS_H
#define KEL_LIMITS_H

#include <stddef.h>

#include <kel/kelExport.h>
#include <kel/kelStatus.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The largest buffer, in bytes, that the library or a plug-in allocates for
   one page (or any buffer whose size a file decides). The default is 4 GiB;
   the environment variable KEL_MAX_PAGE_BYTES (bytes, or a number with the
   suffix K, M or G) sets another at the first use, kelSetMaxPageBytes at any
   time. Setting 0 restores the default. */
KEL_API size_t kelGetMaxPageBytes(void);
KEL_API void kelSetMaxPageBytes(size_t bytes);

/* kelOKAY when a buffer of `bytes` is within the limit; otherwise reports at
   error severity that `what` (for example "kelFile::getTile()") needs more
   than the limit, naming it, and returns kelMALLOCFAILED with ENOMEM. */
KEL_API kelStatus kelCheckPageBytes(unsigned long long bytes, const char* what);

#ifdef __cplusplus
}
#endif

#endif
