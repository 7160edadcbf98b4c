// The LZW decoder of GIF image data. Every table entry is a string that was
// already written to the output, so an entry is kept as its position and
// length there, and each code becomes one copy from earlier output.
#ifndef KEL_GIFDECODER_H
#define KEL_GIFDECODER_H

#include <stddef.h>
#include <stdint.h>

class kelGIFDecoder {
public:
    enum { maxCodes = 4096 };

    kelGIFDecoder();

    // Starts an image of `n` pixels written to `out`, whose codes begin
    // dataSize + 1 bits wide (dataSize 1 to 11).
    void start(int dataSize, unsigned char* out, size_t n);
    // Decodes the next bytes of the code stream; 0 once decoding has ended
    // (end code, full page, or a stream that cannot go on).
    int decode(const unsigned char* data, size_t len);
    // Output written so far.
    size_t written() const { return op; }

private:
    void restart();
    void addEntry();

    // String table: position and length in the output of each code's string.
    uint32_t entPos[maxCodes];
    uint16_t entLen[maxCodes];

    unsigned char* out;
    size_t n;
    size_t op;
    uint64_t acc;
    int bits;
    int dataSize;
    int clear;
    int codesize;
    unsigned codemask;
    int avail;
    int havePrev; // a code was decoded since the last clear
    size_t prevPos;
    size_t prevLen;
    int finished;
};

#endif
