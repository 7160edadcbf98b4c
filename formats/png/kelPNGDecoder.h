// The pixels of a PNG file, decoded front to back with libspng and served
// as boxes of rows. Rows are decoded a strip at a time into a ring of the
// last strips, kept as the file stores them, so that boxes read in raster
// order, a band after another, decode each row once while the bands are no
// higher than half the ring; a box above the strips kept starts the
// decoding again at the first row. Small strips stay in the caches between
// their decoding and their copying out. An interlaced image is decoded
// whole, once.
#ifndef KEL_PNGDECODER_H
#define KEL_PNGDECODER_H

#include <stddef.h>

#include <vector>

#include <kel/kelStatus.h>

#include "kelPNGCodec.h"
#include "kelPNGLayout.h"
#include "kelPNGStream.h"

class kelByteReader;

class kelPNGDecoder {
public:
    void init(kelByteReader* reader, const kelPNGLayout& layout, int stripRows, int keptStrips,
              const char* filename);
    // What the decoded rows take at most, for the page limit.
    unsigned long long bytesNeeded() const;
    // Pixels x .. x + n - 1 of rows y .. y + rows - 1 into `out` as a page
    // holds them, rows `stride` bytes apart. Rows the file does not yield
    // (it ends early, or is damaged there) are 0, and the status says why.
    kelStatus read(int x, int y, int n, int rows, unsigned char* out, size_t stride);
    void release();

private:
    kelStatus restart();
    kelStatus decodeStrip(int strip);
    kelStatus stripReady(int strip);
    kelStatus wholeReady();
    kelStatus decodeWhole();
    kelStatus checkEnd();
    kelStatus fail(int err, int row);
    const unsigned char* rowAt(int y) const;

    kelByteReader* reader = nullptr;
    kelPNGLayout layout;
    int stripRows = 1;
    const char* filename = nullptr;
    kelPNGStream stream;
    kelPNGContext ctx;
    int nextRow = 0; // the next row the context gives
    std::vector<std::vector<unsigned char>> slots;
    std::vector<int> slotStrip; // slot s % slots.size() holds strip s, or none (-1)
    std::vector<unsigned char> whole;
    bool wholeDone = false;
    int missingFrom = -1; // the first row that could not be decoded (the height when
                          // the file is damaged after its rows), -1 for none
    kelStatus failure = kelOKAY;
};

#endif
