#include <kel/kelQuantizer.h>

#include <math.h>

#include <algorithm>
#include <new>
#include <vector>

#include <kel/kelColormap.h>
#include <kel/kelDataSize.h>

#include "kelColorCut.h"
#include "kelColorSpace.h"
#include "kelNearestColor.h"

namespace {

// The histogram's cube: 2^18 cells, 6 bits of R, G and B, or 5 bits of
// each and 3 of alpha. Each cell sums the points that fall in it, so that
// its mean is exact however coarse the cell. Up to 2^16 distinct colors are
// also counted one by one, which tells apart colors that share a cell (in
// graphics and diagrams; photos have more, and cells serve them as well).
const size_t cubeCells = size_t(1) << 18;
const size_t exactColors = size_t(1) << 16;
const int kMeansPasses = 3;

struct Cell {
    double w;
    double s[4];
};

unsigned byteOf(float v)
{
    return unsigned(lrintf(v));
}

// Counts of distinct colors (R, G, B, A bytes packed), in open addressing;
// full once it holds `exactColors`.
class ColorCounts {
public:
    bool full() const { return overflow; }
    void add(unsigned key)
    {
        if (overflow)
            return;
        if (used && key == lastKey) { // runs of one color are common
            counts[lastSlot] += 1;
            return;
        }
        if (keys.empty()) {
            keys.assign(exactColors * 2, 0);
            counts.assign(exactColors * 2, 0);
        }
        size_t i = (key * 2654435761u) & (keys.size() - 1);
        while (counts[i] > 0 && keys[i] != key)
            i = (i + 1) & (keys.size() - 1);
        if (counts[i] == 0 && ++used > exactColors) {
            clear();
            overflow = true;
            return;
        }
        keys[i] = key;
        counts[i] += 1;
        lastKey = key;
        lastSlot = i;
    }
    template <class Visit>
    void each(Visit visit) const
    {
        for (size_t i = 0; i < keys.size(); ++i)
            if (counts[i] > 0)
                visit(keys[i], counts[i]);
    }
    void clear()
    {
        std::vector<unsigned>().swap(keys);
        std::vector<double>().swap(counts);
        used = 0;
    }

private:
    std::vector<unsigned> keys;
    std::vector<double> counts;
    size_t used = 0;
    bool overflow = false;
    unsigned lastKey = 0;
    size_t lastSlot = 0;
};

} // namespace

struct kelQuantizer::State {
    int maxColors;
    kelQuantizeAlpha alpha;
    bool built = false;
    std::vector<Cell> cube;
    ColorCounts exact;
    bool transparentSeen = false;
    std::vector<kelSpacePoint> colors; // R, G, B, A of each entry
    int transparent = -1;
    kelNearestColor search;
    kelColormap* map = nullptr;

    unsigned cellOf(const float* c) const
    {
        unsigned r = byteOf(c[0]), g = byteOf(c[1]), b = byteOf(c[2]);
        if (alpha != kelQuantizeFullAlpha)
            return (r >> 2) << 12 | (g >> 2) << 6 | (b >> 2);
        return (r >> 3) << 13 | (g >> 3) << 8 | (b >> 3) << 3 | (byteOf(c[3]) >> 5);
    }
    // The color as the colormap keeps it: alpha dropped, or transparent black.
    void settle(float* c) const
    {
        if (alpha != kelQuantizeFullAlpha)
            c[3] = 255;
        else if (byteOf(c[3]) == 0)
            c[0] = c[1] = c[2] = c[3] = 0;
    }
    void add(float* c);
    std::vector<kelColorPoint> points() const;
    std::vector<kelSpacePoint> choose(int budget);
    void finish();
};

void kelQuantizer::State::add(float* c)
{
    if (alpha == kelQuantizeOneTransparent && c[3] < 127.5f) {
        transparentSeen = true;
        return;
    }
    settle(c);
    exact.add(byteOf(c[0]) << 24 | byteOf(c[1]) << 16 | byteOf(c[2]) << 8 | byteOf(c[3]));
    float p[4];
    kelToSpace(c, p);
    Cell& cell = cube[cellOf(c)];
    cell.w += 1;
    for (int d = 0; d < 4; ++d)
        cell.s[d] += p[d];
}

// The distinct colors where there were few enough, else the cube's cells.
std::vector<kelColorPoint> kelQuantizer::State::points() const
{
    std::vector<kelColorPoint> pts;
    if (!exact.full()) {
        exact.each([&pts](unsigned key, double n) {
            float c[4] = {float(key >> 24), float(key >> 16 & 255), float(key >> 8 & 255), float(key & 255)};
            kelColorPoint pt{{}, n};
            kelToSpace(c, pt.p.data());
            pts.push_back(pt);
        });
        return pts;
    }
    for (const Cell& cell : cube)
        if (cell.w > 0)
            pts.push_back({{float(cell.s[0] / cell.w), float(cell.s[1] / cell.w), float(cell.s[2] / cell.w),
                            float(cell.s[3] / cell.w)},
                           cell.w});
    return pts;
}

