// What the fields of a GIF file can hold.
#ifndef KEL_GIFLIMITS_H
#define KEL_GIFLIMITS_H

// Sizes, positions, delays and counts are stored in 16 bits.
enum { kelGIFMaxWord = 65535 };

// An image width or height: 1 to 65535.
inline int kelGIFSizeFits(long long v)
{
    return v >= 1 && v <= kelGIFMaxWord;
}

// A position, delay or screen size: 0 to 65535.
inline int kelGIFWordFits(long long v)
{
    return v >= 0 && v <= kelGIFMaxWord;
}

#endif
