// The page geometry of an X bitmap: one page for the whole image, each row
// padded to whole array values (bytes, or 16-bit values of X10 bitmaps).
#ifndef KEL_XBMGEOMETRY_H
#define KEL_XBMGEOMETRY_H

// The page width for `width` pixels in values of `unitBits` bits.
inline long long kelXBMPageWidth(long long width, int unitBits)
{
    return (width + unitBits - 1) / unitBits * unitBits;
}

// Whether the framework can hold such a page: positive extents and at most
// 2^31-1 pixels (its page buffers are addressed with ints).
int kelXBMPageFits(long long width, long long height, int unitBits);

#endif
