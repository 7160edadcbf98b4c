/* The items of JPEG files: the tag numbers that getItem/setItem (getTag/setTag)
   take for a file of the JPEG format. Plain C, for the C binding as well. */
#ifndef KEL_JPEGFILE_H
#define KEL_JPEGFILE_H

/* Arguments of getItem (pointers) and setItem (values). Settings of a new
   file are taken until its first rows are encoded (then kelREADONLY);
   items that a file does not store give kelUNSUPPORTEDBYFILE.
   kelJPEGquality          int*  / int 1..100 (default 90): written files only
   kelJPEGsubsampling      int*  / int: kelJPEGsub... below; 4:4:4, 4:2:2 or
                           4:2:0 (default) to write; CMYK is
                           written 4:4:4, luminance has none
   kelJPEGprogressive      int*  / int: nonzero for progressive scans
   kelJPEGoptimize         int*  / int: nonzero for Huffman tables made for
                           the image (written files only; progressive files
                           always have them)
   kelJPEGrestartInterval  int*  / int: MCUs between restart markers, 0..65535
   kelJPEGdensity          int*, int* / int, int: horizontal and vertical, 1..65535
   kelJPEGdensityUnit      int*  / int: kelJPEGunit... below
   kelJPEGcomment          char** (the file's string) / const char*: the COM
                           markers, joined by line feeds
   kelJPEGarithmetic       int*  (read only): arithmetic coding
   kelJPEGadobeTransform   int*  (read only): kelJPEGadobe... below
   kelJPEGexif             const void**, int* (read only): the EXIF block, a
                           TIFF structure (after the APP1 marker's "Exif\0\0") */
typedef enum kelJPEGItem {
    kelJPEGquality = 0,
    kelJPEGsubsampling = 1,
    kelJPEGprogressive = 2,
    kelJPEGoptimize = 3,
    kelJPEGrestartInterval = 4,
    kelJPEGdensity = 5,
    kelJPEGdensityUnit = 6,
    kelJPEGcomment = 7,
    kelJPEGarithmetic = 8,
    kelJPEGadobeTransform = 9,
    kelJPEGexif = 10
} kelJPEGItem;

/* Chroma subsampling: the luminance's sampling against the chroma's. */
typedef enum kelJPEGSubsampling {
    kelJPEGsub444 = 0,
    kelJPEGsub422 = 1, /* half the chroma columns */
    kelJPEGsub420 = 2, /* half the columns and half the rows */
    kelJPEGsub440 = 3, /* half the rows */
    kelJPEGsub411 = 4, /* a quarter of the columns */
    kelJPEGsub410 = 5, /* a quarter of the columns, half the rows */
    kelJPEGsubOther = 6
} kelJPEGSubsampling;

typedef enum kelJPEGDensityUnit {
    kelJPEGunitNone = 0, /* the density is a pixel aspect ratio */
    kelJPEGunitInch = 1,
    kelJPEGunitCentimeter = 2
} kelJPEGDensityUnit;

/* The Adobe (APP14) marker's color transform. */
typedef enum kelJPEGAdobeTransform {
    kelJPEGadobeNone = 0, /* RGB or CMYK as stored */
    kelJPEGadobeYCbCr = 1,
    kelJPEGadobeYCCK = 2
} kelJPEGAdobeTransform;

#ifdef __cplusplus
#include <kel/kelTag.h>

/* The enumerations by name, as kelTag encodes and decodes them. */
static const kelEnumSpec kelJPEGSubsamplingNames[] = {
    {"4:4:4", kelJPEGsub444}, {"4:2:2", kelJPEGsub422}, {"4:2:0", kelJPEGsub420}, {"4:4:0", kelJPEGsub440},
    {"4:1:1", kelJPEGsub411}, {"4:1:0", kelJPEGsub410}, {"Other", kelJPEGsubOther}, {nullptr, 0},
};
static const kelEnumSpec kelJPEGDensityUnitNames[] = {
    {"None", kelJPEGunitNone}, {"Inch", kelJPEGunitInch}, {"Centimeter", kelJPEGunitCentimeter}, {nullptr, 0},
};
static const kelEnumSpec kelJPEGAdobeTransformNames[] = {
    {"None", kelJPEGadobeNone}, {"YCbCr", kelJPEGadobeYCbCr}, {"YCCK", kelJPEGadobeYCCK}, {nullptr, 0},
};
#endif

#endif
