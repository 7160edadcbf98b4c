#include "kelPNGCodec.h"

#include <errno.h>
#include <limits.h>

#include <spng.h>

#include <kel/kelError.h>

#include "kelPNGStream.h"

void kelPNGContextFree::operator()(spng_ctx* ctx) const
{
    spng_ctx_free(ctx);
}

kelPNGContext kelPNGNewDecoder(kelPNGStream& stream)
{
    kelPNGContext ctx(spng_ctx_new(0));
    if (!ctx)
        return ctx;
    // Sizes stay within kel's ints; pages within the page limit are checked
    // once the header is known.
    if (spng_set_png_stream(ctx.get(), kelPNGStream::read, &stream) != 0 ||
        spng_set_image_limits(ctx.get(), INT_MAX, INT_MAX) != 0 ||
        spng_set_chunk_limits(ctx.get(), kelPNGChunkLimit, kelPNGCacheLimit) != 0)
        ctx.reset();
    return ctx;
}

kelStatus kelPNGStatus(int err, int readErrno)
{
    switch (err) {
    case SPNG_IO_EOF:
    case SPNG_EOF:
        return kelREADFAILED;
    case SPNG_IO_ERROR:
    case SPNG_EIO:
        return readErrno ? kelComposeStatus(kelREADFAILED, 1, readErrno) : kelStatus(kelREADFAILED);
    case SPNG_EMEM:
    case SPNG_ECHUNK_LIMITS:
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    default:
        return kelBADIMGFMT;
    }
}

kelStatus kelPNGReport(int err, const char* filename, const char* what, int readErrno)
{
    const char* message = err == SPNG_IO_EOF ? "the file ends early" : spng_strerror(err);
    kelError(kelSeverityWarning, "PNG file %s: %s: %s", filename ? filename : "", what, message);
    return kelPNGStatus(err, readErrno);
}
