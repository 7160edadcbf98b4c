// Text chunks: keywords and texts in Latin-1 (tEXt, zTXt) or UTF-8 (iTXt)
// in the file, UTF-8 in kel; and the keywords that have items of their own.
#ifndef KEL_PNGTEXT_H
#define KEL_PNGTEXT_H

#include <stddef.h>

#include <string>

std::string kelPNGFromLatin1(const char* text, size_t length);
// False when `utf8` is not valid UTF-8 or holds a character beyond Latin-1.
bool kelPNGToLatin1(const std::string& utf8, std::string& latin1);
bool kelPNGIsASCII(const std::string& text);

// The keyword of a text item's tag, or null for another tag.
const char* kelPNGKeywordOf(int tag);

#endif