// The colors of the entries that are not the transparent one.
std::vector<kelSpacePoint> kelQuantizer::State::choose(int budget)
{
    std::vector<kelSpacePoint> chosen;
    std::vector<kelColorPoint> points = this->points();
    std::vector<kelSpacePoint> centers = kelCutColors(points, budget);
    kelRefineColors(points, centers, kMeansPasses);
    for (const kelSpacePoint& p : centers) {
        kelSpacePoint c;
        kelFromSpace(p.data(), c.data());
        for (float& v : c)
            v = float(byteOf(v));
        settle(c.data());
        chosen.push_back(c);
    }
    return chosen;
}

void kelQuantizer::State::finish()
{
    std::vector<kelSpacePoint> points;
    for (const kelSpacePoint& c : colors) {
        kelSpacePoint p;
        kelToSpace(c.data(), p.data());
        points.push_back(p);
    }
    // The transparent entry lies beyond reach of every color.
    if (transparent >= 0)
        points[size_t(transparent)] = {1e9f, 1e9f, 1e9f, 1e9f};
    search.build(points);
    bool translucent = false;
    for (const kelSpacePoint& c : colors)
        translucent = translucent || c[3] < 255;
    const int nc = alpha != kelQuantizeNoAlpha && translucent ? 4 : 3;
    delete map;
    map = new kelColormap(nc, kelUChar, 0, int(colors.size()) - 1);
    for (size_t i = 0; i < colors.size(); ++i)
        for (int c = 0; c < nc; ++c)
            map->setVal(colors[i][size_t(c)], double(i), c);
    built = true;
    std::vector<Cell>().swap(cube);
    exact.clear();
}

kelQuantizer::kelQuantizer(int maxColors, kelQuantizeAlpha alpha) : st(new State)
{
    st->maxColors = std::min(256, std::max(2, maxColors));
    st->alpha = alpha;
}

kelQuantizer::~kelQuantizer()
{
    delete st->map;
    delete st;
}

kelStatus kelQuantizer::addPixels(const void* data, kelDataType type, int nc, size_t count, double maxValue)
{
    if (st->built)
        return kelBADPARAMS;
    const size_t piece = 4096;
    const size_t pixelBits = size_t(nc) * (type == kelBit ? 1 : size_t(kelDataSize(type, 1)) * 8);
    try {
        if (st->cube.empty())
            st->cube.assign(cubeCells, Cell{0, {0, 0, 0, 0}});
        std::vector<float> rgba(piece * 4);
        for (size_t done = 0; done < count; done += piece) {
            const size_t n = std::min(piece, count - done);
            kelStatus sts = kelPixelsToRGBA(static_cast<const unsigned char*>(data) + done * pixelBits / 8, type, nc,
                                            n, maxValue, rgba.data());
            if (sts != kelOKAY)
                return sts;
            for (size_t i = 0; i < n; ++i)
                st->add(&rgba[i * 4]);
        }
    } catch (const std::bad_alloc&) {
        return kelMALLOCFAILED;
    }
    return kelOKAY;
}

kelStatus kelQuantizer::build()
{
    if (st->built)
        return kelBADPARAMS;
    const int budget = st->maxColors - (st->transparentSeen ? 1 : 0);
    try {
        st->colors = st->choose(budget);
        if (st->colors.empty())
            st->colors.push_back({0, 0, 0, 255});
        st->transparent = st->transparentSeen ? int(st->colors.size()) : -1;
        if (st->transparentSeen)
            st->colors.push_back({0, 0, 0, 0});
        st->finish();
    } catch (const std::bad_alloc&) {
        return kelMALLOCFAILED;
    }
    return kelOKAY;
}

kelStatus kelQuantizer::setColormap(const kelColormap& map)
{
    const int n = map.getLength(), nc = map.getNumChans();
    if (n < 1 || n > 256 || nc < 3 || !map.getData())
        return kelBADPARAMS;
    const double scale = 255.0 / (kelDataIsIntegral(map.getDataType()) ? kelDataMax(map.getDataType()) : 1.0);
    const double first = map.getDomainMin(), step = map.getDomainStep();
    st->colors.clear();
    st->transparent = -1;
    for (int i = 0; i < n; ++i) {
        kelSpacePoint c{0, 0, 0, 255};
        for (int k = 0; k < std::min(nc, 4); ++k)
            c[size_t(k)] = float(std::min(255.0, std::max(0.0, map.getVal(first + i * step, k) * scale)));
        if (st->alpha == kelQuantizeOneTransparent && c[3] < 127.5f && st->transparent < 0)
            st->transparent = i;
        st->colors.push_back(c);
    }
    st->finish();
    return kelOKAY;
}

const kelColormap* kelQuantizer::getColormap() const
{
    return st->built ? st->map : nullptr;
}

int kelQuantizer::getNumColors() const
{
    return st->built ? int(st->colors.size()) : 0;
}

int kelQuantizer::getTransparentIndex() const
{
    return st->transparent;
}

kelQuantizeAlpha kelQuantizer::getAlphaMode() const
{
    return st->alpha;
}

int kelQuantizer::nearest(const float rgba[4]) const
{
    if (st->transparent >= 0 && rgba[3] < 127.5f)
        return st->transparent;
    float c[4] = {rgba[0], rgba[1], rgba[2], st->alpha == kelQuantizeFullAlpha ? rgba[3] : 255.0f};
    float p[4];
    kelToSpace(c, p);
    int found = st->search.find(p);
    return found < 0 ? 0 : found;
}

const float* kelQuantizer::entryColor(int index) const
{
    return st->colors[size_t(std::min(std::max(index, 0), int(st->colors.size()) - 1))].data();
}
