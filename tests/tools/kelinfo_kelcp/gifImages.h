// GIF test images made in this process through the library.
#ifndef KEL_TEST_GIFIMAGES_H
#define KEL_TEST_GIFIMAGES_H

#include <string>
#include <vector>

struct GifFrame {
    int width, height, left, top, delay, disposal, transIndex; // transIndex -1: none
    int colors; // entries of its colormap; entry i is gifColor(i, c)
    std::vector<unsigned char> pixels;
};

// Channel c of colormap entry i.
int gifColor(int i, int c);

// A frame of w x h pixels cycling through `colors` indices.
GifFrame gifFrame(int w, int h, int colors, int seed);

// Writes the frames as one GIF file with a logical screen of 40 x 30, the
// loop count (-1: none) and the pixel aspect ratio (0: none).
void writeGif(const std::string& path, const std::vector<GifFrame>& frames, int loopCount, double aspect = 0);

#endif
