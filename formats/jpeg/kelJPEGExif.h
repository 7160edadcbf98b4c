// The few EXIF fields that are kel's business: the orientation, which is
// the file's orientation, and the resolution where no JFIF header gives the
// density. The block itself stays the application's to parse.
#ifndef KEL_JPEGEXIF_H
#define KEL_JPEGEXIF_H

#include <stddef.h>

#include <vector>

struct kelJPEGDensity {
    int unit; // JFIF's: 0 none (an aspect ratio), 1 per inch, 2 per cm; -1 none stored
    int x;
    int y;
};

struct kelJPEGExifFields {
    int orientation = 0; // 1-8, 0 when absent or invalid
    kelJPEGDensity density = {-1, 1, 1};
};

// Reads IFD0 of a TIFF structure (the APP1 payload after "Exif\0\0");
// fields that are absent, malformed or out of range are left as they are.
kelJPEGExifFields kelJPEGReadExif(const unsigned char* tiff, size_t size);

// The APP1 payload ("Exif\0\0" and a big-endian TIFF structure) holding the
// orientation when it is not 1 and the density when its unit is >= 0.
std::vector<unsigned char> kelJPEGMakeExif(int orientation, const kelJPEGDensity& density);

#endif
