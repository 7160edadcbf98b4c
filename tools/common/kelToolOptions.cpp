#include "kelToolOptions.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>

static kelToolUsageError badValue(const std::string& option, const char* text, const std::string& expected)
{
    return kelToolUsageError{"invalid value '" + std::string(text) + "' for " + option + "; expected " + expected};
}

long kelToolParseNumber(const std::string& option, const char* text, long minValue, long maxValue)
{
    char* end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < minValue || value > maxValue)
        throw badValue(option, text,
                       "a number from " + std::to_string(minValue) + " to " + std::to_string(maxValue));
    return value;
}

kelSize kelToolParseSize(const std::string& option, const char* text)
{
    static const char* const expected = "WIDTHxHEIGHT[xDEPTH[xCHANNELS]] of positive numbers";
    int values[4] = {0, 0, 0, 0};
    const char* p = text;
    int count = 0;
    while (count < 4) {
        char* end = nullptr;
        errno = 0;
        long v = strtol(p, &end, 10);
        if (end == p || errno == ERANGE || v < 1 || v > INT_MAX)
            throw badValue(option, text, expected);
        values[count++] = int(v);
        if (*end == '\0')
            break;
        if ((*end != 'x' && *end != 'X' && *end != ',') || count == 4)
            throw badValue(option, text, expected);
        p = end + 1;
    }
    if (count < 2)
        throw badValue(option, text, expected);
    return kelSize(values[0], values[1], values[2], values[3]);
}

int kelToolParseKeyword(const std::string& option, const char* text, const kelToolName* table)
{
    int value = kelToolLookup(table, text);
    if (value == 0)
        throw badValue(option, text, "one of " + kelToolKeywords(table));
    return value;
}

std::string kelToolSizeText(const kelSize& s, char separator)
{
    const std::string sep(1, separator);
    return std::to_string(s.x) + sep + std::to_string(s.y) + sep + std::to_string(s.z) + sep + std::to_string(s.c);
}
