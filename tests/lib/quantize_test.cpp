// The quantizer on deterministic pictures, and the dithering methods on a
// gray ramp.
#include <math.h>

#include <vector>

#include <gtest/gtest.h>

#include <kel/kelColormap.h>
#include <kel/kelDither.h>
#include <kel/kelQuantizer.h>

namespace {

using Bytes = std::vector<unsigned char>;
const int W = 96, H = 64;

// Smooth shading with noise (photo-like), or six flat colors; with a
// transparent quarter where `holes`.
Bytes picture(bool flat, bool holes)
{
    Bytes rgba;
    unsigned seed = 1;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            seed = seed * 1103515245u + 12345u;
            double n = flat ? 0 : double(seed >> 16 & 15) - 7.5;
            int band = x * 6 / W;
            double r = flat ? band * 40 : 128 + 100 * sin(x / 13.0 + y / 21.0) + n;
            double g = flat ? 250 - band * 37 : 128 + 90 * cos(y / 9.0) + n;
            double b = flat ? (band % 2) * 200 : (x + 2 * y) % 256 * 0.8 + n;
            for (double v : {r, g, b, holes && x < W / 2 && y < H / 2 ? 0.0 : 255.0})
                rgba.push_back((unsigned char)lrint(fmin(255, fmax(0, v))));
        }
    return rgba;
}

// Over premultiplied colors: a transparent pixel's color does not count.
double psnr(const Bytes& rgba, const kelQuantizer& q, const Bytes& indices)
{
    double sum = 0;
    for (size_t i = 0; i < indices.size(); ++i) {
        const unsigned char* p = &rgba[i * 4];
        const float* e = q.entryColor(indices[i]);
        for (int c = 0; c < 4; ++c)
            sum += pow((c < 3 ? p[c] * p[3] / 255.0 : p[3]) - (c < 3 ? e[c] * e[3] / 255.0 : e[3]), 2);
    }
    return sum ? 10 * log10(255.0 * 255.0 * 4 * double(indices.size()) / sum) : 99;
}

Bytes mapAll(const kelQuantizer& q, const Bytes& rgba, kelDitherMethod method, int rowsPerCall = H)
{
    Bytes indices(size_t(W) * H);
    kelDither d(q, method, W);
    for (int y = 0; y < H; y += rowsPerCall)
        EXPECT_EQ(d.mapRows(&rgba[size_t(y) * W * 4], kelUChar, 4, rowsPerCall, &indices[size_t(y) * W]), kelOKAY);
    return indices;
}

TEST(Quantizer, FewColorsHighFidelityAndDeterministic)
{
    struct Case {
        bool flat, holes;
        int colors;
        kelQuantizeAlpha alpha;
        double floor; // PSNR in dB, undithered
    } cases[] = {
        {false, false, 256, kelQuantizeNoAlpha, 33},        {false, false, 16, kelQuantizeNoAlpha, 23},
        {false, true, 64, kelQuantizeOneTransparent, 30.5}, {false, true, 64, kelQuantizeFullAlpha, 30.5},
        {true, false, 6, kelQuantizeNoAlpha, 99},          {true, true, 7, kelQuantizeOneTransparent, 99},
    };
    for (const Case& c : cases) {
        const Bytes rgba = picture(c.flat, c.holes);
        kelQuantizer q(c.colors, c.alpha), again(c.colors, c.alpha);
        ASSERT_EQ(q.addPixels(rgba.data(), kelUChar, 4, rgba.size() / 4), kelOKAY);
        ASSERT_EQ(q.build(), kelOKAY);
        // In strips of other sizes and as floats: the same colormap.
        std::vector<float> floats(rgba.begin(), rgba.end());
        for (size_t at = 0, n = 1; at < floats.size() / 4; at += n, n = n * 3 + 1)
            again.addPixels(&floats[at * 4], kelFloat, 4, std::min(n, floats.size() / 4 - at), 255);
        ASSERT_EQ(again.build(), kelOKAY);
        EXPECT_EQ(q.getColormap()->isDiff(*again.getColormap()), 0);
        EXPECT_LE(q.getNumColors(), c.colors);
        EXPECT_EQ(q.getTransparentIndex(), c.alpha == kelQuantizeOneTransparent ? q.getNumColors() - 1 : -1);
        EXPECT_GE(psnr(rgba, q, mapAll(q, rgba, kelDitherNone)), c.floor)
            << "flat " << c.flat << " colors " << c.colors << " alpha " << c.alpha;
    }
}

// A ramp from black to white in black and white: dithering keeps each
// 16 x 16 block's mean gray, in one call or row by row; no dithering is a
// threshold at half.
TEST(Dither, BitmapsKeepTheGrayLevel)
{
    Bytes ramp;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ramp.insert(ramp.end(), {(unsigned char)(x * 255 / (W - 1)), (unsigned char)(x * 255 / (W - 1)),
                                     (unsigned char)(x * 255 / (W - 1)), 255});
    unsigned char bw[6] = {0, 255, 0, 255, 0, 255};
    kelQuantizer q(2);
    ASSERT_EQ(q.setColormap(kelColormap(bw, 3, kelUChar, 0, 1)), kelOKAY);
    for (kelDitherMethod m : {kelDitherFloydSteinberg, kelDitherOrdered}) {
        Bytes bits = mapAll(q, ramp, m);
        EXPECT_EQ(bits, mapAll(q, ramp, m, 1));
        for (int by = 0; by < H; by += 16)
            for (int bx = 0; bx < W; bx += 16) {
                double got = 0, want = 0;
                for (int y = by; y < by + 16; ++y)
                    for (int x = bx; x < bx + 16; ++x) {
                        got += bits[size_t(y) * W + size_t(x)] * 255.0;
                        want += ramp[(size_t(y) * W + size_t(x)) * 4];
                    }
                EXPECT_NEAR(got / 256, want / 256, 12) << "method " << m << " block " << bx << "," << by;
            }
    }
    Bytes plain = mapAll(q, ramp, kelDitherNone);
    for (int x = 0; x < W; ++x)
        EXPECT_EQ(plain[size_t(x)], ramp[size_t(x) * 4] >= 128) << x;
}

} // namespace
