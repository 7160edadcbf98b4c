#include "kelSampleImages.h"

#include <math.h>

// Red grows to the right, green downwards, blue along the diagonal.
static double rgbGradient(int x, int y, int c, const kelSize& s)
{
    double fx = double(x) / (s.x - 1), fy = double(y) / (s.y - 1);
    double v = c == 0 ? fx : c == 1 ? fy : 1.0 - (fx + fy) / 2;
    return floor(v * 255 + 0.5);
}

static double luminanceRamp(int x, int, int, const kelSize& s)
{
    return floor(double(x) * 65535 / (s.x - 1) + 0.5);
}

// Rings around the centre, 1 at the centre and fading outwards.
static double ripple(int x, int y, int, const kelSize& s)
{
    double r = hypot(x - s.x / 2.0, y - s.y / 2.0) / 4.0;
    return r < 1e-9 ? 1.0 : sin(r) / r;
}

// A checkerboard of 25-pixel squares, each channel in its own phase.
static double checkers(int x, int y, int c, const kelSize&)
{
    return ((x / 25 + y / 25 + c) % 3) * 30000.0;
}

const kelSampleImage kelSampleImages[] = {
    {"gradient.raw", "RGB gradient, 8 bits per channel",
     {kelSize(256, 192, 1, 3), kelSize(0, 0, 0, 0), kelUChar, kelInterleaved, kelUpperLeftOrigin, kelRGB},
     rgbGradient},
    {"ramp16.raw", "16-bit luminance ramp",
     {kelSize(512, 64, 1, 1), kelSize(0, 0, 0, 0), kelUShort, kelInterleaved, kelUpperLeftOrigin, kelLuminance},
     luminanceRamp},
    {"ripple.raw", "floating-point luminance ripple",
     {kelSize(128, 128, 1, 1), kelSize(0, 0, 0, 0), kelFloat, kelInterleaved, kelUpperLeftOrigin, kelLuminance},
     ripple},
    {"checkers.raw", "RGB checkerboard, 16 bits, separate channels in 64x64 pages, stored bottom-up",
     {kelSize(200, 150, 1, 3), kelSize(64, 64, 1, 1), kelUShort, kelSeparate, kelLowerLeftOrigin, kelRGB},
     checkers},
    {nullptr, nullptr, {}, nullptr}};
