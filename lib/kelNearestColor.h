// The nearest of a set of points of the quantizer's color space: the points
// sorted along their widest axis, searched outward from the query until
// that axis alone is farther than the best found.
#ifndef KEL_NEARESTCOLOR_H
#define KEL_NEARESTCOLOR_H

#include <array>
#include <vector>

using kelSpacePoint = std::array<float, 4>;

class kelNearestColor {
public:
    void build(const std::vector<kelSpacePoint>& points);
    // The index in the points given to build; -1 when there are none.
    int find(const float* p) const;
    // The same, with the squared distance to it.
    int find(const float* p, float& distance) const;

private:
    int axis = 0;
    std::vector<kelSpacePoint> sorted;
    std::vector<float> keys;
    std::vector<int> index;
};

#endif
