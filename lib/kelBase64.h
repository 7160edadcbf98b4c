// Base64 (RFC 4648, standard alphabet, '=' padding): the text form of tags
// that hold a block of bytes.
#ifndef KEL_BASE64_H
#define KEL_BASE64_H

#include <stddef.h>

#include <string>
#include <vector>

void kelBase64Encode(const unsigned char* data, size_t size, std::string& out);

// Blanks and line breaks are skipped and the padding may be left out; false
// for any other character outside the alphabet, or a lone last character.
bool kelBase64Decode(const char* text, size_t len, std::vector<unsigned char>& out);

#endif
