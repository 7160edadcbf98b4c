// A new PNG file's encoder: libspng writing through the file's byte
// writer, taking rows one at a time (in pass order for an interlaced image).
#ifndef KEL_PNGENCODER_H
#define KEL_PNGENCODER_H

#include <stddef.h>

#include <kel/kelStatus.h>

#include "kelPNGCodec.h"

class kelByteWriter;
struct spng_ctx;
struct kelPNGInfo;
struct kelPNGLayout;

class kelPNGEncoder {
public:
    // Writes the signature and the chunks before the image. `level` is
    // zlib's 0..9, `filter` a kelPNGFilter.
    kelStatus start(kelByteWriter& out, const kelPNGLayout& layout, const kelPNGInfo& info, int level, int filter,
                    const char* filename);
    bool started() const { return ctx != nullptr; }
    // The image row the encoder takes next.
    int nextRow() const;
    // `last` (when given) tells whether that was the image's last row.
    kelStatus putRow(const unsigned char* row, bool* last = nullptr);
    // Ends the image data and writes the end of the file.
    kelStatus finish();
    void release() { ctx.reset(); }

private:
    static int write(spng_ctx* ctx, void* user, void* src, size_t n);
    kelStatus failed(int err, const char* what);

    kelPNGContext ctx;
    kelByteWriter* writer = nullptr;
    size_t rowBytes = 0;
    const char* filename = nullptr;
};

#endif
