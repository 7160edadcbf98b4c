// The canvas of an animation being written, on which each frame is drawn as
// a viewer shows it: the frame before is disposed of, then the frame is
// blended in at its place. libwebp's animation encoder takes whole canvases
// and finds the changed rectangles itself, so the frames written need not be
// the frames given, but every canvas shown is.
#ifndef KEL_WEBPCANVAS_H
#define KEL_WEBPCANVAS_H

#include <kel/kelStatus.h>

#include <stddef.h>

#include <vector>

#include "kelWEBPReader.h"

// Interleaved RGB (3 channels) or RGBA (4) bytes.
struct kelWEBPPicture {
    const unsigned char* pixels;
    int width;
    int height;
    int channels;
    size_t stride;
};

class kelWEBPCanvas {
public:
    // A transparent canvas.
    kelStatus start(int width, int height);
    // The part of the frame inside the canvas is drawn.
    kelStatus draw(const kelWEBPPicture& frame, const kelWEBPFrameInfo& where);
    kelWEBPPicture picture() const;

private:
    struct Box {
        int x0, y0, x1, y1;
    };
    Box clip(const kelWEBPFrameInfo& where) const;
    void disposeLast();
    void blendRow(unsigned char* to, const unsigned char* from, int count, int channels, int blend) const;

    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
    std::vector<unsigned char> saved; // the canvas before a frame disposed to Previous
    Box last = {0, 0, 0, 0};
    int lastDispose = 0;
};

#endif
