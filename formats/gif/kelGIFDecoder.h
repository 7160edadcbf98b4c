// The LZW decoder of GIF image data. Every table entry is a string that was
// already written to the output, so an entry is kept as its place and
// length there, and each code becomes one copy from earlier output (a root
// code one copy from a table of the byte values).
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
    int special(int code, size_t room);

    // String table: place and length of each code's string; length 0 for
    // the clear and end codes and the codes not defined yet.
    const unsigned char* entPtr[maxCodes];
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
    const unsigned char* prevPtr; // the previous string in the output
    size_t prevLen;
    int finished;
};

#endif
