// Reading option values: sizes, counts and enumeration keywords.
#ifndef KEL_TOOL_OPTIONS_H
#define KEL_TOOL_OPTIONS_H

#include <string>

#include <kel/kelCoord.h>

#include "kelToolNames.h"

// A bad option value: the message names the option and what it accepts.
struct kelToolUsageError {
    std::string message;
};

// "256x256", "64x64x1" or "64x64x1x3" (',' also separates); components not
// given are 0, which leaves them to the format. Each component must be > 0.
kelSize kelToolParseSize(const std::string& option, const char* text);

// A whole decimal number in [minValue, maxValue].
long kelToolParseNumber(const std::string& option, const char* text, long minValue, long maxValue);

// A keyword of `table`.
int kelToolParseKeyword(const std::string& option, const char* text, const kelToolName* table);

// An opaque color, each component from 0 to 1.
struct kelToolColor {
    double rgb[3];
};

// "white", "black", "#rrggbb" or "r,g,b" (components 0 to 255).
kelToolColor kelToolParseColor(const std::string& option, const char* text);

// "XxYxZxC" of a size, or its components joined by another separator.
std::string kelToolSizeText(const kelSize& s, char separator = 'x');

#endif
