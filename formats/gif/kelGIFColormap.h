// GIF color tables as kelColormaps.
#ifndef KEL_GIFCOLORMAP_H
#define KEL_GIFCOLORMAP_H

#include <kel/kelStatus.h>

class kelColormap;

// The least b >= 1 with 2^b >= count.
int BitsFromCount(int count);

// A table of 2^bits entries of R, G, B bytes and, when `transIndex` is not
// -1, an alpha channel that is 0 at that index and 255 elsewhere. Null
// when there is no memory.
kelColormap* kelGIFNewColormap(const unsigned char* rgb, int bits, int transIndex);

// Copies `src` into a new table in `dst` (replacing it): entry i is the
// color of pixel value i, 0 outside the map's domain. With `trans`
// holding -1 and an alpha channel, the most transparent entry becomes the
// transparent index. kelBADPARAMS for a map of more than 256 entries or one
// reaching past pixel value 255; `dst` is then untouched.
kelStatus CopyColormap(const kelColormap* src, kelColormap*& dst, int* trans);

#endif
