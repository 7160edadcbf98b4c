// Choosing a few colors for many: the weighted points of a color histogram
// are cut into boxes, always the box of the largest squared error along the
// plane that lowers it most, and the boxes' means are refined by k-means.
#ifndef KEL_COLORCUT_H
#define KEL_COLORCUT_H

#include <vector>

#include "kelNearestColor.h"

struct kelColorPoint {
    kelSpacePoint p; // the mean of the colors it stands for
    double weight;   // how many pixels
};

// At most `count` means of boxes of the points (fewer when fewer differ).
// The order of `points` changes.
std::vector<kelSpacePoint> kelCutColors(std::vector<kelColorPoint>& points, int count);

// Moves each center to the mean of the points nearest to it, `passes` times.
void kelRefineColors(const std::vector<kelColorPoint>& points, std::vector<kelSpacePoint>& centers, int passes);

#endif
