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

    // Compresses width x height pixels, rows in natural order (or in
    // interlace order when `interlace` is set), with codes starting
    // init_bits wide, and writes the data sub-blocks (without their 0
    // terminator) to `fp`, whose error flag tells whether that worked.
    void gifcompress(FILE* fp, const unsigned char* pixels, int width, int height, int interlace, int init_bits);

private:
    enum { HSIZE = 5003, maxbits = 12, maxmaxcode = 1 << maxbits, blockSize = 254 };
    // Whole sub-blocks gathered before they go to the stream.
    enum { rawCapacity = blockSize * 256 };

    struct Run;
    void compressRows(Run& run);
    void cl_hash();
    void output(int code);
    void cl_block();
    void flushRaw(size_t count);
    void finish();

    FILE* outfp;
    int n_bits;
    int maxcode;
    int free_ent;
    int clear_flg;
    int g_init_bits;
    int clearcode;
    int EOFCode;
    uint64_t cur_accum;
    int cur_bits;
    size_t a_count; // bytes in raw, not yet in sub-blocks
    int htab[HSIZE];
    unsigned short codetab[HSIZE];
    unsigned char raw[rawCapacity + 8];
    unsigned char framed[rawCapacity + rawCapacity / blockSize];
};

#endif
