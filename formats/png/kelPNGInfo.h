// What a PNG file says besides its pixels: the palette and transparency
// that belong to the image, and the ancillary chunks that become items. Read
// from libspng contexts, kept here across the decoder's restarts, and given
// to the encoder of a new file.
#ifndef KEL_PNGINFO_H
#define KEL_PNGINFO_H

#include <stdint.h>

#include <string>
#include <vector>

#include "kelPNGLayout.h"

struct spng_ctx;

// One text chunk; keyword and text in UTF-8.
struct kelPNGText {
    std::string keyword;
    std::string text;
};

struct kelPNGInfo {
    // PLTE (R, G, B per entry) and tRNS.
    int paletteEntries = 0;
    unsigned char palette[3 * 256] = {};
    bool hasTransparency = false;
    int alphaEntries = 0;          // of a palette
    unsigned char alpha[256] = {};
    uint16_t transparent[3] = {};  // gray, or R, G, B

    bool hasSignificantBits = false;
    int significantBits[4] = {};
    bool hasGamma = false;
    uint32_t gamma = 0;            // times 100000
    unsigned chromaticitiesSet = 0; // bit n: the pair n of white point, red, green, blue
    double chromaticities[8] = {};
    bool hasIntent = false;
    int intent = 0;
    bool hasResolution = false;
    uint32_t resolution[2] = {};
    int resolutionUnit = 1;
    std::string modificationTime;  // "YYYY-MM-DD HH:MM:SS", empty for none
    bool hasBackground = false;
    uint16_t background[3] = {};   // gray, R, G, B or a palette index
    std::vector<kelPNGText> texts;
    std::vector<unsigned char> profile;
    std::vector<unsigned char> exif;
    bool animated = false;

    // PLTE and tRNS from a context that has read the chunks before the image.
    int readImageChunks(spng_ctx* ctx, const kelPNGLayout& layout);
    // The ancillary chunks before the image; 0 or libspng's error.
    int readAncillary(spng_ctx* ctx, const kelPNGLayout& layout);
    // Text, time and EXIF from a context of the chunks after the image,
    // added to those before it.
    int readTrailer(spng_ctx* ctx);
    // Every chunk into an encoder that has its IHDR; 0 or libspng's error.
    // The encoder points into this object, which must stay as it is until
    // the encoder is done.
    int write(spng_ctx* ctx, const kelPNGLayout& layout) const;
};

#endif
