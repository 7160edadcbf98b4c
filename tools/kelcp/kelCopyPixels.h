// Moves the pixels of the current image of one file into the current image
// of another, in strips of bounded memory.
#ifndef KEL_COPY_PIXELS_H
#define KEL_COPY_PIXELS_H

#include <stddef.h>

#include <string>

#include <kel/kelStatus.h>

class kelColormap;
class kelFile;

struct kelCopyStrips {
    size_t stripBytes;     // memory for one strip
    bool progress;         // draw a progress bar when on a terminal
    std::string label;     // the progress bar's label
    const kelColormap* expand = nullptr; // the source's indices become these colors
    // R, G, B from 0 to 1: where alpha is dropped, colors are composed over it.
    const double* background = nullptr;
};

// The value of an opaque pixel of the source: its colormap's type's
// maximum, its scale maximum, else its type's (1 for floating types).
double kelCopyOpaqueValue(kelFile& src, const kelColormap* map);

// Both images must have the same upright size. The channels must agree, or
// the source has one channel, which then fills every destination channel,
// or the source's indices are expanded into RGB or RGBA colors, or the
// color models differ in alpha or in gray and color (see kelCopyChannels:
// these go through doubles, and the source's scale maximum, else its type's,
// is opaque). Strips
// follow the destination's pages so that whole pages are written; where a
// band of pages across the image exceeds the budget, tiles of whole pages
// are copied instead. A source whose only page is a whole plane, or a
// destination that takes only whole pages and has one, is copied a plane at
// a time, so that nothing is decoded or written twice. Bits between a
// negative and a luminance image are inverted. Returns kelBADPARAMS with
// `problem` set when the images do not fit.
kelStatus kelCopyPixels(kelFile& src, kelFile& dst, const kelCopyStrips& how, std::string& problem);

#endif
