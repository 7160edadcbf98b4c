// Pixels between numpy arrays and a file's current image, always in the
// upper-left orientation, with the GIL released while they move.
#ifndef KEL_PY_ARRAYS_H
#define KEL_PY_ARRAYS_H

#include <vector>

#include <pybind11/numpy.h>

#include <kel/kelTypes.h>

class kelFile;

// A rectangle of the image as seen from its upper-left corner, and the
// image channels that the array's channels carry.
struct kelPyTile {
    int x, y, width, height;
    std::vector<int> channels;
    bool separate; // C x H x W instead of H x W x C
};

pybind11::array kelPyReadTile(kelFile& file, const kelPyTile& tile, kelDataType type);
// The array holds the tile in its layout: C-contiguous, of the buffer type.
void kelPyWriteTile(kelFile& file, const kelPyTile& tile, const pybind11::array& pixels);

#endif
