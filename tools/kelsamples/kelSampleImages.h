// The sample images: their layouts and how their pixels are computed.
#ifndef KEL_SAMPLE_IMAGES_H
#define KEL_SAMPLE_IMAGES_H

#include "kelToolRawName.h"

struct kelSampleImage {
    const char* fileName;
    const char* about;
    kelToolRawLayout layout;
    // Value of channel c at (x, y) counted from the upper left corner.
    double (*value)(int x, int y, int c, const kelSize& size);
};

// Ends with a row whose fileName is null.
extern const kelSampleImage kelSampleImages[];

#endif
