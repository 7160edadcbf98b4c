#include "kelCopyChannels.h"

#include <math.h>

#include <algorithm>

bool kelCopyChannels::layoutOf(kelColorModel cm, int nc, Layout& layout)
{
    switch (cm) {
    case kelLuminanceAlpha:
        layout = {{0, 0, 0}, 1, 1};
        break;
    case kelRGB:
        layout = {{0, 1, 2}, 3, -1};
        break;
    case kelRGBA:
        layout = {{0, 1, 2}, 3, 3};
        break;
    case kelBGR:
        layout = {{2, 1, 0}, 3, -1};
        break;
    case kelABGR:
        layout = {{3, 2, 1}, 3, 0};
        break;
    default:
        // Any one channel counts as gray, as when it is spread.
        if (nc != 1)
            return false;
        layout = {{0, 0, 0}, 1, -1};
        break;
    }
    return nc == layout.colors + (layout.alpha >= 0);
}

bool kelCopyChannels::init(kelColorModel fromModel, int fromNc, kelColorModel toModel, int toNc)
{
    fromChans = fromNc;
    toChans = toNc;
    if (!layoutOf(fromModel, fromNc, from) || !layoutOf(toModel, toNc, to))
        return false;
    bool alphaDiffers = (from.alpha >= 0) != (to.alpha >= 0);
    bool spreads = fromNc == 1 && to.alpha < 0;
    return !spreads && (alphaDiffers || from.colors != to.colors);
}

void kelCopyChannels::setValues(double opaqueValue, const double* bg, bool round)
{
    opaque = opaqueValue;
    compose = bg && from.alpha >= 0 && to.alpha < 0;
    for (int i = 0; i < 3; ++i)
        background[i] = bg ? bg[i] * opaque : 0.0;
    rounding = round;
}

void kelCopyChannels::colorsOf(const double* in, double rgb[3], double& alpha) const
{
    for (int i = 0; i < 3; ++i)
        rgb[i] = in[from.color[from.colors == 3 ? i : 0]];
    alpha = from.alpha >= 0 ? in[from.alpha] : opaque;
    if (!compose)
        return;
    double cover = opaque > 0 ? std::min(1.0, std::max(0.0, alpha / opaque)) : 1.0;
    for (int i = 0; i < 3; ++i)
        rgb[i] = rgb[i] * cover + background[i] * (1.0 - cover);
}

void kelCopyChannels::convert(const double* in, double* out, size_t n) const
{
    for (size_t p = 0; p < n; ++p, in += fromChans, out += toChans) {
        double rgb[3], alpha;
        colorsOf(in, rgb, alpha);
        if (to.colors == 1)
            out[to.color[0]] = from.colors == 3 || compose ? 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2] : rgb[0];
        else
            for (int i = 0; i < 3; ++i)
                out[to.color[i]] = rgb[i];
        if (to.alpha >= 0)
            out[to.alpha] = alpha;
        for (int c = 0; rounding && c < toChans; ++c)
            out[c] = nearbyint(out[c]);
    }
}
