// The pixels of a file's current image as RGBA floats from 0 to 255: a
// palette image through its colormap, gray, gray and alpha, RGB or RGBA.
#ifndef KEL_FRAMEPIXELS_H
#define KEL_FRAMEPIXELS_H

#include <vector>

#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

#include "kelNearestColor.h"

class kelFile;

class kelFramePixels {
public:
    // kelUNSUPPORTEDBYLIBRARY for other color models.
    kelStatus init(kelFile& file);
    bool hasAlpha() const { return alpha; }
    // The box at (x, y), counted from the top left corner.
    kelStatus read(int x, int y, int cols, int rows, float* rgba);

private:
    kelStatus initPalette();

    kelFile* file = nullptr;
    kelColorModel cm = kelRGB;
    int nc = 0;
    double maxValue = 255;
    bool alpha = false;
    std::vector<kelSpacePoint> palette;
    int first = 0;
    std::vector<float> values;
    std::vector<int> indices;
};

#endif
