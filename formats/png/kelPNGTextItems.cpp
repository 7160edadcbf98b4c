// Text items: the keywords that have tags of their own, any keyword by
// name, and the list of keywords present. The texts of a keyword that has
// several chunks are joined by newlines.
#include "kelPNGFile.h"

#include <string.h>

#include "kelPNGText.h"

namespace {

// PNG keywords: 1 to 79 printable Latin-1 characters, no space at either
// end and none doubled.
bool isKeyword(const char* keyword)
{
    std::string latin1;
    if (!keyword || !kelPNGToLatin1(keyword, latin1) || latin1.empty() || latin1.size() > 79 ||
        latin1.front() == ' ' || latin1.back() == ' ' || latin1.find("  ") != std::string::npos)
        return false;
    for (unsigned char c : latin1)
        if (c < 32 || (c > 126 && c < 161))
            return false;
    return true;
}

// Bytes that follow a UTF-8 lead byte; -1 for a byte that leads nothing.
int trailing(unsigned char lead)
{
    if (lead < 0x80)
        return 0;
    if (lead >= 0xc2 && lead < 0xe0)
        return 1;
    if ((lead & 0xf0) == 0xe0)
        return 2;
    return lead >= 0xf0 && lead < 0xf5 ? 3 : -1;
}

// Well-formed UTF-8, as iTXt holds.
bool isUTF8(const char* text)
{
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p;) {
        const int extra = trailing(*p++);
        if (extra < 0)
            return false;
        for (int i = 0; i < extra; ++i, ++p)
            if ((*p & 0xc0) != 0x80)
                return false;
    }
    return true;
}

} // namespace

const char* kelPNGFile::joinedText(const std::string& keyword)
{
    std::string text;
    bool found = false;
    for (const kelPNGText& t : info.texts)
        if (t.keyword == keyword) {
            if (found)
                text += '\n';
            text += t.text;
            found = true;
        }
    if (!found)
        return nullptr;
    std::string& kept = joined[keyword];
    if (kept != text)
        kept = text;
    return kept.c_str();
}

kelStatus kelPNGFile::getTextItem(int tag, va_list args)
{
    const char* keyword = tag == kelPNGtext ? va_arg(args, const char*) : kelPNGKeywordOf(tag);
    const char** out = va_arg(args, const char**);
    if (!out || (tag == kelPNGtext && !keyword))
        return kelBADPARAMS;
    readTrailer();
    if (tag == kelPNGtextKeywords) {
        keywordList.clear();
        for (const kelPNGText& t : info.texts)
            if (("\n" + keywordList).find("\n" + t.keyword + "\n") == std::string::npos)
                keywordList += t.keyword + "\n";
        if (!keywordList.empty())
            keywordList.pop_back();
        *out = keywordList.c_str();
        return keywordList.empty() ? kelStatus(kelUNSUPPORTEDBYFILE) : kelStatus(kelOKAY);
    }
    const char* text = joinedText(keyword);
    if (!text)
        return kelUNSUPPORTEDBYFILE;
    *out = text;
    return kelOKAY;
}

// Replaces every text of the keyword; a null or empty text removes them.
kelStatus kelPNGFile::setText(const char* keyword, const char* text)
{
    if (!isKeyword(keyword) || (text && !isUTF8(text)))
        return kelBADPARAMS;
    if (!canSet())
        return kelREADONLY;
    std::vector<kelPNGText>& texts = info.texts;
    for (size_t i = texts.size(); i-- > 0;)
        if (texts[i].keyword == keyword)
            texts.erase(texts.begin() + long(i));
    if (text && *text)
        texts.push_back({keyword, text});
    return kelOKAY;
}

kelStatus kelPNGFile::setTextItem(int tag, va_list args)
{
    if (tag == kelPNGtextKeywords)
        return kelREADONLY;
    const char* keyword = tag == kelPNGtext ? va_arg(args, const char*) : kelPNGKeywordOf(tag);
    return setText(keyword, va_arg(args, const char*));
}
