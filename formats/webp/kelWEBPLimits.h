// What a WebP file may hold before it is refused, so that a small hostile
// file cannot make opening or decoding it take minutes.
#ifndef KEL_WEBPLIMITS_H
#define KEL_WEBPLIMITS_H

// The format's largest canvas and frame side (14 bits).
enum { kelWEBPMaxExtent = 16383 };

// Frames of one animation, and the canvas pixels that showing every frame
// touches (frames x canvas): a 4096 x 4096 canvas shows 256 frames.
const int kelWEBPMaxFrames = 65536;
const unsigned long long kelWEBPMaxCanvasWork = 1ULL << 32;

// A frame's duration fits 24 bits; a loop count 16.
const int kelWEBPMaxDuration = (1 << 24) - 1;
const int kelWEBPMaxLoopCount = 65535;

#endif
