#include "xbm_test_support.h"

#include <ctype.h>

namespace {

// PBM header fields: numbers separated by white space and '#' comments.
struct PBMScanner {
    const std::string& text;
    size_t pos = 0;

    void skipSpace()
    {
        while (pos < text.size() && (isspace((unsigned char)text[pos]) || text[pos] == '#')) {
            if (text[pos] == '#')
                while (pos < text.size() && text[pos] != '\n')
                    ++pos;
            else
                ++pos;
        }
    }
    int number()
    {
        skipSpace();
        int v = -1;
        while (pos < text.size() && isdigit((unsigned char)text[pos]))
            v = (v < 0 ? 0 : v * 10) + (text[pos++] - '0');
        return v;
    }
};

} // namespace

Bitmap parsePBM(const std::string& text)
{
    Bitmap b;
    if (text.size() < 2 || text[0] != 'P' || (text[1] != '1' && text[1] != '4'))
        return b;
    PBMScanner in{text, 2};
    int w = in.number(), h = in.number();
    if (w <= 0 || h <= 0)
        return b;
    std::vector<unsigned char> bits(size_t(w) * size_t(h));
    if (text[1] == '1') {
        for (unsigned char& v : bits) {
            in.skipSpace();
            if (in.pos >= text.size())
                return b;
            v = text[in.pos++] == '1';
        }
    } else {
        size_t start = in.pos + 1, rowBytes = (size_t(w) + 7) / 8;
        if (text.size() < start + rowBytes * size_t(h))
            return b;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bits[size_t(y) * w + x] = (unsigned char)text[start + y * rowBytes + x / 8] >> (7 - x % 8) & 1;
    }
    b.width = w;
    b.height = h;
    b.bits = bits;
    return b;
}

std::string fixturePath(const char* name)
{
    return std::string(KEL_TEST_SOURCE_DIR) + "/tests/data/xbm/" + name;
}

Bitmap testPicture()
{
    return parsePBM(readText(fixturePath("picture.pbm")));
}
