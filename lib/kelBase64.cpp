#include "kelBase64.h"

#include <string.h>

static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void kelBase64Encode(const unsigned char* data, size_t size, std::string& out)
{
    out.reserve(out.size() + (size + 2) / 3 * 4);
    for (size_t i = 0; i < size; i += 3) {
        unsigned long group = (unsigned long)data[i] << 16;
        if (i + 1 < size)
            group |= (unsigned long)data[i + 1] << 8;
        if (i + 2 < size)
            group |= data[i + 2];
        out += alphabet[group >> 18 & 63];
        out += alphabet[group >> 12 & 63];
        out += i + 1 < size ? alphabet[group >> 6 & 63] : '=';
        out += i + 2 < size ? alphabet[group & 63] : '=';
    }
}

static int sextet(char c)
{
    const char* at = c ? strchr(alphabet, c) : nullptr;
    return at ? int(at - alphabet) : -1;
}

bool kelBase64Decode(const char* text, size_t len, std::vector<unsigned char>& out)
{
    out.clear();
    out.reserve(len / 4 * 3 + 2);
    unsigned long group = 0;
    int bits = 0, held = 0;
    bool padded = false;
    for (size_t i = 0; i < len; ++i) {
        char c = text[i];
        if (memchr(" \t\r\n", c, 4))
            continue;
        if (c == '=') {
            padded = true;
            continue;
        }
        int v = sextet(c);
        if (v < 0 || padded)
            return false;
        group = (group << 6 | unsigned(v)) & 0xffffff;
        bits += 6;
        ++held;
        if (bits >= 8) {
            bits -= 8;
            out.push_back((unsigned char)(group >> bits));
        }
    }
    // One character of a group carries fewer than 8 bits.
    return held % 4 != 1;
}
