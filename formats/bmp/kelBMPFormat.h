// The "BMP" format: device-independent bitmaps of 1, 4, 8, 16, 24 or 32
// bits per pixel, read uncompressed, run-length encoded or in bit fields,
// written uncompressed (RGBA in bit fields).
#ifndef KEL_FORMATS_BMP_FORMAT_H
#define KEL_FORMATS_BMP_FORMAT_H

#include "kelTableFormat.h"

class kelBMPFormat : public kelTableFormat {
public:
    kelBMPFormat();
    // The header's 32-bit sizes must hold the padded rows and the palette.
    int sizeIsSupported(int x, int y, int z, int c, kelOrientation orientation) override;
    kelFile* newfileobj() override;
};

extern kelBMPFormat theBMPFormat;

#endif
