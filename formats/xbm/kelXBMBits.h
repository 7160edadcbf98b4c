// X bitmaps keep the leftmost pixel in a value's least significant bit; the
// framework's bit pages keep it in the most significant one.
#ifndef KEL_XBMBITS_H
#define KEL_XBMBITS_H

struct kelXBMBitTable {
    unsigned char reversed[256];

    constexpr kelXBMBitTable() : reversed()
    {
        for (int v = 0; v < 256; ++v)
            for (int b = 0; b < 8; ++b)
                if (v >> b & 1)
                    reversed[v] |= (unsigned char)(0x80 >> b);
    }
    unsigned char operator[](unsigned v) const { return reversed[v & 0xff]; }
};

inline constexpr kelXBMBitTable bitReverse{};

#endif
