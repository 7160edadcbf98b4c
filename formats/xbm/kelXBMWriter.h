// Writes an X bitmap's whole text: the size and hot-spot defines and the
// byte array, twelve values a line.
#ifndef KEL_XBMWRITER_H
#define KEL_XBMWRITER_H

#include <stddef.h>
#include <stdio.h>

#include <kel/kelStatus.h>

// Names in the text are at most this long.
enum { kelXBMNameMax = 31 };

// The C name of a bitmap written to `path`: its base name up to the first
// character that is neither a letter nor '_', at most kelXBMNameMax
// characters; "bitmap_name" when that leaves nothing or there is no path.
void kelXBMNameOf(const char* path, char (&name)[kelXBMNameMax + 1]);

struct kelXBMPicture {
    const unsigned char* page; // rows of `stride` bytes, leftmost pixel in the high bit
    size_t stride;
    int width, height;
    int hotX, hotY;            // written when both are 0 or more
};

// Writes the text from the stream's start and cuts the file after it.
// `dataOffset` becomes the offset just after the array's opening brace.
kelStatus kelXBMWriteText(FILE* out, const char* name, const kelXBMPicture& pic, long long& dataOffset);

#endif
