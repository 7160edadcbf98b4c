// The LZW encoder of GIF image data: variable-width codes from a hashed
// string table, cleared when 4096 codes are in use, packed into data
// sub-blocks of 254 bytes.
#ifndef KEL_GIFENCODER_H
#define KEL_GIFENCODER_H

#include <stddef.h>
#include <stdint.h>
#include <stdio.h>

class kelGIFEncoder {
public:
    kelGIFEncoder();

    // Compresses width x height pixels, each below 2^(init_bits - 1), rows
    // in natural order (or in interlace order when `interlace` is set), with
    // codes starting init_bits wide, and writes the data sub-blocks (without
    // their 0 terminator) to `fp`, whose error flag tells whether that worked.
    void gifcompress(FILE* fp, const unsigned char* pixels, int width, int height, int interlace, int init_bits);

private:
    enum { HSIZE = 5003, maxbits = 12, maxmaxcode = 1 << maxbits, blockSize = 254 };
    // Pixels of up to 4 bits have a table of every code's continuations.
    enum { maxChildBits = 4 };
    // Whole sub-blocks gathered before they go to the stream.
    enum { rawCapacity = blockSize * 256 };

    struct Run;
    template <bool children>
    void compressRows(const Run& run);
    int hashFind(int c, int ent, int fcode, int& i) const;
    void cl_hash();
    size_t flushRaw(size_t count, size_t pending);

    FILE* outfp;
    int g_init_bits;
    int clearcode;
    int EOFCode;
    int childBits; // bits of a pixel with a continuation table, else 0
    int htab[HSIZE];
    unsigned short codetab[HSIZE];
    // The code of code e followed by pixel c, shifted left by childBits, at
    // e << childBits | c; 0: none.
    unsigned short child[maxmaxcode << maxChildBits];
    unsigned char raw[rawCapacity + 8];
    unsigned char framed[rawCapacity + rawCapacity / blockSize];
};

#endif
