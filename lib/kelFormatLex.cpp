#include "kelFormatLex.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <new>
#include <string>

#include <kelFormatDB.h>

KELSTYPE kellval;
int kelleng = 0;

namespace {

// What the longest match at the current position turned out to be.
enum MatchKind { MatchInclude, MatchToken, MatchSkip };

struct Match {
    MatchKind kind;
    int token;
    size_t len;
};

struct Keyword {
    const char* text;
    int token;
};

const Keyword keywords[] = {
    {"format", kelTokFORMAT},       {"match", kelTokMATCH},       {"description", kelTokDESCRIPTION},
    {"dso", kelTokDSO},             {"dll", kelTokDLL},           {"subsystem", kelTokSUBSYSTEM},
    {"suffixes", kelTokSUFFIXES},   {"access", kelTokACCESS},     {"uchar", kelTokUCHAR},
    {"char", kelTokCHAR},           {"ushort", kelTokUSHORT},     {"short", kelTokSHORT},
    {"uint", kelTokUINT},           {"ulong", kelTokUINT},        {"int", kelTokINT},
    {"long", kelTokINT},            {"string", kelTokSTRINGFN},   {"readwrite", kelTokREADWRITE},
    {"readonly", kelTokREADONLY},   {"writeonly", kelTokWRITEONLY},
};

// Characters fetched from the input but not yet part of a token: the
// look-ahead, and whatever a longer candidate match read before it failed.
std::string pending;
bool inputEnded = false;
// The next token starts a line (include statements are recognised only there).
bool atLineStart = true;

int peek(size_t i)
{
    while (pending.size() <= i) {
        char c;
        if (inputEnded || kelFormatDB::getInput(&c, 1) == 0) {
            inputEnded = true;
            return -1;
        }
        pending.push_back(c);
    }
    return static_cast<unsigned char>(pending[i]);
}

std::string take(size_t len)
{
    std::string text = pending.substr(0, len);
    pending.erase(0, len);
    if (len > 0)
        atLineStart = text[len - 1] == '\n';
    return text;
}

bool isLetter(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.';
}

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

int digitValue(int c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "#", blanks, "include" and the rest of the line; only when a line feed ends it.
size_t includeLength()
{
    if (!atLineStart || peek(0) != '#')
        return 0;
    size_t i = 1;
    while (peek(i) == ' ' || peek(i) == '\t')
        i++;
    for (const char* k = "include"; *k; k++, i++)
        if (peek(i) != *k)
            return 0;
    while (peek(i) >= 0 && peek(i) != '\n')
        i++;
    return peek(i) == '\n' ? i : 0;
}

Match nameOrKeyword()
{
    size_t i = 1;
    while (isLetter(peek(i)) || isDigit(peek(i)))
        i++;
    if (i < 2)
        return {MatchToken, peek(0), 1};
    for (const Keyword& k : keywords)
        if (strlen(k.text) == i && pending.compare(0, i, k.text) == 0)
            return {MatchToken, k.token, i};
    return {MatchToken, kelTokNAME, i};
}

// Decimal digits after an optional sign, or "0x" and hexadecimal digits.
size_t numberLength()
{
    size_t i = 0;
    if (peek(0) == '0' && (peek(1) == 'x' || peek(1) == 'X') && digitValue(peek(2)) >= 0) {
        i = 3;
        while (digitValue(peek(i)) >= 0)
            i++;
        return i;
    }
    if (peek(0) == '+' || peek(0) == '-')
        i = 1;
    size_t start = i;
    while (isDigit(peek(i)))
        i++;
    return i > start ? i : 0;
}

// The longest string: it ends at the first quote that no backslash precedes;
// without one, at the last backslash-quote pair, which then closes it.
size_t stringLength()
{
    size_t lastEscaped = 0;
    for (size_t i = 1; peek(i) >= 0; i++) {
        if (peek(i) != '"')
            continue;
        if (peek(i - 1) != '\\')
            return i + 1;
        lastEscaped = i + 1;
    }
    return lastEscaped;
}

// "!" not followed by "=" up to the end of a line that a line feed ends.
size_t commentLength()
{
    size_t i = 1;
    while (peek(i) >= 0 && peek(i) != '\n')
        i++;
    return peek(i) == '\n' ? i : 0;
}

size_t blankLength()
{
    size_t i = 0;
    while (peek(i) == ' ' || peek(i) == '\t' || peek(i) == '\n')
        i++;
    return i;
}

int twoCharOperator(int a, int b)
{
    static const struct {
        char a, b;
        int token;
    } ops[] = {{'&', '&', kelTokAND}, {'|', '|', kelTokOR}, {'=', '=', kelTokEQ},
               {'!', '=', kelTokNE},  {'>', '=', kelTokGE}, {'<', '=', kelTokLE}};
    for (const auto& op : ops)
        if (op.a == a && op.b == b)
            return op.token;
    return 0;
}

int singleCharacter(int c)
{
    return c == 0 ? kelTokInvalid : c;
}

Match longestMatch()
{
    int c = peek(0);
    if (size_t len = includeLength())
        return {MatchInclude, 0, len};
    if (isLetter(c))
        return nameOrKeyword();
    if (int op = twoCharOperator(c, peek(1)))
        return {MatchToken, op, 2};
    if (size_t len = numberLength())
        return {MatchToken, kelTokNUMBER, len};
    if (c == '"')
        if (size_t len = stringLength())
            return {MatchToken, kelTokSTRING, len};
    if (size_t len = blankLength())
        return {MatchSkip, 0, len};
    if (c == '!')
        if (size_t len = commentLength())
            return {MatchSkip, 0, len};
    return {MatchToken, singleCharacter(c), 1};
}

// Automatic base as for unsigned conversion; magnitudes beyond 32 bits
// saturate, and a minus sign negates modulo 2^32.
int numberValue(const std::string& text)
{
    size_t i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    uint64_t base = 10;
    if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (text[i] == '0') {
        base = 8;
    }
    uint64_t value = 0;
    for (; i < text.size(); i++) {
        int d = digitValue(static_cast<unsigned char>(text[i]));
        if (d < 0 || uint64_t(d) >= base)
            break;
        value = value * base + uint64_t(d);
        if (value > 0xFFFFFFFFu)
            return int32_t(0xFFFFFFFFu);
    }
    uint32_t bits = uint32_t(value);
    return int32_t(negative ? 0u - bits : bits);
}

void setValue(int token, const std::string& text)
{
    if (token == kelTokNUMBER)
        kellval.ival = numberValue(text);
    else if (token == kelTokNAME)
        kellval.sval = strdup(text.c_str());
    else if (token == kelTokSTRING)
        kellval.sval = strdup(text.substr(1, text.size() - 2).c_str());
}

int scan()
{
    for (;;) {
        if (peek(0) < 0) {
            kelleng = 0;
            return 0;
        }
        Match m = longestMatch();
        std::string text = take(m.len);
        kelleng = int(m.len);
        if (m.kind == MatchInclude) {
            kelFormatDB::processInclude(&text[0]);
            continue;
        }
        if (m.kind == MatchSkip)
            continue;
        setValue(m.token, text);
        // One character of look-ahead, as a table-driven scanner reads it;
        // error reports locate the offending token by it.
        peek(0);
        return m.token;
    }
}

} // namespace

int kellex()
{
    try {
        return scan();
    } catch (const std::bad_alloc&) {
        kelFormatDB::scannerFatal("out of dynamic memory in kellex()");
        return 0;
    }
}

void kellexRestart()
{
    pending.clear();
    inputEnded = false;
    atLineStart = true;
}

int kelAccessModeOf(int tokenCode, int current)
{
    switch (tokenCode) {
    case kelTokREADWRITE:
        return 2;
    case kelTokREADONLY:
        return 0;
    case kelTokWRITEONLY:
        return 1;
    default:
        return current;
    }
}

void kelDeleteSuffixList(kelList<kelSuffixItem>* list)
{
    if (!list)
        return;
    while (kelSuffixItem* item = list->head()) {
        list->unlink(item);
        delete item;
    }
    delete list;
}
