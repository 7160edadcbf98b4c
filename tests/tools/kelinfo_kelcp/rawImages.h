// Raw test images made and read in this process through the library.
#ifndef KEL_TEST_RAWIMAGES_H
#define KEL_TEST_RAWIMAGES_H

#include <string>
#include <vector>

#include <kel/kelCoord.h>

// The value of channel c at upright (x, y) from the upper left corner;
// below 256, so that every data type holds it exactly.
double patternValue(int x, int y, int c);

// Writes `path` as a Raw uchar image of w x h with nc channels, interleaved,
// upper-left, filled with the pattern; returns the name that opens it.
std::string writePatternImage(const std::string& path, int w, int h, int nc);

// Every pixel of an image, upright from the upper left, interleaved, as doubles.
std::vector<double> readPixels(const std::string& name, kelSize& uprightSize);

#endif
