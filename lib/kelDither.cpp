#include <kel/kelDither.h>

#include <math.h>

#include <algorithm>
#include <new>
#include <vector>

#include <kel/kelDataSize.h>
#include <kel/kelQuantizer.h>

#include "kelColorSpace.h"

namespace {

const unsigned char bayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

float clampByte(float v)
{
    return std::min(255.0f, std::max(0.0f, v));
}

} // namespace

struct kelDither::State {
    const kelQuantizer& q;
    kelDitherMethod method;
    int width;
    long row = 0;
    std::vector<float> rgba;
    // Errors owed to this row and the next, with a pixel of margin each side.
    std::vector<float> here, next;
    int diffusedChannels;
    float spread;

    State(const kelQuantizer& quantizer, kelDitherMethod m, int w) : q(quantizer), method(m), width(std::max(w, 0))
    {
        diffusedChannels = q.getAlphaMode() == kelQuantizeFullAlpha ? 4 : 3;
        // The threshold matrix spans about the distance between neighbouring entries.
        spread = 255.0f / std::max(1.0f, cbrtf(float(std::max(q.getNumColors(), 2))) - 1.0f);
    }
    void plainRow(unsigned char* out) const;
    void orderedRow(unsigned char* out) const;
    void diffusedRow(unsigned char* out);
};

// A pixel like the one before it takes its entry without a search.
void kelDither::State::plainRow(unsigned char* out) const
{
    const float* last = nullptr;
    for (int x = 0; x < width; ++x) {
        const float* p = &rgba[size_t(x) * 4];
        bool same = last && p[0] == last[0] && p[1] == last[1] && p[2] == last[2] && p[3] == last[3];
        out[x] = same ? out[x - 1] : (unsigned char)q.nearest(p);
        last = p;
    }
}

void kelDither::State::orderedRow(unsigned char* out) const
{
    for (int x = 0; x < width; ++x) {
        const float* p = &rgba[size_t(x) * 4];
        const float offset = ((bayer8[row & 7][x & 7] + 0.5f) / 64.0f - 0.5f) * spread;
        float v[4] = {clampByte(p[0] + offset), clampByte(p[1] + offset), clampByte(p[2] + offset), p[3]};
        out[x] = (unsigned char)q.nearest(v);
    }
}

// Floyd-Steinberg, every other row from right to left.
void kelDither::State::diffusedRow(unsigned char* out)
{
    const int dir = (row & 1) ? -1 : 1;
    std::fill(next.begin(), next.end(), 0.0f);
    for (int i = 0; i < width; ++i) {
        const int x = dir > 0 ? i : width - 1 - i;
        const float* p = &rgba[size_t(x) * 4];
        float* e = &here[size_t(x + 1) * 4];
        float v[4] = {p[0], p[1], p[2], p[3]};
        for (int c = 0; c < diffusedChannels; ++c)
            v[c] = clampByte(v[c] + e[c]);
        const int index = q.nearest(v);
        out[x] = (unsigned char)index;
        if (index == q.getTransparentIndex())
            continue;
        const float* got = q.entryColor(index);
        for (int c = 0; c < diffusedChannels; ++c) {
            const float err = v[c] - got[c];
            here[size_t(x + 1 + dir) * 4 + size_t(c)] += err * (7.0f / 16);
            next[size_t(x + 1 - dir) * 4 + size_t(c)] += err * (3.0f / 16);
            next[size_t(x + 1) * 4 + size_t(c)] += err * (5.0f / 16);
            next[size_t(x + 1 + dir) * 4 + size_t(c)] += err * (1.0f / 16);
        }
    }
    here.swap(next);
}

kelDither::kelDither(const kelQuantizer& quantizer, kelDitherMethod method, int width)
    : st(new State(quantizer, method, width))
{
}

kelDither::~kelDither()
{
    delete st;
}

kelStatus kelDither::mapRows(const void* data, kelDataType type, int nc, int rows, unsigned char* indices,
                             double maxValue)
{
    if (!st->q.getColormap() || rows < 0 || (rows && !indices))
        return kelBADPARAMS;
    const size_t w = size_t(st->width);
    try {
        st->rgba.resize(w * 4);
        if (st->method == kelDitherFloydSteinberg && st->here.empty()) {
            st->here.assign((w + 2) * 4, 0.0f);
            st->next.assign((w + 2) * 4, 0.0f);
        }
    } catch (const std::bad_alloc&) {
        return kelMALLOCFAILED;
    }
    const size_t rowBytes = (w * size_t(nc) * (type == kelBit ? 1 : size_t(kelDataSize(type, 1)) * 8) + 7) / 8;
    for (int y = 0; y < rows; ++y, ++st->row) {
        kelStatus sts = kelPixelsToRGBA(static_cast<const unsigned char*>(data) + size_t(y) * rowBytes, type, nc, w,
                                        maxValue, st->rgba.data());
        if (sts != kelOKAY)
            return sts;
        unsigned char* out = indices + size_t(y) * w;
        if (st->method == kelDitherFloydSteinberg)
            st->diffusedRow(out);
        else if (st->method == kelDitherOrdered)
            st->orderedRow(out);
        else
            st->plainRow(out);
    }
    return kelOKAY;
}
