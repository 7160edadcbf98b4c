// Pixels of 16 and 32 bits whose components lie in bit masks: what makes a
// set of masks readable, and stored rows unpacked into one byte per
// component. A component of n bits becomes its bits repeated from the top
// down to 8 bits (v * 255 / (2^n - 1) rounded, up to n = 4; the top 8 bits
// when n is 8 or more), as other readers scale them.
#ifndef KEL_FORMATS_BMP_BITFIELDS_H
#define KEL_FORMATS_BMP_BITFIELDS_H

#include <stddef.h>
#include <stdint.h>

#include <kel/kelStatus.h>

class kelBMPBitFields {
public:
    // The red, green, blue and alpha masks of `bits`-bit pixels (alpha 0:
    // none). kelBADIMGFMT when a color's mask is empty, or a mask has gaps,
    // overlaps another or reaches past the pixel.
    kelStatus set(const uint32_t masks[4], int bits);
    // R, G, B, and A when there is an alpha mask.
    int channels() const { return channelCount; }
    // `width` stored pixels into channels() bytes each.
    void unpackRow(unsigned char* dst, const unsigned char* src, size_t width) const;

private:
    struct Component {
        int shift;    // of its top 8 bits (all its bits when fewer)
        uint32_t low; // mask of those bits once shifted down
        unsigned char scale[256];
    };

    Component components[4] = {};
    int bytesPerPixel = 0;
    int channelCount = 0;
};

#endif
