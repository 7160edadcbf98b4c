// The strings of the table are looked up in child[], a direct table of
// every code's continuations. The hashed table of the coding rules finds
// the same strings, except that a secondary probe ends on the slot of the
// string "0 0" as on a free slot and takes it over; that can only happen
// once "0 0" has been placed away from slot 0, its first slot. Until then
// the hash table need not exist. From then on until the next clear its
// keys are built and kept, to see where new strings go and when "0 0" is
// lost, so that the codes are always those of the hashed table.
#include "kelGIFEncoder.h"

#include <stdlib.h>
#include <string.h>

#include "kelByteWriter.h"
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
    : out(nullptr), g_init_bits(0), clearcode(0), EOFCode(0), childBits(0), child(nullptr), tableBits(-1)
{
}

kelGIFEncoder::~kelGIFEncoder()
{
    free(child);
}

int kelGIFEncoder::prepare(int init_bits)
{
    if (init_bits - 1 <= tableBits)
        return 1;
    unsigned short* table =
        static_cast<unsigned short*>(calloc(size_t(maxmaxcode) << (init_bits - 1), sizeof(unsigned short)));
    if (!table)
        return 0;
    free(child);
    child = table;
    tableBits = init_bits - 1;
    return 1;
}

void kelGIFEncoder::gifcompress(kelByteWriter& output, const unsigned char* pixels, int width, int height,
                                int interlace, int init_bits)
{
    out = &output;
    g_init_bits = init_bits;
    clearcode = 1 << (init_bits - 1);
    EOFCode = clearcode + 1;
    childBits = init_bits - 1;
    const Run run = {pixels, width, height, interlace};
    if (childBits <= maxShiftedBits)
        compressRows<true>(run);
    else
        compressRows<false>(run);
}

// Places the string `key` (its child[] index) where the hashed table puts
// it: its first slot when free, else the first slot of its probe that is
// free or holds "0 0" (key 0), which `tookZero` then tells.
void kelGIFEncoder::hashInsert(unsigned key, int& tookZero)
{
    const int c = int(key & ((1u << childBits) - 1)), ent = int(key >> childBits);
    int i = (c << hshift) ^ ent;
    if (htab[i] >= 0) {
        const int disp = i == 0 ? 1 : HSIZE - i;
        do {
            if ((i -= disp) < 0)
                i += HSIZE;
        } while (htab[i] > 0);
    }
    tookZero = htab[i] == 0;
    htab[i] = (c << maxbits) + ent;
}

// The hashed table as the codes firstCode .. lastCode - 1 made it.
void kelGIFEncoder::hashAll(int firstCode, int lastCode)
{
    memset(htab, 0xff, sizeof htab); // every slot -1: free
    int tookZero;
    for (int e = firstCode; e < lastCode; ++e)
        hashInsert(keyOf[e], tookZero);
}

// The coder's state lives in locals, which stay in registers. With
// `shifted`, child[] holds codes shifted for the next key.
template <bool shifted>
void kelGIFEncoder::compressRows(const Run& run)
{
    static const int plainStart[1] = {0}, plainStep[1] = {1};
    const int* start = run.interlace ? kelGIFPassStart : plainStart;
    const int* step = run.interlace ? kelGIFPassStep : plainStep;
    const int passes = run.interlace ? int(kelGIFPasses) : 1;
    const int shift = childBits;
    // In locals: stores of output bytes could otherwise alias them.
    unsigned short* const table = child;
    unsigned* const keys = keyOf;

    int n_bits = g_init_bits;
    int maxcode = (1 << n_bits) - 1;
    int free_ent = clearcode + 2;
    int clear_flg = 0;
    uint64_t cur_accum = 0;
    int cur_bits = 0;
    size_t a_count = 0;  // bytes in raw, not yet in sub-blocks
    int hashed = 0;      // the hash table is kept
    int firstSlotUsed = 0; // a string other than "0 0" has slot 0 first

    // Appends the code's bits above the pending ones, least significant
    // first, then widens the codes once the next code needs more bits.
    // Whole bytes are stored eight at a time, without a branch: the bytes
    // past the finished ones are stored again with the next code.
    auto output = [&](int code) {
        cur_accum |= uint64_t(code) << cur_bits;
        cur_bits += n_bits;
        memcpy(raw + a_count, &cur_accum, 8); // little-endian hosts only
        a_count += size_t(cur_bits >> 3);
        cur_accum >>= cur_bits & ~7;
        cur_bits &= 7;
        if (a_count >= rawCapacity)
            a_count = flushRaw(rawCapacity, a_count);
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
    auto clearTable = [&] {
        for (int e = clearcode + 2; e < free_ent; ++e)
            table[keys[e]] = 0;
        free_ent = clearcode + 2;
        hashed = 0;
        firstSlotUsed = 0;
    };
    // A new string: the code it gets, and in the hashed table its slot.
    auto addString = [&](unsigned key) {
        if (!hashed && key == 0 && firstSlotUsed) {
            hashAll(clearcode + 2, free_ent); // "0 0" goes elsewhere: keep the table from here
            hashed = 1;
        }
        if (hashed) {
            int tookZero;
            hashInsert(key, tookZero);
            if (tookZero)
                table[0] = 0; // "0 0" is lost
        } else if (key != 0 && ((key & ((1u << shift) - 1)) << hshift) == (key >> shift)) {
            firstSlotUsed = 1;
        }
        table[key] = (unsigned short)(shifted ? free_ent << shift : free_ent);
        keys[free_ent++] = key;
    };

    // The current string's code, shifted: one OR makes the next key.
    unsigned entKey = unsigned(run.pixels[0]) << shift;
    int skipFirst = 1;
    output(clearcode);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = start[pass]; y < run.height; y += step[pass]) {
            const unsigned char* row = run.pixels + size_t(y) * size_t(run.width);
            for (int x = skipFirst; x < run.width; ++x) {
                const unsigned c = row[x];
                const unsigned key = entKey | c;
                const unsigned next = table[key];
                if (next) {
                    entKey = shifted ? next : next << shift;
                    continue;
                }
                output(int(entKey >> shift));
                if (free_ent < maxmaxcode) {
                    addString(key);
                } else {
                    clearTable();
                    clear_flg = 1;
                    output(clearcode);
                }
                entKey = c << shift;
            }
            skipFirst = 0;
        }
    output(int(entKey >> shift));
    output(EOFCode);
    clearTable();
    // The last bits, zero-padded to a whole byte.
    if (cur_bits > 0)
        raw[a_count++] = (unsigned char)cur_accum;
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
    out->write(framed, k);
    memmove(raw, raw + count, pending - count);
    return pending - count;
}
