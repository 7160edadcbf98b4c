#include "kelGIFDecoder.h"

#include <string.h>

// Byte value i at index i (modulo 256), with room for a copy of 16 bytes.
static const struct RootBytes {
    unsigned char bytes[256 + 16];
    RootBytes()
    {
        for (int i = 0; i < 256 + 16; ++i)
            bytes[i] = (unsigned char)i;
    }
} rootBytes;

kelGIFDecoder::kelGIFDecoder()
    : out(nullptr), n(0), op(0), acc(0), bits(0), dataSize(0), clear(0), codesize(0), codemask(0), avail(0),
      havePrev(0), prevPtr(nullptr), prevLen(0), finished(1)
{
    memset(entPtr, 0, sizeof entPtr);
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
    for (int code = 0; code < clear; ++code) {
        entPtr[code] = rootBytes.bytes + (code & 0xff);
        entLen[code] = 1;
    }
    memset(entLen + clear, 0, sizeof(entLen[0]) * size_t(maxCodes - clear));
    avail = clear + 2;
    restart();
}

// Forgets the entries made since the last clear.
void kelGIFDecoder::restart()
{
    memset(entLen + clear + 2, 0, sizeof(entLen[0]) * size_t(avail - clear - 2));
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
    entPtr[avail] = prevPtr;
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

// Copies a string that lies wholly before `dst` in the output, or in the
// table of byte values. Short ones move as two words when the page has
// room for the overshoot, which later output overwrites.
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

// The codes without a string: clear, end, the entry being defined, codes
// beyond it, and string codes where a clear left no string to build on.
// Returns 0 once decoding ends.
int kelGIFDecoder::special(int code, size_t room)
{
    if (code == clear) {
        restart();
        return 1;
    }
    if (code == clear + 1 || !havePrev)
        return 0; // the end code, or a stream no encoder writes
    if (code != avail)
        return 1; // a code beyond the next free entry means nothing
    // The string being defined: the previous one and its own first byte.
    const unsigned char first = prevPtr[0];
    unsigned char* dst = out + op;
    copyString(dst, prevPtr, prevLen, room);
    if (prevLen < room)
        dst[prevLen] = first;
    addEntry();
    prevPtr = dst;
    prevLen += 1;
    op += prevLen < room ? prevLen : room;
    return op < n;
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

        const size_t room = n - op;
        const size_t l = entLen[code];
        if (l == 0) {
            finished = !special(code, room);
            continue;
        }
        unsigned char* dst = out + op;
        copyString(dst, entPtr[code], l, room);
        if (havePrev)
            addEntry();
        havePrev = 1;
        prevPtr = dst;
        prevLen = l;
        op += l < room ? l : room;
        finished = op == n;
    }
    return 0;
}
