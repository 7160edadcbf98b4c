/* The status word returned by every fallible operation. */
#ifndef KEL_STATUS_H
#define KEL_STATUS_H

#include <errno.h>

#include <kel/kelExport.h>
#include <kel/kelTypes.h>

/* Bits 0-11: main status; bits 12-15: kind (1 when bits 16-31 hold errno);
   bits 16-31: the C library's errno. A status without a system error equals
   its bare main-status number. */
typedef int kelStatus;

enum { kelOKAY = 0 };

KEL_ENUM(kelMainStatus) {
    kelREADONLY = 1,
    kelWRITEONLY = 2,
    kelBADPARAMS = 3,
    kelUNSUPPORTEDBYLIBRARY = 4,
    kelUNSUPPORTEDBYFORMAT = 5,
    kelBADMAGIC = 6,
    kelBADIMGFMT = 7,
    kelBADFIELDSET = 8,
    kelBADFIELDGET = 9,
    kelSYSTEM_CONFIGURATION_ERROR = 10,
    kelFILEINDEXOOB = 11,
    kelMALLOCFAILED = 12,
    kelOPENFAILED = 13,
    kelCLOSEFAILED = 14,
    kelREADFAILED = 15,
    kelWRITEFAILED = 16,
    kelSEEKFAILED = 17,
    kelSTATFAILED = 18,
    kelDBOPENFAILED = 19,
    kelSCRIPTFAILED = 20,
    kelPREMATUREEOF = 21,
    kelCORRUPTED = 22,
    kelUNSUPPORTEDBYFILE = 23
} KEL_ENUM_END(kelMainStatus);

/* Builds a status word from its three fields. */
#define kelComposeStatus(mainStatus, kind, sysError) \
    ((kelStatus)(((unsigned)((sysError) & 0xffff) << 16) | \
                 ((unsigned)((kind) & 0xf) << 12) | ((unsigned)(mainStatus) & 0xfff)))
/* A failed system call: the main status with the current errno attached. */
#define kelSystemStatus(mainStatus) kelComposeStatus((mainStatus), 1, errno)

#define kelStatusMain(sts) ((int)((unsigned)(sts) & 0xfff))
#define kelStatusKind(sts) ((int)(((unsigned)(sts) >> 12) & 0xf))
#define kelStatusErrno(sts) ((int)(((unsigned)(sts) >> 16) & 0xffff))

#ifdef __cplusplus
extern "C" {
#endif

KEL_API const char* kelMainStatusToString(kelMainStatus status);
KEL_API char* kelStatusToString(kelStatus sts, char* buf, int bufsize);

#ifdef __cplusplus
}
#endif

#endif
