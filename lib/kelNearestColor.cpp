#include "kelNearestColor.h"

#include <float.h>

#include <algorithm>
#include <numeric>

#include "kelColorSpace.h"

static int widestAxis(const std::vector<kelSpacePoint>& points)
{
    int best = 0;
    float widest = -1;
    for (int a = 0; a < 4; ++a) {
        auto span = std::minmax_element(points.begin(), points.end(),
                                        [a](const kelSpacePoint& l, const kelSpacePoint& r) { return l[a] < r[a]; });
        float w = points.empty() ? 0 : (*span.second)[a] - (*span.first)[a];
        if (w > widest) {
            widest = w;
            best = a;
        }
    }
    return best;
}

void kelNearestColor::build(const std::vector<kelSpacePoint>& points)
{
    axis = widestAxis(points);
    index.resize(points.size());
    std::iota(index.begin(), index.end(), 0);
    // Ties keep the lower index first, so that the search prefers it.
    std::stable_sort(index.begin(), index.end(), [&](int l, int r) { return points[l][axis] < points[r][axis]; });
    sorted.resize(points.size());
    keys.resize(points.size());
    for (size_t i = 0; i < index.size(); ++i) {
        sorted[i] = points[index[i]];
        keys[i] = sorted[i][axis];
    }
}

int kelNearestColor::find(const float* p) const
{
    float distance;
    return find(p, distance);
}

int kelNearestColor::find(const float* p, float& distance) const
{
    const long n = long(keys.size());
    long up = long(std::lower_bound(keys.begin(), keys.end(), p[axis]) - keys.begin());
    long down = up - 1;
    long best = -1;
    float bestDist = FLT_MAX;
    auto consider = [&](long i) {
        float d = kelSpaceDistance(p, sorted[i].data());
        if (d < bestDist || (d == bestDist && index[i] < index[best])) {
            bestDist = d;
            best = i;
        }
    };
    while (up < n || down >= 0) {
        if (up < n) {
            float gap = keys[up] - p[axis];
            if (gap * gap > bestDist)
                up = n;
            else
                consider(up++);
        }
        if (down >= 0) {
            float gap = p[axis] - keys[down];
            if (gap * gap > bestDist)
                down = -1;
            else
                consider(down--);
        }
    }
    distance = bestDist;
    return best < 0 ? -1 : index[best];
}
