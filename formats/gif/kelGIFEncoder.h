// The LZW encoder of GIF image data: variable-width codes from a hashed
// string table, cleared when 4096 codes are in use, packed into data
// sub-blocks of 254 bytes.
#ifndef KEL_GIFENCODER_H
#define KEL_GIFENCODER_H

#include <stddef.h>
#include <stdint.h>

class kelByteWriter;

class kelGIFEncoder {
public:
    kelGIFEncoder();
    ~kelGIFEncoder();

    // Makes the tables for pixels below 2^(init_bits - 1); 0 when there is
    // no memory for them.
    int prepare(int init_bits);
    // Compresses width x height pixels, each below 2^(init_bits - 1) as
    // prepared, rows in natural order (or in interlace order when
    // `interlace` is set), with codes starting init_bits wide, and writes
    // the data sub-blocks (without their 0 terminator) to `output`, whose
    // status tells whether that worked.
    void gifcompress(kelByteWriter& output, const unsigned char* pixels, int width, int height, int interlace,
                     int init_bits);

    kelGIFEncoder(const kelGIFEncoder&) = delete;
    kelGIFEncoder& operator=(const kelGIFEncoder&) = delete;

private:
    enum { HSIZE = 5003, maxbits = 12, maxmaxcode = 1 << maxbits, blockSize = 254 };
    // Whole sub-blocks gathered before they go to the stream.
    enum { rawCapacity = blockSize * 256 };

    // Codes of 12 bits shifted by up to 4 bits still fit child[].
    enum { maxShiftedBits = 4 };

    struct Run;
    template <bool shifted>
    void compressRows(const Run& run);
    void hashAll(int firstCode, int lastCode);
    void hashInsert(unsigned key, int& tookZero);
    size_t flushRaw(size_t count, size_t pending);

    kelByteWriter* out;
    int g_init_bits;
    int clearcode;
    int EOFCode;
    int childBits;
    // The code of code e followed by pixel c at e << childBits | c, shifted
    // left by childBits too while that fits; 0: none.
    unsigned short* child;
    int tableBits; // child[] holds 4096 << tableBits entries
    // The child[] index of each code's string.
    unsigned keyOf[maxmaxcode];
    // The hashed table's keys (pixel << 12 | code); -1 marks a free slot.
    int htab[HSIZE];
    unsigned char raw[rawCapacity + 8];
    unsigned char framed[rawCapacity + rawCapacity / blockSize];
};

#endif
