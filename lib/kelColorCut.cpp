#include "kelColorCut.h"

#include <algorithm>

namespace {

struct Moments {
    double w = 0;
    double s[4] = {0, 0, 0, 0};
    double q = 0; // sum of weight times squared norm

    void add(const kelColorPoint& c)
    {
        double norm = 0;
        for (int d = 0; d < 4; ++d) {
            s[d] += c.weight * c.p[d];
            norm += double(c.p[d]) * c.p[d];
        }
        w += c.weight;
        q += c.weight * norm;
    }
    void add(const Moments& m)
    {
        for (int d = 0; d < 4; ++d)
            s[d] += m.s[d];
        w += m.w;
        q += m.q;
    }
    // |s|^2 / w: the larger, the less error the mean leaves.
    double gain() const { return w > 0 ? (s[0] * s[0] + s[1] * s[1] + s[2] * s[2] + s[3] * s[3]) / w : 0; }
    double error() const { return q - gain(); }
    kelSpacePoint mean() const
    {
        kelSpacePoint m{};
        for (int d = 0; d < 4; ++d)
            m[d] = w > 0 ? float(s[d] / w) : 0.0f;
        return m;
    }
};

struct Box {
    size_t begin, end;
    Moments m;
    bool whole = false; // no plane separates its points
};

// Cells of one axis: the split planes lie between them.
const int bins = 128;

struct Plane {
    int axis = -1;
    int lastLowBin = 0;
    float lo = 0, step = 0;
    double gain = -1;

    int binOf(const kelColorPoint& c) const { return std::min(bins - 1, int((c.p[axis] - lo) * step)); }
};

// The best plane across one axis of the box, if better than `best`.
void bestOnAxis(const std::vector<kelColorPoint>& pts, const Box& box, int axis, Plane& best)
{
    float lo = pts[box.begin].p[axis], hi = lo;
    for (size_t i = box.begin; i < box.end; ++i) {
        lo = std::min(lo, pts[i].p[axis]);
        hi = std::max(hi, pts[i].p[axis]);
    }
    if (!(hi > lo))
        return;
    Plane plane;
    plane.axis = axis;
    plane.lo = lo;
    plane.step = float(bins) / (hi - lo) * 0.99999f;
    Moments hist[bins];
    for (size_t i = box.begin; i < box.end; ++i)
        hist[plane.binOf(pts[i])].add(pts[i]);
    Moments low;
    for (int k = 0; k < bins - 1; ++k) {
        low.add(hist[k]);
        Moments high = box.m;
        for (int d = 0; d < 4; ++d)
            high.s[d] -= low.s[d];
        high.w -= low.w;
        if (low.w <= 0 || high.w <= 0)
            continue;
        double g = low.gain() + high.gain();
        if (g > best.gain) {
            best = plane;
            best.lastLowBin = k;
            best.gain = g;
        }
    }
}

Moments momentsOf(const std::vector<kelColorPoint>& pts, size_t begin, size_t end)
{
    Moments m;
    for (size_t i = begin; i < end; ++i)
        m.add(pts[i]);
    return m;
}

// Splits `box` into itself and `high`; false when no plane separates it.
bool split(std::vector<kelColorPoint>& pts, Box& box, Box& high)
{
    Plane plane;
    for (int axis = 0; axis < 4; ++axis)
        bestOnAxis(pts, box, axis, plane);
    if (plane.axis < 0)
        return false;
    auto mid = std::stable_partition(pts.begin() + long(box.begin), pts.begin() + long(box.end),
                                     [&plane](const kelColorPoint& c) { return plane.binOf(c) <= plane.lastLowBin; });
    size_t cut = size_t(mid - pts.begin());
    high = {cut, box.end, momentsOf(pts, cut, box.end)};
    box = {box.begin, cut, momentsOf(pts, box.begin, cut), false};
    return true;
}

} // namespace

std::vector<kelSpacePoint> kelCutColors(std::vector<kelColorPoint>& points, int count)
{
    std::vector<Box> boxes;
    if (points.empty() || count < 1)
        return {};
    boxes.push_back({0, points.size(), momentsOf(points, 0, points.size())});
    while (int(boxes.size()) < count) {
        size_t worst = 0;
        double most = 0;
        for (size_t i = 0; i < boxes.size(); ++i)
            if (!boxes[i].whole && boxes[i].end - boxes[i].begin > 1 && boxes[i].m.error() > most) {
                most = boxes[i].m.error();
                worst = i;
            }
        Box high;
        if (most <= 0)
            break;
        if (split(points, boxes[worst], high))
            boxes.push_back(high);
        else
            boxes[worst].whole = true;
    }
    std::vector<kelSpacePoint> means;
    for (const Box& b : boxes)
        means.push_back(b.m.mean());
    return means;
}

void kelRefineColors(const std::vector<kelColorPoint>& points, std::vector<kelSpacePoint>& centers, int passes)
{
    for (int pass = 0; pass < passes; ++pass) {
        kelNearestColor search;
        search.build(centers);
        std::vector<Moments> sums(centers.size());
        for (const kelColorPoint& c : points)
            sums[size_t(search.find(c.p.data()))].add(c);
        for (size_t i = 0; i < centers.size(); ++i)
            if (sums[i].w > 0)
                centers[i] = sums[i].mean();
    }
}
