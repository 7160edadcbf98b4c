// libspng contexts as the plug-in uses them, and libspng's results as kel
// statuses.
#ifndef KEL_PNGCODEC_H
#define KEL_PNGCODEC_H

#include <stddef.h>

#include <memory>

#include <kel/kelStatus.h>

struct spng_ctx;
class kelPNGStream;

struct kelPNGContextFree {
    void operator()(spng_ctx* ctx) const;
};
using kelPNGContext = std::unique_ptr<spng_ctx, kelPNGContextFree>;

// Limits on what a file's ancillary chunks may take: the decompressed size
// of one chunk, and of all of them together.
enum : size_t {
    kelPNGChunkLimit = 8u << 20,
    kelPNGCacheLimit = 32u << 20
};

// A decoder reading through `stream`, with kel's image and chunk limits;
// null when libspng has no memory.
kelPNGContext kelPNGNewDecoder(kelPNGStream& stream);

// The status for libspng's result `err` (not 0): kelREADFAILED when the
// file ended or a read failed (with the read's errno, `readErrno`), kelMALLOCFAILED
// for memory and limits, kelWRITEFAILED for a failed write, else kelBADIMGFMT.
kelStatus kelPNGStatus(int err, int readErrno = 0);

// Reports libspng's message for `err` at warning severity, "PNG file NAME:
// WHAT: MESSAGE", and returns kelPNGStatus(err).
kelStatus kelPNGReport(int err, const char* filename, const char* what, int readErrno = 0);

#endif
