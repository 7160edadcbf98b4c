#include "kelXBMLineReader.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>

static const char blanks[] = " \t\r\n\f\v";

kelXBMLineReader::kelXBMLineReader() : in(nullptr), buf(nullptr), cap(0), pos(0), lineStart(0), ended(0) {}

kelXBMLineReader::~kelXBMLineReader()
{
    free(buf);
}

kelStatus kelXBMLineReader::seek(FILE* stream, long long offset)
{
    in = stream;
    ended = 0;
    if (fseeko(in, off_t(offset), SEEK_SET) != 0)
        return kelSystemStatus(kelSEEKFAILED);
    pos = offset;
    return kelOKAY;
}

kelStatus kelXBMLineReader::grow()
{
    if (cap >= maxLine)
        return kelREADFAILED;
    size_t bigger = cap ? cap * 2 : 4096;
    if (bigger > maxLine)
        bigger = maxLine;
    char* p = static_cast<char*>(realloc(buf, bigger));
    if (!p)
        return kelSystemStatus(kelMALLOCFAILED);
    buf = p;
    cap = bigger;
    return kelOKAY;
}

// One line, its newline included, into buf. A last line without a newline
// counts; the end of the text before any character is kelREADFAILED.
kelStatus kelXBMLineReader::readLine()
{
    size_t len = 0;
    lineStart = pos;
    for (;;) {
        if (len + 1 >= cap) {
            kelStatus sts = grow();
            if (sts != kelOKAY)
                return sts;
        }
        int ch = getc_unlocked(in);
        if (ch == EOF) {
            if (ferror(in))
                return kelSystemStatus(kelREADFAILED);
            if (len == 0) {
                ended = 1;
                return kelREADFAILED;
            }
            break;
        }
        buf[len++] = char(ch);
        ++pos;
        if (ch == '\n')
            break;
    }
    buf[len] = '\0';
    return kelOKAY;
}

// A comment runs to the first "*/", which may end the line that opens it.
kelStatus kelXBMLineReader::skipComment(const char* rest)
{
    while (!strstr(rest, "*/")) {
        kelStatus sts = readLine();
        if (sts != kelOKAY)
            return sts;
        rest = buf;
    }
    return kelOKAY;
}

kelStatus kelXBMLineReader::next(const char*& line)
{
    for (;;) {
        kelStatus sts = readLine();
        if (sts != kelOKAY)
            return sts;
        const char* p = buf + strspn(buf, blanks);
        if (*p == '\0')
            continue;
        if (p[0] == '/' && p[1] == '*') {
            if ((sts = skipComment(p + 2)) != kelOKAY)
                return sts;
            continue;
        }
        line = p;
        return kelOKAY;
    }
}
