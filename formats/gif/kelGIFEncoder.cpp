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

kelGIFEncoder::kelGIFEncoder() : outfp(nullptr), g_init_bits(0), clearcode(0), EOFCode(0), childBits(0) {}

void kelGIFEncoder::gifcompress(FILE* fp, const unsigned char* pixels, int width, int height, int interlace,
                                int init_bits)
{
    outfp = fp;
    g_init_bits = init_bits;
    clearcode = 1 << (init_bits - 1);
    EOFCode = clearcode + 1;
    childBits = init_bits - 1 <= maxChildBits ? init_bits - 1 : 0;
    const Run run = {pixels, width, height, interlace};
    if (childBits)
        compressRows<true>(run);
    else
        compressRows<false>(run);
}

void kelGIFEncoder::cl_hash()
{
    memset(htab, 0xff, sizeof htab); // every slot -1: free
    if (childBits)
        memset(child, 0, sizeof(child[0]) * (size_t(maxmaxcode) << childBits));
}

// The code of the string ent + c, or -1 with `i` at the slot where it goes.
// A key of 0 ends a secondary probe like a free slot.
inline int kelGIFEncoder::hashFind(int c, int ent, int fcode, int& i) const
{
    i = (c << hshift) ^ ent;
    if (htab[i] == fcode)
        return codetab[i];
    if (htab[i] >= 0) {
        const int disp = i == 0 ? 1 : HSIZE - i;
        do {
            if ((i -= disp) < 0)
                i += HSIZE;
            if (htab[i] == fcode)
                return codetab[i];
        } while (htab[i] > 0);
    }
    return -1;
}

// With `children`, strings are found in child[] first: it holds exactly the
// strings the hash table finds (both change together, and a key 0 that a
// probe overwrites leaves both), so only new strings walk the hash table.
// The coder's state lives in locals, which stay in registers.
template <bool children>
void kelGIFEncoder::compressRows(const Run& run)
{
    static const int plainStart[1] = {0}, plainStep[1] = {1};
    const int* start = run.interlace ? kelGIFPassStart : plainStart;
    const int* step = run.interlace ? kelGIFPassStep : plainStep;
    const int passes = run.interlace ? int(kelGIFPasses) : 1;
    const int shift = children ? childBits : 0;

    int n_bits = g_init_bits;
    int maxcode = (1 << n_bits) - 1;
    int free_ent = clearcode + 2;
    int clear_flg = 0;
    uint64_t cur_accum = 0;
    int cur_bits = 0;
    size_t a_count = 0; // bytes in raw, not yet in sub-blocks

    // Appends the code's bits above the pending ones, least significant
    // first, then widens the codes once the next code needs more bits.
    auto output = [&](int code) {
        cur_accum |= uint64_t(code) << cur_bits;
        cur_bits += n_bits;
        if (cur_bits >= 32) {
            const uint32_t word = uint32_t(cur_accum); // little-endian hosts only
            memcpy(raw + a_count, &word, 4);
            a_count += 4;
            cur_accum >>= 32;
            cur_bits -= 32;
            if (a_count >= rawCapacity)
                a_count = flushRaw(rawCapacity, a_count);
        }
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
    };

    int ent = run.pixels[0] << shift;
    int skipFirst = 1;
    cl_hash();
    output(clearcode);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = start[pass]; y < run.height; y += step[pass]) {
            const unsigned char* row = run.pixels + size_t(y) * size_t(run.width);
            for (int x = skipFirst; x < run.width; ++x) {
                const unsigned c = row[x];
                if (children) {
                    // `ent` is kept shifted here: one OR finds the next entry.
                    const unsigned next = child[unsigned(ent) | c];
                    if (next) {
                        ent = int(next);
                        continue;
                    }
                    ent >>= shift;
                }
                const int fcode = int(c << maxbits) + ent;
                int i;
                const int code = hashFind(int(c), ent, fcode, i);
                if (code >= 0) {
                    ent = code << shift;
                    continue;
                }
                output(ent);
                if (free_ent < maxmaxcode) {
                    if (children) {
                        if (htab[i] == 0)
                            child[0] = 0;
                        child[unsigned(ent) << shift | c] = (unsigned short)(free_ent << shift);
                    }
                    codetab[i] = (unsigned short)free_ent++;
                    htab[i] = fcode;
                } else {
                    cl_hash();
                    free_ent = clearcode + 2;
                    clear_flg = 1;
                    output(clearcode);
                }
                ent = int(c << shift);
            }
            skipFirst = 0;
        }
    output(ent >> shift);
    output(EOFCode);
    // The last bits, zero-padded to whole bytes.
    for (; cur_bits > 0; cur_bits -= 8) {
        raw[a_count++] = (unsigned char)cur_accum;
        cur_accum >>= 8;
    }
    flushRaw(a_count, a_count);
}

// Frames the first `count` of the `pending` raw bytes as sub-blocks of 254
// bytes (the last one shorter), writes them, and returns what is left.
size_t kelGIFEncoder::flushRaw(size_t count, size_t pending)
{
    size_t k = 0;
    for (size_t done = 0; done < count; done += blockSize) {
        size_t len = count - done < blockSize ? count - done : size_t(blockSize);
        framed[k++] = (unsigned char)len;
        memcpy(framed + k, raw + done, len);
        k += len;
    }
    fwrite(framed, 1, k, outfp);
    memmove(raw, raw + count, pending - count);
    return pending - count;
}
