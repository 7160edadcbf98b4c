// Decoding a JPEG file front to back into a window of the rows decoded
// last. Rows above the first one asked for are skipped (libjpeg then only
// decodes their entropy data), and columns left of it are cropped away,
// down to an iMCU boundary. Asking for rows that left the window, or for
// columns left of the crop, starts the decoding over from the file's first
// byte, skipping to the row asked for. A progressive or multi-scan file is
// read whole into its coefficients first (which is most of its decoding
// work) and never cropped: starting over then only outputs them again. The
// window grows on such a miss to hold the rows from the one asked for to the
// last one decoded, so that tiles read in raster order start over at most
// once per tile height.
#ifndef KEL_JPEGDECODER_H
#define KEL_JPEGDECODER_H

#include <kel/kelStatus.h>

#include <stddef.h>
#include <stdio.h>

#include <vector>

#include <jpeglib.h>

#include "kelByteReader.h"
#include "kelJPEGError.h"
#include "kelJPEGMarkers.h"
#include "kelJPEGStreams.h"

// Progressive files with more scans are refused, as hostile.
enum { kelJPEGMaxScans = 500 };

class kelJPEGDecoder {
public:
    kelJPEGDecoder(int fd, const char* fileName);
    ~kelJPEGDecoder();

    // Reads the header, keeping its markers in `markers`, which must live
    // as long as the decoder.
    kelStatus readHeader(kelJPEGMarkers& markers);
    const jpeg_decompress_struct& header() const { return cinfo; }

    // What rows are decoded to: the color space, its channels, whether the
    // samples are stored inverted (Adobe CMYK), and the fewest rows the
    // window holds (the page height).
    void setOutput(J_COLOR_SPACE space, int channels, int inverted, int pageRows);

    // Rows y .. y + n - 1 of the columns from x on into the window.
    kelStatus fetch(int x, int y, int n);
    // Columns x .. x + nx - 1 of row y, which the last fetch brought in.
    const unsigned char* row(int y, int x) const;

    kelJPEGDecoder(const kelJPEGDecoder&) = delete;
    kelJPEGDecoder& operator=(const kelJPEGDecoder&) = delete;

private:
    kelStatus begin(int x);
    kelStatus start(int x, int rowsWanted);
    kelStatus restartHeader();
    int cropFor(int x) const;
    int windowRows(int wanted) const;
    kelStatus allocateWindow(int rows);
    kelStatus skipTo(int y);
    kelStatus decodeTo(int end);

    jpeg_decompress_struct cinfo;
    kelJPEGError err;
    kelByteReader reader;
    kelJPEGSource source;

    J_COLOR_SPACE space;
    int channels;
    int inverted;
    int pageRows;

    int started;    // jpeg_start_decompress ran since the header was read
    int failed;     // the library failed: its state is undefined
    int buffered;   // the file's coefficients are in memory
    int cropLeft;   // first column decoded
    int exactLeft;  // first column equal to a whole decode's
    int nextRow;    // the next row the library gives
    int firstRow;   // the first row the window holds
    int capacity;   // rows the window holds at most
    size_t rowBytes;
    std::vector<unsigned char> window; // row r at slot r % capacity
};

#endif
