#include "kelXBMSyntax.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

static int isBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\f' || ch == '\v';
}

static const char* skipBlanks(const char* p)
{
    while (isBlank(*p))
        ++p;
    return p;
}

static int endsWith(const char* s, size_t len, const char* tail)
{
    size_t n = strlen(tail);
    return len >= n && memcmp(s + len - n, tail, n) == 0;
}

static kelXBMDefineKind defineKind(const char* name, size_t len)
{
    if (endsWith(name, len, "_width"))
        return kelXBMWidth;
    if (endsWith(name, len, "_height"))
        return kelXBMHeight;
    if (endsWith(name, len, "_x_hot"))
        return kelXBMHotX;
    if (endsWith(name, len, "_y_hot"))
        return kelXBMHotY;
    return kelXBMOtherDefine;
}

int kelXBMParseDefine(const char* line, kelXBMDefine& define)
{
    if (strncmp(line, "#define", 7) != 0)
        return 0;
    const char* name = skipBlanks(line + 7);
    const char* end = name;
    while (*end && !isBlank(*end))
        ++end;
    define.kind = kelXBMOtherDefine;
    const char* number = skipBlanks(end);
    char* after = nullptr;
    errno = 0;
    long long v = strtoll(number, &after, 10);
    if (end == name || after == number || errno == ERANGE)
        return 1;
    define.kind = defineKind(name, size_t(end - name));
    define.value = v;
    return 1;
}

// The word at `p` (up to white space or an opening bracket); `p` moves past
// it and the blanks after it.
static const char* word(const char*& p, size_t& len)
{
    const char* start = p;
    while (*p && !isBlank(*p) && *p != '[')
        ++p;
    len = size_t(p - start);
    p = skipBlanks(p);
    return start;
}

static int isWord(const char* w, size_t len, const char* text)
{
    return len == strlen(text) && memcmp(w, text, len) == 0;
}

static int isQualifier(const char* w, size_t len)
{
    return isWord(w, len, "const") || isWord(w, len, "unsigned") || isWord(w, len, "signed");
}

// After the name: "[", an optional length, "]", "=", "{".
static const char* arrayOpening(const char* p)
{
    if (*p++ != '[')
        return nullptr;
    p = skipBlanks(p);
    while (*p >= '0' && *p <= '9')
        ++p;
    p = skipBlanks(p);
    if (*p++ != ']')
        return nullptr;
    p = skipBlanks(p);
    if (*p++ != '=')
        return nullptr;
    p = skipBlanks(p);
    return *p == '{' ? p + 1 : nullptr;
}

int kelXBMParseArrayHead(const char* line, kelXBMArrayHead& head)
{
    const char* p = line;
    size_t len;
    const char* w = word(p, len);
    if (!isWord(w, len, "static"))
        return 0;
    // The words before the bracket: qualifiers, the element type, the name.
    const char* type = nullptr;
    size_t typeLen = 0;
    const char* last = word(p, len);
    while (*p && *p != '[') {
        if (type && !isQualifier(type, typeLen))
            return 0;
        type = last;
        typeLen = len;
        last = word(p, len);
    }
    if (!type || len == 0 || (!isWord(type, typeLen, "char") && !isWord(type, typeLen, "short")))
        return 0;
    head.shorts = isWord(type, typeLen, "short");
    head.data = arrayOpening(p);
    return head.data != nullptr;
}

static int digitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return 99;
}

int kelXBMNextValue(const char*& p, unsigned& value)
{
    while (isBlank(*p) || *p == ',')
        ++p;
    if (*p == '\0')
        return 0;
    if (*p < '0' || *p > '9')
        return -1;
    unsigned base = 10;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    } else if (p[0] == '0') {
        base = 8;
    }
    // Wrapping arithmetic keeps the low bits exact.
    value = 0;
    for (int d; (d = digitValue(*p)) < int(base); ++p)
        value = value * base + unsigned(d);
    while (*p == 'u' || *p == 'U' || *p == 'l' || *p == 'L')
        ++p;
    return 1;
}
