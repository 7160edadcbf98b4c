/* Enumerations shared by the core library, the plug-ins and the C binding.
   Callers store these values, so they never change. */
#ifndef KEL_TYPES_H
#define KEL_TYPES_H

/* One declaration for both languages: KEL_ENUM(name) { ... } KEL_ENUM_END(name);
   C++ fixes the underlying type to int; C gets the enumeration's typedef. */
#ifdef __cplusplus
#define KEL_ENUM(name) enum name : int
#define KEL_ENUM_END(name)
#else
#define KEL_ENUM(name) typedef enum name
#define KEL_ENUM_END(name) name
#endif

/* Single bits, so that a set of types is a mask. */
KEL_ENUM(kelDataType) {
    kelBit = 1,
    kelUChar = 2,
    kelChar = 4,
    kelUShort = 8,
    kelShort = 16,
    kelUInt = 32,
    kelInt = 64,
    kelULong = 32,
    kelLong = 64,
    kelFloat = 128,
    kelDouble = 256
} KEL_ENUM_END(kelDataType);

/* Flags of kelDataClosestType. */
enum {
    kelDataWantSigned = 1,
    kelDataAnySign = 2,
    kelDataDemote = 4
};

KEL_ENUM(kelOrder) {
    kelInterleaved = 1,
    kelSequential = 2,
    kelSeparate = 4
} KEL_ENUM_END(kelOrder);

KEL_ENUM(kelOrientation) {
    kelUpperLeftOrigin = 1,
    kelUpperRightOrigin = 2,
    kelLowerRightOrigin = 3,
    kelLowerLeftOrigin = 4,
    kelLeftUpperOrigin = 5,
    kelRightUpperOrigin = 6,
    kelRightLowerOrigin = 7,
    kelLeftLowerOrigin = 8
} KEL_ENUM_END(kelOrientation);

KEL_ENUM(kelColorModel) {
    kelNegative = 1,
    kelLuminance = 2,
    kelRGB = 3,
    kelRGBPalette = 4,
    kelRGBA = 5,
    kelHSV = 6,
    kelCMY = 7,
    kelCMYK = 8,
    kelBGR = 9,
    kelABGR = 10,
    kelMultiSpectral = 11,
    kelYCC = 12,
    kelLuminanceAlpha = 13
} KEL_ENUM_END(kelColorModel);

/* 0 is no compression value: in a file configuration it means "not chosen". */
KEL_ENUM(kelCompression) {
    kelUnknownCompression = -1,
    kelNoCompression = 1,
    kelORNRLE = 2,
    kelCCITTFAX3 = 3,
    kelCCITTFAX4 = 4,
    kelLZW = 5,
    kelJPEG = 6,
    kelPACKBITS = 7,
    kelZIP = 8,
    kelZSTD = 9,
    kelLZMA = 10,
    kelWEBP = 11,        /* WebP's lossy coding (VP8) */
    kelWEBPLossless = 12 /* WebP's lossless coding (VP8L) */
} KEL_ENUM_END(kelCompression);

KEL_ENUM(kelAxis) {
    kelX = 0,
    kelY = 1,
    kelZ = 2,
    kelC = 3
} KEL_ENUM_END(kelAxis);

/* The two flips combine as bits. */
KEL_ENUM(kelFlip) {
    kelNoFlip = 0,
    kelXFlip = 1,
    kelYFlip = 2
} KEL_ENUM_END(kelFlip);

KEL_ENUM(kelFillMode) {
    kelFillAll = 0,
    kelFillSome = 1,
    kelFillNone = 2
} KEL_ENUM_END(kelFillMode);

#endif
