/* The items of PNG files: the tag numbers that getItem/setItem (getTag/setTag)
   take for a file of the PNG format. Plain C, for the C binding as well.
   Sample values (transparent and background colors) are in the image's own
   bit depth; for a palette image the background is an index. */
#ifndef KEL_PNGFILE_H
#define KEL_PNGFILE_H

/* Arguments of getItem (pointers) and setItem (values):
   kelPNGbitDepth           int*        / int: 1, 2, 4, 8 (gray or palette
                                          of uchar) or the type's own
   kelPNGinterlace          int*        / int: nonzero for Adam7 interlace
   kelPNGcompressionLevel   int*        / int: 0..9 (write only; 6 default)
   kelPNGfilter             int*        / int: kelPNGfilter... below (write only)
   kelPNGtransparentGray    int*        / int: the gray that is transparent
   kelPNGtransparentColor   int*, int*, int* / int, int, int: R, G, B
   kelPNGsignificantBits    int* x 4    / int x 4: per channel (a palette's
                                          R, G, B), 0 past the last
   kelPNGgamma              double*     / double: the file's gamma (0.45455)
   kelPNGwhitePoint, kelPNGredPrimary, kelPNGgreenPrimary, kelPNGbluePrimary
                            double*, double* / double, double: x, y
                            (written when all four are set)
   kelPNGsRGBIntent         int*        / int: rendering intent 0..3
   kelPNGresolution         int*, int*  / int, int: pixels per unit, x and y
   kelPNGresolutionUnit     int*        / int: 0 unknown (aspect only), 1 metre
   kelPNGmodificationTime   const char** / const char*: "YYYY-MM-DD HH:MM:SS", UTC
   kelPNGbackgroundGray     int*        / int
   kelPNGbackgroundColor    int*, int*, int* / int, int, int: R, G, B
   kelPNGbackgroundIndex    int*        / int: a palette index
   kelPNGtitle .. kelPNGcomment, kelPNGxmp
                            const char** / const char*: the text of that
                            keyword (UTF-8; several chunks of one keyword
                            joined by newlines)
   kelPNGtext               const char* keyword, const char** / const char*
                            keyword, const char*: any keyword's text
   kelPNGtextKeywords       const char** (read only): the keywords present,
                            one a line
   kelPNGexif               const void**, int* (read only): the eXIf bytes
   kelPNGanimated           int* (read only): the file is an animation
                            (acTL); its default image is read */
typedef enum kelPNGItem {
    kelPNGbitDepth = 0,
    kelPNGinterlace = 1,
    kelPNGcompressionLevel = 2,
    kelPNGfilter = 3,
    kelPNGtransparentGray = 4,
    kelPNGtransparentColor = 5,
    kelPNGsignificantBits = 6,
    kelPNGgamma = 7,
    kelPNGwhitePoint = 8,
    kelPNGredPrimary = 9,
    kelPNGgreenPrimary = 10,
    kelPNGbluePrimary = 11,
    kelPNGsRGBIntent = 12,
    kelPNGresolution = 13,
    kelPNGresolutionUnit = 14,
    kelPNGmodificationTime = 15,
    kelPNGbackgroundGray = 16,
    kelPNGbackgroundColor = 17,
    kelPNGbackgroundIndex = 18,
    kelPNGtitle = 20,
    kelPNGauthor = 21,
    kelPNGdescription = 22,
    kelPNGcopyright = 23,
    kelPNGcreationTime = 24,
    kelPNGsoftware = 25,
    kelPNGdisclaimer = 26,
    kelPNGwarning = 27,
    kelPNGsource = 28,
    kelPNGcomment = 29,
    kelPNGxmp = 30,
    kelPNGtext = 31,
    kelPNGtextKeywords = 32,
    kelPNGexif = 33,
    kelPNGanimated = 34
} kelPNGItem;

/* Values of kelPNGfilter: the row filters the encoder tries. */
typedef enum kelPNGFilter {
    kelPNGfilterDefault = 0, /* as libpng: none for palettes and depths below 8, else adaptive */
    kelPNGfilterNone = 1,
    kelPNGfilterSub = 2,
    kelPNGfilterUp = 3,
    kelPNGfilterAverage = 4,
    kelPNGfilterPaeth = 5,
    kelPNGfilterAdaptive = 6 /* all five, the best per row */
} kelPNGFilter;

/* Values of kelPNGsRGBIntent. */
typedef enum kelPNGIntent {
    kelPNGintentPerceptual = 0,
    kelPNGintentRelative = 1,
    kelPNGintentSaturation = 2,
    kelPNGintentAbsolute = 3
} kelPNGIntent;

#endif
