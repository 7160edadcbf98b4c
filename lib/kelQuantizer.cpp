#include <kel/kelQuantizer.h>

#include <math.h>

#include <algorithm>
#include <map>
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
// its mean is exact however coarse the cell.
const size_t cubeCells = size_t(1) << 18;
const int kMeansPasses = 3;

struct Cell {
    double w;
    double s[4];
};

unsigned byteOf(float v)
{
    return unsigned(lrintf(v));
}

} // namespace

struct kelQuantizer::State {
    int maxColors;
    kelQuantizeAlpha alpha;
    bool built = false;
    std::vector<Cell> cube;
    // The distinct colors while there are no more than maxColors of them:
    // then each keeps its exact color.
    std::map<unsigned, double> exact;
    bool tooMany = false;
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
    void noteExact(const float* c);
    std::vector<kelSpacePoint> choose(int budget);
    void finish();
};

void kelQuantizer::State::noteExact(const float* c)
{
    unsigned key = byteOf(c[0]) << 24 | byteOf(c[1]) << 16 | byteOf(c[2]) << 8 | byteOf(c[3]);
    auto it = exact.find(key);
    if (it != exact.end()) {
        it->second += 1;
    } else if (int(exact.size()) < maxColors) {
        exact.emplace(key, 1.0);
    } else {
        tooMany = true;
        exact.clear();
    }
}

void kelQuantizer::State::add(float* c)
{
    if (alpha == kelQuantizeOneTransparent && c[3] < 127.5f) {
        transparentSeen = true;
        return;
    }
    settle(c);
    if (!tooMany)
        noteExact(c);
    float p[4];
    kelToSpace(c, p);
    Cell& cell = cube[cellOf(c)];
    cell.w += 1;
    for (int d = 0; d < 4; ++d)
        cell.s[d] += p[d];
}

// The colors of the entries that are not the transparent one.
std::vector<kelSpacePoint> kelQuantizer::State::choose(int budget)
{
    std::vector<kelSpacePoint> chosen;
    if (!tooMany && int(exact.size()) <= budget) {
        for (const auto& e : exact)
            chosen.push_back({float(e.first >> 24), float(e.first >> 16 & 255), float(e.first >> 8 & 255),
                              float(e.first & 255)});
        return chosen;
    }
    std::vector<kelColorPoint> points;
    for (const Cell& cell : cube)
        if (cell.w > 0)
            points.push_back({{float(cell.s[0] / cell.w), float(cell.s[1] / cell.w), float(cell.s[2] / cell.w),
                               float(cell.s[3] / cell.w)},
                              cell.w});
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
    std::vector<float> rgba;
    try {
        if (st->cube.empty())
            st->cube.assign(cubeCells, Cell{0, {0, 0, 0, 0}});
        rgba.resize(piece * 4);
    } catch (const std::bad_alloc&) {
        return kelMALLOCFAILED;
    }
    const size_t pixelBits = size_t(nc) * (type == kelBit ? 1 : size_t(kelDataSize(type, 1)) * 8);
    for (size_t done = 0; done < count; done += piece) {
        const size_t n = std::min(piece, count - done);
        kelStatus sts = kelPixelsToRGBA(static_cast<const unsigned char*>(data) + done * pixelBits / 8, type, nc, n,
                                        maxValue, rgba.data());
        if (sts != kelOKAY)
            return sts;
        for (size_t i = 0; i < n; ++i)
            st->add(&rgba[i * 4]);
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
