/* The items of TIFF files: the tag numbers that getItem/setItem (getTag/setTag)
   take for a file of the TIFF format. Plain C, for the C binding as well.
   Every item belongs to the current image (directory) unless marked file-wide. */
#ifndef KEL_TIFFFILE_H
#define KEL_TIFFFILE_H

/* Arguments of getItem (pointers) and setItem (values). Items that an image
   lacks give kelUNSUPPORTEDBYFILE. The coding items (predictor, compression
   level, JPEG quality) are taken until the image's first page is written.
   kelTIFFresolution      double*, double* / double, double: X and Y resolution
   kelTIFFresolutionUnit  int* / int: kelTIFFunit... below
   kelTIFFsoftware        char** (the file's string) / const char*
   kelTIFFdateTime        char** / const char*: "YYYY:MM:DD HH:MM:SS"
   kelTIFFdescription     char** / const char*: ImageDescription
   kelTIFFartist          char** / const char*
   kelTIFFcopyright       char** / const char*
   kelTIFFpageName        char** / const char*
   kelTIFFpageNumber      int*, int* / int, int: the page and the page count
   kelTIFFsampleFormat    int* (read only): kelTIFFsample... below
   kelTIFFbitsPerSample   int* (read only): as stored (2, 4, 12, 24 bits read
                          expanded into the next kel type)
   kelTIFFpredictor       int* / int: kelTIFFpredictor... below
   kelTIFFcompressionLevel int* / int 1..12 (Deflate: 1..9, ZSTD: 1..22 clamped
                          at 19 by libtiff)
   kelTIFFjpegQuality     int* / int 1..100 (default 75): written files only
   kelTIFFextraSamples    int* / int: kelTIFFextra... below: what the last
                          channel of an RGBA or luminance-alpha image is
   kelTIFFsubfileType     int* (read only): NewSubfileType bits, kelTIFFsubfile...
   kelTIFFcompressionCode int* (read only): the TIFF Compression code, also of
                          codecs that kel names no compression for
   kelTIFFbigTIFF         int* (read only, file-wide): the file is a BigTIFF */
typedef enum kelTIFFItem {
    kelTIFFresolution = 0,
    kelTIFFresolutionUnit = 1,
    kelTIFFsoftware = 2,
    kelTIFFdateTime = 3,
    kelTIFFdescription = 4,
    kelTIFFartist = 5,
    kelTIFFcopyright = 6,
    kelTIFFpageName = 7,
    kelTIFFpageNumber = 8,
    kelTIFFsampleFormat = 9,
    kelTIFFbitsPerSample = 10,
    kelTIFFpredictor = 11,
    kelTIFFcompressionLevel = 12,
    kelTIFFjpegQuality = 13,
    kelTIFFextraSamples = 14,
    kelTIFFsubfileType = 15,
    kelTIFFcompressionCode = 16,
    kelTIFFbigTIFF = 17
} kelTIFFItem;

typedef enum kelTIFFResolutionUnit {
    kelTIFFunitNone = 1,
    kelTIFFunitInch = 2,
    kelTIFFunitCentimeter = 3
} kelTIFFResolutionUnit;

typedef enum kelTIFFSampleFormat {
    kelTIFFsampleUnsigned = 1,
    kelTIFFsampleSigned = 2,
    kelTIFFsampleFloat = 3,
    kelTIFFsampleVoid = 4
} kelTIFFSampleFormat;

typedef enum kelTIFFPredictor {
    kelTIFFpredictorNone = 1,
    kelTIFFpredictorHorizontal = 2, /* integer samples */
    kelTIFFpredictorFloat = 3       /* floating-point samples */
} kelTIFFPredictor;

/* An extra sample of unspecified meaning is a further channel of a
   multispectral image, never alpha. */
typedef enum kelTIFFExtraSamples {
    kelTIFFextraAssociated = 1,  /* premultiplied alpha */
    kelTIFFextraUnassociated = 2 /* straight alpha */
} kelTIFFExtraSamples;

/* NewSubfileType bits: a reduced-resolution copy of another image, a page
   of a multi-page document, a transparency mask. */
enum {
    kelTIFFsubfileReduced = 1,
    kelTIFFsubfilePage = 2,
    kelTIFFsubfileMask = 4
};

#ifdef __cplusplus
#include <kel/kelTag.h>

/* The enumerations by name, as kelTag encodes and decodes them. */
static const kelEnumSpec kelTIFFResolutionUnitNames[] = {
    {"None", kelTIFFunitNone}, {"Inch", kelTIFFunitInch}, {"Centimeter", kelTIFFunitCentimeter}, {nullptr, 0},
};
static const kelEnumSpec kelTIFFSampleFormatNames[] = {
    {"Unsigned", kelTIFFsampleUnsigned}, {"Signed", kelTIFFsampleSigned},
    {"Float", kelTIFFsampleFloat},       {"Void", kelTIFFsampleVoid},
    {nullptr, 0},
};
static const kelEnumSpec kelTIFFPredictorNames[] = {
    {"None", kelTIFFpredictorNone}, {"Horizontal", kelTIFFpredictorHorizontal},
    {"Float", kelTIFFpredictorFloat}, {nullptr, 0},
};
static const kelEnumSpec kelTIFFExtraSamplesNames[] = {
    {"Associated", kelTIFFextraAssociated}, {"Unassociated", kelTIFFextraUnassociated}, {nullptr, 0},
};
#endif

#endif
