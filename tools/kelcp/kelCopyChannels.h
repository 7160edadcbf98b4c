// Pixels whose color model differs from the destination's in alpha, or in
// being gray or color, made over into the destination's channels: alpha
// added (opaque) or dropped, or the colors composed over a background
// first; gray spread over R, G and B, or RGB made gray by Rec. 601 weights.
#ifndef KEL_COPY_CHANNELS_H
#define KEL_COPY_CHANNELS_H

#include <stddef.h>

#include <kel/kelTypes.h>

class kelCopyChannels {
public:
    // False when the channels go across as they are: the same layout, one
    // channel spread over a destination without alpha, or a model whose
    // channels are neither gray nor R, G, B (with or without alpha).
    bool init(kelColorModel from, int fromChans, kelColorModel to, int toChans);

    // `opaque` is the alpha of an opaque source pixel and the source's
    // largest color value; added alpha gets it. With `background` (R, G, B
    // from 0 to 1), colors with alpha are composed over it where the
    // destination has none. `round`: the destination holds whole numbers.
    void setValues(double opaque, const double* background, bool round);

    int sourceChannels() const { return fromChans; }

    // n pixels of the source's channels in, of the destination's out.
    void convert(const double* in, double* out, size_t n) const;

private:
    struct Layout {
        int color[3]; // channel of R, G, B; of gray alone when colors is 1
        int colors;
        int alpha;    // -1: none
    };
    static bool layoutOf(kelColorModel cm, int nc, Layout& layout);
    void colorsOf(const double* in, double rgb[3], double& alpha) const;

    Layout from{}, to{};
    int fromChans = 0;
    int toChans = 0;
    double opaque = 255.0;
    bool compose = false;
    double background[3] = {0, 0, 0};
    bool rounding = false;
};

#endif
