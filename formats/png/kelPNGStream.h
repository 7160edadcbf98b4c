// The bytes that libspng reads from a PNG file, chunk by chunk, with the
// chunks that the reader at hand does not need left out: the pixel decoder
// sees only the critical chunks and tRNS, so that no ancillary chunk can
// make it fail or spend memory; the reader of the chunks after the image
// sees the signature, IHDR and PLTE, then those chunks, and an empty IDAT
// where the file's IEND is.
#ifndef KEL_PNGSTREAM_H
#define KEL_PNGSTREAM_H

#include <stddef.h>
#include <stdint.h>

class kelByteReader;
struct spng_ctx;

class kelPNGStream {
public:
    enum Mode {
        Everything, // the file as it is
        Pixels,     // critical chunks and tRNS
        Trailer     // signature, IHDR, PLTE, the text, time and EXIF chunks after the image data, empty IDAT
    };

    void start(kelByteReader* reader, Mode mode);

    // libspng's read callback: 0 when all n bytes are in `dst`, else
    // SPNG_IO_EOF (the file ends first) or SPNG_IO_ERROR (a read failed).
    static int read(spng_ctx* ctx, void* user, void* dst, size_t n);

    // Whether the chunks passed by so far included an acTL (an animation).
    bool sawAnimation() const { return animation; }
    // Whether the file ended before libspng had what it asked for.
    bool endedEarly() const { return ended; }

private:
    int fill(unsigned char* dst, size_t n);
    // Moves to the next chunk to pass; false at the end of what is passed.
    bool nextChunk();
    bool wanted(const unsigned char* type);
    void passSynthetic(const unsigned char* bytes, size_t n);

    kelByteReader* in = nullptr;
    Mode mode = Everything;
    long long pos = 0;      // the next byte of the file to pass
    uint64_t chunkLeft = 0; // bytes of the passed chunk still to come (header, data and CRC)
    bool sawImage = false;
    bool afterImage = false;
    bool animation = false;
    bool ended = false;
    bool finished = false;  // the synthetic IDAT went out
    unsigned char synthetic[8];
    size_t syntheticLeft = 0;
};

#endif
