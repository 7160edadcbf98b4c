#include "kelGIFEncoder.h"

#include <string.h>

#include "kelGIFInterlace.h"

// hsize 5003 doubles 4 times on its way to 65536, so keys hash with a shift of 8 - 4.
enum { hshift = 4 };

struct kelGIFEncoder::Run {
    const unsigned char* pixels;
    int width;
    int height;
    int interlace;
};

kelGIFEncoder::kelGIFEncoder()
    : outfp(nullptr), n_bits(0), maxcode(0), free_ent(0), clear_flg(0), g_init_bits(0),
      clearcode(0), EOFCode(0), cur_accum(0), cur_bits(0), a_count(0)
{
}

void kelGIFEncoder::gifcompress(FILE* fp, const unsigned char* pixels, int width, int height, int interlace,
                               int init_bits)
{
    outfp = fp;
    g_init_bits = init_bits;
    clear_flg = 0;
    n_bits = init_bits;
    maxcode = (1 << n_bits) - 1;
    clearcode = 1 << (init_bits - 1);
    EOFCode = clearcode + 1;
    free_ent = clearcode + 2;
    a_count = 0;
    cur_accum = 0;
    cur_bits = 0;
    Run run = {pixels, width, height, interlace};
    compressRows(run);
    finish();
}

void kelGIFEncoder::cl_hash()
{
    memset(htab, 0xff, sizeof htab); // every slot -1: free
}

void kelGIFEncoder::cl_block()
{
    cl_hash();
    free_ent = clearcode + 2;
    clear_flg = 1;
    output(clearcode);
}

// Appends the code's bits above the pending ones, least significant first,
// then widens the codes once the next code needs more bits.
inline void kelGIFEncoder::output(int code)
{
    cur_accum |= uint64_t(code) << cur_bits;
    cur_bits += n_bits;
    while (cur_bits >= 8) {
        raw[a_count++] = (unsigned char)cur_accum;
        cur_accum >>= 8;
        cur_bits -= 8;
    }
    if (a_count >= rawCapacity)
        flushRaw(rawCapacity);
    if (free_ent > maxcode || clear_flg) {
        if (clear_flg) {
            n_bits = g_init_bits;
            maxcode = (1 << n_bits) - 1;
            clear_flg = 0;
        } else {
            ++n_bits;
            maxcode = n_bits == maxbits ? int(maxmaxcode) : (1 << n_bits) - 1;
        }
    }
}

void kelGIFEncoder::compressRows(Run& run)
{
    static const int plainStart[1] = {0}, plainStep[1] = {1};
    const int* start = run.interlace ? kelGIFPassStart : plainStart;
    const int* step = run.interlace ? kelGIFPassStep : plainStep;
    const int passes = run.interlace ? int(kelGIFPasses) : 1;

    int ent = run.pixels[0];
    int skipFirst = 1;
    cl_hash();
    output(clearcode);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = start[pass]; y < run.height; y += step[pass]) {
            const unsigned char* row = run.pixels + size_t(y) * size_t(run.width);
            for (int x = skipFirst; x < run.width; ++x) {
                const int c = row[x];
                const int fcode = (c << maxbits) + ent;
                int i = (c << hshift) ^ ent;
                if (htab[i] == fcode) {
                    ent = codetab[i];
                    continue;
                }
                if (htab[i] >= 0) {
                    // Secondary probe; a key of 0 ends it like a free slot.
                    const int disp = i == 0 ? 1 : HSIZE - i;
                    int found = 0;
                    do {
                        if ((i -= disp) < 0)
                            i += HSIZE;
                        if (htab[i] == fcode) {
                            found = 1;
                            break;
                        }
                    } while (htab[i] > 0);
                    if (found) {
                        ent = codetab[i];
                        continue;
                    }
                }
                output(ent);
                ent = c;
                if (free_ent < maxmaxcode) {
                    codetab[i] = (unsigned short)free_ent++;
                    htab[i] = fcode;
                } else {
                    cl_block();
                }
            }
            skipFirst = 0;
        }
    output(ent);
}

// Frames `count` bytes of raw output as sub-blocks of 254 bytes (the last
// one shorter) and writes them.
void kelGIFEncoder::flushRaw(size_t count)
{
    size_t k = 0;
    for (size_t done = 0; done < count; done += blockSize) {
        size_t len = count - done < blockSize ? count - done : size_t(blockSize);
        framed[k++] = (unsigned char)len;
        memcpy(framed + k, raw + done, len);
        k += len;
    }
    fwrite(framed, 1, k, outfp);
    memmove(raw, raw + count, a_count - count);
    a_count -= count;
}

// The end code, the last bits zero-padded to a byte, and every pending byte.
void kelGIFEncoder::finish()
{
    output(EOFCode);
    if (cur_bits > 0) {
        raw[a_count++] = (unsigned char)cur_accum;
        cur_accum = 0;
        cur_bits = 0;
    }
    flushRaw(a_count);
}
