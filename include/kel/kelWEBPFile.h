/* The items of WebP files: the tag numbers that getItem/setItem (getTag/setTag)
   take for a file of the WEBP format. Plain C, for the C binding as well. */
#ifndef KEL_WEBPFILE_H
#define KEL_WEBPFILE_H

/* Arguments of getItem (pointers) and setItem (values). The encoder's
   settings are the whole file's and are kept by written files only
   (elsewhere kelUNSUPPORTEDBYFILE); a new file takes every item until it is
   closed, when it is encoded.
   kelWEBPquality       int*  / int 0..100 (default 75): lossy frames
   kelWEBPmethod        int*  / int 0..6 (default 4): effort, 6 slowest
   kelWEBPexact         int*  / int: nonzero keeps the colors under
                        transparent pixels (lossless)
   kelWEBPleft          int*  / int: the frame's place on the canvas
   kelWEBPtop           int*  / int
   kelWEBPduration      int*  / int: milliseconds the frame shows, 0..2^24-1
   kelWEBPdispose       int*  / int: a kelFrameDisposal; read: None or
                        Background
   kelWEBPblend         int*  / int: a kelFrameBlend
   kelWEBPcanvasWidth   int*  / int: 0 (a new file) for the first frame's
                        right edge
   kelWEBPcanvasHeight  int*  / int: 0 for the first frame's bottom edge
   kelWEBPloopCount     int*  / int: 0 loops forever, 0..65535
   kelWEBPbackground    int*, int*, int*, int* / 4 ints: R, G, B, A
   kelWEBPexif          const void**, int* / const void*, int: the EXIF
                        chunk (a TIFF structure)
   kelWEBPxmp           const void**, int* / const void*, int: the XMP chunk */
typedef enum kelWEBPItem {
    kelWEBPquality = 0,
    kelWEBPmethod = 1,
    kelWEBPexact = 2,
    kelWEBPleft = 3,
    kelWEBPtop = 4,
    kelWEBPduration = 5,
    kelWEBPdispose = 6,
    kelWEBPblend = 7,
    kelWEBPcanvasWidth = 8,
    kelWEBPcanvasHeight = 9,
    kelWEBPloopCount = 10,
    kelWEBPbackground = 11,
    kelWEBPexif = 12,
    kelWEBPxmp = 13
} kelWEBPItem;

#ifdef __cplusplus
#include <kel/kelTag.h>

/* The common disposals and blends by name, as kelTag encodes and decodes
   them. */
static const kelEnumSpec kelWEBPDisposalNames[] = {
    {"Unspecified", kelDisposeUnspecified},
    {"None", kelDisposeNone},
    {"Background", kelDisposeBackground},
    {"Previous", kelDisposePrevious},
    {nullptr, 0},
};
static const kelEnumSpec kelWEBPBlendNames[] = {
    {"Over", kelBlendOver},
    {"Source", kelBlendSource},
    {nullptr, 0},
};
#endif

#endif
