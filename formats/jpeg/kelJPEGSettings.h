// The coding settings of a JPEG file: as its header says when it is read,
// as the items set them when it is written.
#ifndef KEL_JPEGSETTINGS_H
#define KEL_JPEGSETTINGS_H

#include <kel/kelJPEGFile.h>

#include <stddef.h>

#include <string>

#include "kelJPEGExif.h"

struct kelJPEGSettings {
    int quality = 90;          // -1 when read: not stored
    int subsampling = kelJPEGsub420;
    int progressive = 0;
    int optimize = 0;          // -1 when read: not stored
    int arithmetic = 0;
    int restartInterval = 0;
    kelJPEGDensity density = {-1, 1, 1};
    int adobeTransform = -1;   // -1: no Adobe marker
    std::string comment;
    int hasComment = 0;
};

// CMYK samples as Adobe's applications store them, and back: inverted.
inline void kelJPEGInvert(unsigned char* p, size_t n)
{
    for (size_t i = 0; i < n; i++)
        p[i] = (unsigned char)(255 - p[i]);
}

#endif
