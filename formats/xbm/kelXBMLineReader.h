// Reads the meaningful lines of an XBM text: comments and blank lines are
// skipped. Lines may be long (generated files put many values on one), up
// to a bound that keeps a hostile file from taking all memory.
#ifndef KEL_XBMLINEREADER_H
#define KEL_XBMLINEREADER_H

#include <stddef.h>
#include <stdio.h>

#include <kel/kelStatus.h>

class kelXBMLineReader {
public:
    // Lines, their newline included, must be shorter than this.
    static const size_t maxLine = size_t(16) << 20;

    kelXBMLineReader();
    ~kelXBMLineReader();
    kelXBMLineReader(const kelXBMLineReader&) = delete;
    kelXBMLineReader& operator=(const kelXBMLineReader&) = delete;

    // Goes on reading `stream` at byte `offset`.
    kelStatus seek(FILE* stream, long long offset);

    // The next line that is neither blank nor comment, NUL-terminated and
    // without its leading white space. kelREADFAILED at the end of the text
    // (then atEnd() is 1), for an over-long line, or with errno when the
    // system fails.
    kelStatus next(const char*& line);
    int atEnd() const { return ended; }

    // The offset in the stream of a character of the last line read.
    long long offsetOf(const char* p) const { return lineStart + (p - buf); }

private:
    kelStatus readLine();
    kelStatus grow();
    kelStatus skipComment(const char* rest);

    FILE* in;
    char* buf;
    size_t cap;
    long long pos;       // stream offset of the next character
    long long lineStart; // stream offset of buf[0]
    int ended;
};

#endif
