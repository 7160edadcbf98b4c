#include "kelPNGText.h"

#include <kel/kelPNGFile.h>

std::string kelPNGFromLatin1(const char* text, size_t length)
{
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = (unsigned char)text[i];
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xc0 | c >> 6);
            out += char(0x80 | (c & 0x3f));
        }
    }
    return out;
}

bool kelPNGToLatin1(const std::string& utf8, std::string& latin1)
{
    latin1.clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char c = (unsigned char)utf8[i];
        if (c < 0x80) {
            latin1 += char(c);
            continue;
        }
        // Two-byte forms of U+0080 .. U+00FF only.
        if ((c != 0xc2 && c != 0xc3) || i + 1 >= utf8.size() || ((unsigned char)utf8[i + 1] & 0xc0) != 0x80)
            return false;
        latin1 += char((c & 0x03) << 6 | ((unsigned char)utf8[++i] & 0x3f));
    }
    return true;
}

bool kelPNGIsASCII(const std::string& text)
{
    for (char c : text)
        if ((unsigned char)c >= 0x80)
            return false;
    return true;
}

const char* kelPNGKeywordOf(int tag)
{
    switch (tag) {
    case kelPNGtitle:
        return "Title";
    case kelPNGauthor:
        return "Author";
    case kelPNGdescription:
        return "Description";
    case kelPNGcopyright:
        return "Copyright";
    case kelPNGcreationTime:
        return "Creation Time";
    case kelPNGsoftware:
        return "Software";
    case kelPNGdisclaimer:
        return "Disclaimer";
    case kelPNGwarning:
        return "Warning";
    case kelPNGsource:
        return "Source";
    case kelPNGcomment:
        return "Comment";
    case kelPNGxmp:
        return "XML:com.adobe.xmp";
    default:
        return nullptr;
    }
}
