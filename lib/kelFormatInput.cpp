#include "kelFormatInput.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>

#include "kelFormatLex.h"

FILE* kelOpenDatabaseText(const char* path)
{
    FILE* fp = fopen(path, "r");
    struct stat st;
    if (fp && fstat(fileno(fp), &st) == 0 && S_ISDIR(st.st_mode)) {
        fclose(fp);
        errno = EISDIR;
        return nullptr;
    }
    return fp;
}

bool kelSameFile(FILE* a, FILE* b)
{
    struct stat sa, sb;
    return fstat(fileno(a), &sa) == 0 && fstat(fileno(b), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Text mode: a carriage return before a line feed is dropped.
static int readTextChar(FILE* fp)
{
    int c = getc(fp);
    if (c == '\r') {
        int next = getc(fp);
        if (next == '\n')
            return next;
        if (next != EOF)
            ungetc(next, fp);
    }
    return c;
}

int kelReadLinePiece(FILE* fp, char* buf, int max)
{
    int n = 0;
    while (n < max) {
        int c = readTextChar(fp);
        if (c == EOF)
            break;
        buf[n++] = char(c);
        if (c == '\n')
            break;
    }
    if (n > 0)
        buf[n] = '\0';
    return n;
}

std::string kelIncludeFileName(const char* statement)
{
    static const char separators[] = " \t<>'\"";
    const char* p = strstr(statement, "include");
    if (!p)
        return std::string();
    p += strlen("include");
    p += strspn(p, separators);
    return std::string(p, strcspn(p, separators));
}

std::string kelErrorMarker(const char* line, int lineLen, int lineIndex)
{
    int n = lineIndex - kelleng - 1;
    if (n < 0)
        n = 0;
    if (n > lineLen)
        n = lineLen;
    std::string marker(size_t(n), ' ');
    for (int i = 0; i < n; i++)
        if (line[i] == '\t')
            marker[size_t(i)] = '\t';
    return marker;
}
