// The "TIFF" format: images of any sample type, interleaved or in planes,
// many per file, in the file's own tiles or strips, read and written with
// libtiff.
#ifndef KEL_TIFFFORMAT_H
#define KEL_TIFFFORMAT_H

#include "kelTableFormat.h"

// Tiles are multiples of 16 on both sides; a strip is as wide as the image
// and holds at most kelTIFFMaxStripElements samples, so that a page size
// taken over from a source never makes one strip of a large image.
enum { kelTIFFTileUnit = 16, kelTIFFStripElements = 1 << 18, kelTIFFMaxStripElements = 1 << 20 };

class kelTIFFFormat : public kelTableFormat {
public:
    kelTIFFFormat();
    int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc,
                            kelOrientation orientation) override;
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation orientation) override;
    kelFile* newfileobj() override;
};

extern kelTIFFFormat theTIFFFormat;

#endif
