/* The items of GIF files: the tag numbers that getItem/setItem (getTag/setTag)
   take for a file of the GIF format. Plain C, for the C binding as well. */
#ifndef KEL_GIFFILE_H
#define KEL_GIFFILE_H

/* Arguments of getItem (pointers) and setItem (values):
   kelGIFtransparentIndex  int*         / int: -1 for none
   kelGIFtransparentColor  int*, int*, int* (read only: R, G, B)
   kelGIFinterlace         int*         / int: nonzero for interlaced rows
   kelGIFdelayTime         int*         / int: hundredths of a second
   kelGIFdisposalMethod    int*         / int: kelGIFdisposal... below
   kelGIFuserInput         int*         / int: nonzero to wait for input
   kelGIFleftPosition      int*         / int
   kelGIFtopPosition       int*         / int
   kelGIFscreenWidth       int*         / int: 0 for the first image's width
   kelGIFscreenHeight      int*         / int
   kelGIFaspectRatio       float*       / double: pixel width over height
   kelGIFglobalMap         const kelColormap** / const kelColormap*
   kelGIFbackgroundIndex   int*         / int
   kelGIFbackgroundColor   int*, int*, int* (read only: R, G, B)
   kelGIFloopCount         int*         / int: 0 loops forever */
typedef enum kelGIFItem {
    kelGIFtransparentIndex = 0,
    kelGIFtransparentColor = 1,
    kelGIFinterlace = 2,
    kelGIFdelayTime = 3,
    kelGIFdisposalMethod = 4,
    kelGIFuserInput = 5,
    kelGIFleftPosition = 6,
    kelGIFtopPosition = 7,
    kelGIFscreenWidth = 20,
    kelGIFscreenHeight = 21,
    kelGIFaspectRatio = 22,
    kelGIFglobalMap = 23,
    kelGIFbackgroundIndex = 24,
    kelGIFbackgroundColor = 25,
    kelGIFloopCount = 26
} kelGIFItem;

/* Values of kelGIFdisposalMethod: what a viewer does with an image before
   the next one is shown. */
typedef enum kelGIFDisposal {
    kelGIFdisposalUnspecified = 0,
    kelGIFdisposalLeaveImage = 1,
    kelGIFdisposalRestoreBackground = 2,
    kelGIFdisposalRestorePrevious = 3
} kelGIFDisposal;

#ifdef __cplusplus
#include <kel/kelTag.h>

/* The disposal methods by name, as kelTag encodes and decodes them. */
static const kelEnumSpec kelGIFDisposalNames[] = {
    {"Unspecified", kelGIFdisposalUnspecified},
    {"Leave image", kelGIFdisposalLeaveImage},
    {"Restore background color", kelGIFdisposalRestoreBackground},
    {"Restore prior content", kelGIFdisposalRestorePrevious},
    {nullptr, 0},
};
#endif

#endif
