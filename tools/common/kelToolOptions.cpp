#include "kelToolOptions.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

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

static bool hexColor(const char* text, kelToolColor& color)
{
    if (text[0] != '#' || strlen(text) != 7 || strspn(text + 1, "0123456789abcdefABCDEF") != 6)
        return false;
    for (int i = 0; i < 3; ++i)
        color.rgb[i] = double(strtol(std::string(text + 1 + 2 * i, 2).c_str(), nullptr, 16)) / 255.0;
    return true;
}

static bool listedColor(const char* text, kelToolColor& color)
{
    const char* p = text;
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        long v = strtol(p, &end, 10);
        if (end == p || v < 0 || v > 255 || *end != (i < 2 ? ',' : '\0'))
            return false;
        color.rgb[i] = double(v) / 255.0;
        p = end + 1;
    }
    return true;
}

kelToolColor kelToolParseColor(const std::string& option, const char* text)
{
    kelToolColor color{{0, 0, 0}};
    if (strcasecmp(text, "white") == 0)
        return kelToolColor{{1, 1, 1}};
    if (strcasecmp(text, "black") == 0 || hexColor(text, color) || listedColor(text, color))
        return color;
    throw badValue(option, text, "white, black, #rrggbb or r,g,b (0 to 255 each)");
}

std::string kelToolSizeText(const kelSize& s, char separator)
{
    const std::string sep(1, separator);
    return std::to_string(s.x) + sep + std::to_string(s.y) + sep + std::to_string(s.z) + sep + std::to_string(s.c);
}
