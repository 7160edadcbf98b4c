// File names ("path#format:index%arguments") and format arguments.
#include <kel/kelFile.h>

#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

// The image index behind a colon: decimal digits running exactly up to the
// next "#", "%" or the end; -1 when the text is something else (a drive
// colon, say). Indices too large for an int read as INT_MAX.
static int imageIndex(const char* text)
{
    size_t digits = strspn(text, "0123456789");
    if (digits == 0 || digits != strcspn(text, "#%"))
        return -1;
    long v = strtol(text, nullptr, 10);
    return v > INT_MAX ? INT_MAX : int(v);
}

char* kelFile::parseFileName(const char* fullname, char** formatName, int* index, char** formatArgs)
{
    char* block = fullname ? strdup(fullname) : nullptr;
    char* fmt = nullptr;
    char* args = nullptr;
    int idx = -1;
    for (char* p = block; p && (p = strpbrk(p, "#:%")) != nullptr;) {
        if (p[1] == p[0]) {
            // A doubled delimiter stands for itself.
            memmove(p, p + 1, strlen(p + 1) + 1);
            p++;
            continue;
        }
        const char delimiter = *p;
        *p++ = '\0';
        if (delimiter == '#') {
            fmt = p;
        } else if (delimiter == ':') {
            int i = imageIndex(p);
            if (i >= 0)
                idx = i;
            else
                p[-1] = ':';
        } else {
            args = p;
            break;
        }
    }
    if (formatName)
        *formatName = fmt;
    if (index)
        *index = idx;
    if (formatArgs)
        *formatArgs = args;
    return block;
}

int kelFile::parseArguments(kelParameterDesc* params, int maxParams)
{
    if (!formatArgs)
        return 0;
    char* p = formatArgs;
    int n = 0;
    while (n < maxParams) {
        p += strspn(p, " \t%");
        if (*p == '\0')
            break;
        char* name = p;
        p += strcspn(p, " \t=%");
        char* nameEnd = p;
        char* afterBlanks = p + strspn(p, " \t");
        const int hasValue = *afterBlanks == '=';
        if (hasValue)
            p = afterBlanks + 1;
        else if (*p != '\0')
            p++;
        *nameEnd = '\0';
        char* value = nullptr;
        if (hasValue) {
            p += strspn(p, " \t");
            value = p;
            p += strcspn(p, " \t%");
            if (*p != '\0')
                *p++ = '\0';
        }
        params[n].name = name;
        params[n].value = value;
        n++;
    }
    return n;
}

int kelFile::lookupName(const char* name, const kelNameDesc* names)
{
    const size_t len = strlen(name);
    for (; names->name; names++)
        if (strncasecmp(names->name, name, len) == 0)
            return names->id;
    return names->id;
}
