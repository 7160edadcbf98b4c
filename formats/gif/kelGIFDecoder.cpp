#include "kelGIFDecoder.h"

#include <string.h>

kelGIFDecoder::kelGIFDecoder()
    : out(nullptr), n(0), op(0), acc(0), bits(0), dataSize(0), clear(0), codesize(0), codemask(0), avail(0),
      havePrev(0), prevPos(0), prevLen(0), finished(1)
{
    memset(entPos, 0, sizeof entPos);
    memset(entLen, 0, sizeof entLen);
}

void kelGIFDecoder::start(int size, unsigned char* output, size_t count)
{
    dataSize = size;
    clear = 1 << size;
    out = output;
    n = count;
    op = 0;
    acc = 0;
    bits = 0;
    finished = count == 0;
    restart();
}

void kelGIFDecoder::restart()
{
    codesize = dataSize + 1;
    codemask = (1u << codesize) - 1;
    avail = clear + 2;
    havePrev = 0;
}

// The new entry is the previous string and the first byte after it, which
// is where the previous string stands in the output, one byte longer. Codes
// widen once the next entry needs another bit (with 1-bit pixels right
// after the first entry, as the table starts full); no entry is made once
// the table is full, and codes then stay 12 bits wide.
inline void kelGIFDecoder::addEntry()
{
    if (avail >= maxCodes)
        return;
    entPos[avail] = uint32_t(prevPos);
    entLen[avail] = uint16_t(prevLen + 1);
    ++avail;
    if (avail > int(codemask) && codesize < 12) {
        ++codesize;
        codemask = codemask * 2 + 1;
    }
}

static inline uint64_t load64(const unsigned char* p)
{
    uint64_t v;
    memcpy(&v, p, sizeof v);
    return v; // little-endian hosts only, as is the code stream
}

// Copies a string that lies wholly before `dst` in the output. Short ones
// move as two words when the page has room for the overshoot, which later
// output overwrites.
static inline void copyString(unsigned char* dst, const unsigned char* src, size_t len, size_t room)
{
    if (len <= 16 && room >= 16) {
        uint64_t a = load64(src), b = load64(src + 8);
        memcpy(dst, &a, 8);
        memcpy(dst + 8, &b, 8);
    } else {
        memcpy(dst, src, len < room ? len : room);
    }
}

int kelGIFDecoder::decode(const unsigned char* p, size_t len)
{
    const unsigned char* const endp = p + len;
    while (!finished) {
        if (bits < codesize) {
            if (endp - p >= 8) {
                acc |= load64(p) << bits;
                p += (63 - bits) >> 3;
                bits |= 56;
            } else {
                while (bits <= 56 && p < endp) {
                    acc |= uint64_t(*p++) << bits;
                    bits += 8;
                }
                if (bits < codesize)
                    return 1;
            }
        }
        const int code = int(acc & codemask);
        acc >>= codesize;
        bits -= codesize;

        size_t room = n - op;
        if (code < clear) {
            if (havePrev)
                addEntry();
            out[op] = (unsigned char)code;
            prevPos = op++;
            prevLen = 1;
            havePrev = 1;
            finished = op == n;
        } else if (code == clear) {
            restart();
        } else if (code == clear + 1 || !havePrev) {
            // The end code; or a string code where a clear left no string
            // to build on, which no encoder writes.
            finished = 1;
        } else if (code < avail) {
            const size_t l = entLen[code];
            copyString(out + op, out + entPos[code], l, room);
            addEntry();
            prevPos = op;
            prevLen = l;
            op += l < room ? l : room;
            finished = op == n;
        } else if (code == avail) {
            // The string being defined: the previous one and its own first byte.
            const unsigned char first = out[prevPos];
            copyString(out + op, out + prevPos, prevLen, room);
            if (prevLen < room)
                out[op + prevLen] = first;
            addEntry();
            const size_t l = prevLen + 1;
            prevPos = op;
            prevLen = l;
            op += l < room ? l : room;
            finished = op == n;
        }
        // A code beyond the next free entry means nothing and is passed over.
    }
    return 0;
}
