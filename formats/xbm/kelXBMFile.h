// An X bitmap: size and hot-spot defines, then a C array of byte values (or
// 16-bit values in X10 bitmaps) holding the pixels, leftmost pixel in each
// value's least significant bit. The whole image is one page.
#ifndef KEL_FORMATS_XBMFILE_H
#define KEL_FORMATS_XBMFILE_H

#include <kel/kelFile.h>

#include <stdio.h>

#include "kelXBMLineReader.h"

class kelXBMFile : public kelFile {
public:
    kelXBMFile();
    ~kelXBMFile() override;

    // The one page; the position and extents are not needed.
    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    // Rewrites the whole text.
    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    using kelFile::getItem;
    using kelFile::setItem;
    kelStatus getItem(int tag, va_list args) override;
    kelStatus setItem(int tag, va_list args) override;

protected:
    kelStatus openFile() override;
    kelStatus createFile() override;
    kelStatus closeFile() override;

private:
    kelStatus openStream(const char* mode);
    void setAttributes();
    kelStatus getLine(const char*& line);
    kelStatus readHeader();
    kelStatus startArray(const char* line, long long width, long long height);
    kelStatus readValues(unsigned char* page, size_t stride);
    void undoOpen(int ownFd);

    // The stream reads and writes a duplicate of `fd`, so that closing it
    // never closes a descriptor that the object does not own.
    FILE* file;
    int decodeShorts;
    int hotSpot[2];
    long long startOfData; // just after the array's opening brace
    int haveText;          // 0 while a new file has no text yet
    int wroteText;
    kelStatus lastWrite;   // a failed rewrite fails the close too
    kelXBMLineReader lines;
};

#endif
