// Palette images copied into destinations that keep no colormap, or into
// another color model: each index becomes its color.
#ifndef KEL_COPY_PALETTE_H
#define KEL_COPY_PALETTE_H

#include <stddef.h>

#include <string>
#include <vector>

#include <kel/kelTypes.h>

class kelColormap;
class kelFile;

// The source's colormap when the source is a palette image that has one, else null.
const kelColormap* kelCopySourceColormap(kelFile& src);

// The color model a palette image expands to: RGBA when its colormap has
// an alpha channel, else RGB.
kelColorModel kelCopyExpandedModel(const kelColormap& map);

// The colors of a colormap in a destination's data type and channel count,
// ready to be copied pixel by pixel.
class kelCopyPalette {
public:
    // `nc` is 3 or 4 (R, G, B and alpha); `problem` says why the colormap
    // cannot fill them in `type`.
    bool init(const kelColormap& map, kelDataType type, int nc, std::string& problem);
    // The data type of the colors: the destination's, or kelUChar for kelBit.
    kelDataType type() const { return colorType; }
    // Writes the color of each index, indices outside the map taking the
    // color of its nearest end.
    void expand(const int* indices, size_t count, unsigned char* out) const;

private:
    kelDataType colorType = kelUChar;
    int first = 0;
    int last = 0;
    size_t colorBytes = 0;
    std::vector<unsigned char> colors;
};

#endif
