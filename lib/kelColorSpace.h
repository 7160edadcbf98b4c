// Colors as the quantizer compares them: R, G, B, A floats from 0 to 255,
// and points of a weighted space in which the distance between two colors
// stands for how different they look. Colors are premultiplied by alpha
// there, so that all transparent colors meet.
#ifndef KEL_COLORSPACE_H
#define KEL_COLORSPACE_H

#include <stddef.h>

#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

// Green weighs most and blue least, as the eye tells them apart; alpha as
// much as green.
constexpr float kelSpaceWeight[4] = {0.95f, 1.1f, 0.8f, 1.1f};

inline void kelToSpace(const float* rgba, float* p)
{
    const float a = rgba[3] * (1.0f / 255.0f);
    for (int c = 0; c < 3; ++c)
        p[c] = kelSpaceWeight[c] * rgba[c] * a;
    p[3] = kelSpaceWeight[3] * rgba[3];
}

// The color of a point, each component within 0 to 255.
void kelFromSpace(const float* p, float* rgba);

inline float kelSpaceDistance(const float* a, const float* b)
{
    float d0 = a[0] - b[0], d1 = a[1] - b[1], d2 = a[2] - b[2], d3 = a[3] - b[3];
    return d0 * d0 + d1 * d1 + d2 * d2 + d3 * d3;
}

// Converts `count` interleaved pixels of `nc` channels (1 gray, 2 gray and
// alpha, 3 RGB, 4 RGBA) into RGBA floats from 0 to 255, `maxValue` (0: the
// type's maximum, 1 for floating types) being full intensity.
kelStatus kelPixelsToRGBA(const void* data, kelDataType type, int nc, size_t count, double maxValue, float* out);

#endif
