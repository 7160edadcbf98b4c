// Samples that libtiff gives as stored and kel holds otherwise: depths
// other than 8, 16, 32 and 64 bits, half floats, and bit rows, which TIFF
// pads to whole bytes and kel's pages do not.
#ifndef KEL_TIFFSAMPLES_H
#define KEL_TIFFSAMPLES_H

#include <stdint.h>

#include "kelTIFFLayout.h"

// Unpacks `rows` rows of a block (`l.blockW` pixels of l.pageChannels()
// samples each) into a page of l.type.
void kelTIFFUnpack(const unsigned char* block, void* page, const kelTIFFLayout& l, int rows);

// Packs a page of bits into a block's padded rows.
void kelTIFFPackBits(const unsigned char* page, unsigned char* block, const kelTIFFLayout& l, int rows);

// Copies `rows` x `cols` pixels of an RGBA raster of `rasterW` columns and
// `rasterH` rows, as libtiff's RGBA interface leaves it for a file of
// `orientation` (bottom row first, some mirrored), into a page of RGBA
// bytes `pageW` pixels wide, in the file's row and column order.
void kelTIFFCopyRGBA(const uint32_t* raster, int rasterW, int rasterH, unsigned char* page, int pageW, int rows,
                     int cols, kelOrientation orientation);

#endif
