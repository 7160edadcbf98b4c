// Reading database text, shared by the library's loader and keldbgen: line
// pieces in text mode, the file name of an include statement and the marker
// under the token that a syntax error stopped at.
#ifndef KEL_FORMATINPUT_H
#define KEL_FORMATINPUT_H

#include <stdio.h>

#include <string>

#include "kelInternal.h"

// Opens a database file for reading; null with errno set when that fails,
// also for a directory (EISDIR), which reads as an empty file otherwise.
FILE* kelOpenDatabaseText(const char* path);

// Whether two open files are the same file (device and inode), so that an
// include chain that comes back to a file it is reading can be refused.
bool kelSameFile(FILE* a, FILE* b);

// Reads the next line of `fp` into `buf`, at most `max` characters and the
// line feed that ends it; a carriage return before a line feed is dropped.
// Returns the count read and terminates `buf`; at the end of the file
// returns 0 and leaves `buf` as it was.
KEL_INTERNAL int kelReadLinePiece(FILE* fp, char* buf, int max);

// The file name of an include statement: the first run after "include" free
// of blanks, angle brackets and quotes; empty when there is none.
KEL_INTERNAL std::string kelIncludeFileName(const char* statement);

// Blanks (tabs where `line` has tabs) up to the start of the last token,
// which ends one character of look-ahead before `lineIndex`.
KEL_INTERNAL std::string kelErrorMarker(const char* line, int lineLen, int lineIndex);

#endif
