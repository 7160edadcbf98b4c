// The lines of an XBM text as the reader understands them: size and hot-spot
// defines, the array head, and the array values.
#ifndef KEL_XBMSYNTAX_H
#define KEL_XBMSYNTAX_H

enum kelXBMDefineKind { kelXBMOtherDefine, kelXBMWidth, kelXBMHeight, kelXBMHotX, kelXBMHotY };

struct kelXBMDefine {
    kelXBMDefineKind kind;
    long long value;
};

// Whether `line` is a "#define NAME NUMBER" line; the name's ending says
// what it defines. Defines without a decimal number count as others.
int kelXBMParseDefine(const char* line, kelXBMDefine& define);

struct kelXBMArrayHead {
    int shorts;        // 16-bit values (X10 bitmaps) rather than bytes
    const char* data;  // the text after the opening brace
};

// Whether `line` opens the array: "static [const] [unsigned] char|short
// NAME[] = {".
int kelXBMParseArrayHead(const char* line, kelXBMArrayHead& head);

// The next value at `p` in C notation (decimal, 0x hexadecimal, 0 octal),
// after white space and commas, reduced to its low 32 bits. 1 with the value
// and `p` past it; 0 at the end of the line; -1 at text that is no number
// (the closing brace among others).
int kelXBMNextValue(const char*& p, unsigned& value);

#endif
