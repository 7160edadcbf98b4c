#include "kelCopyFrames.h"

#include <math.h>
#include <string.h>

#include <kel/kelConfig.h>
#include <kel/kelFile.h>
#include <kel/kelFormat.h>
#include <kel/kelFrameComposer.h>

#include "kelCopyOptions.h"
#include "kelCopyQuantize.h"

namespace {

int channelsOf(kelColorModel cm)
{
    return cm == kelRGBA ? 4 : cm == kelRGB ? 3 : 1;
}

kelColorModel frameModel(const kelFrameComposer& comp, kelFormat* format, const kelCopyOptions& opts)
{
    if (opts.cm)
        return opts.cm;
    if (comp.hasTransparency() && format->colorModelIsSupported(kelRGBA))
        return kelRGBA;
    if (format->colorModelIsSupported(kelRGB))
        return kelRGB;
    return format->getPreferredColorModel(4);
}

// RGBA over the background: RGB.
void flatten(std::vector<unsigned char>& canvas, size_t pixels, const double* background)
{
    for (size_t i = 0; i < pixels; ++i) {
        const unsigned char* p = &canvas[i * 4];
        const double a = p[3] / 255.0;
        for (int c = 0; c < 3; ++c)
            canvas[i * 3 + size_t(c)] = (unsigned char)lrint(p[c] * a + background[c] * 255.0 * (1 - a));
    }
}

} // namespace

kelFileConfig kelCopyFrameConfig(const kelFrameComposer& comp, kelFormat* format, const kelCopyOptions& opts)
{
    kelColorModel cm = frameModel(comp, format, opts);
    kelSize size(comp.getCanvasWidth(), comp.getCanvasHeight(), 1, channelsOf(cm));
    kelDataType type = opts.dtype ? opts.dtype : format->typeIsSupported(kelUChar) ? kelUChar : kelDataType(0);
    return kelFileConfig(&size, type, opts.order, cm, opts.orientation, opts.compression, &opts.pageSize);
}

kelStatus kelCopyComposedFrame(kelFrameComposer& comp, int frame, kelFile& dst, const kelCopyOptions& opts,
                               std::vector<unsigned char>& canvas, std::string& problem)
{
    const int w = comp.getCanvasWidth(), h = comp.getCanvasHeight();
    const size_t pixels = size_t(w) * size_t(h);
    canvas.resize(pixels * 4);
    kelStatus sts = comp.compose(frame, canvas.data());
    if (sts != kelOKAY)
        return sts;
    if (kelCopyQuantizes(dst, false, kelUChar)) {
        kelCopyRows rows;
        rows.width = w;
        rows.height = h;
        rows.type = kelUChar;
        rows.nc = 4;
        const unsigned char* at = canvas.data();
        rows.read = [at, w](int y, int n, void* into) {
            memcpy(into, at + size_t(y) * size_t(w) * 4, size_t(n) * size_t(w) * 4);
            return kelStatus(kelOKAY);
        };
        return kelCopyQuantized(rows, dst, {opts.colors ? opts.colors : 256, opts.dither, opts.stripBytes}, problem);
    }
    const int nc = dst.getCsize();
    if (!((dst.getColorModel() == kelRGBA && nc == 4) || (dst.getColorModel() == kelRGB && nc == 3))) {
        problem = "composed frames are RGB, RGBA, palette images or bitmaps; choose --colormodel rgb or rgba";
        return kelBADPARAMS;
    }
    if (nc == 3)
        flatten(canvas, pixels, opts.background.rgb);
    kelConfig bytes(kelUChar, kelInterleaved, nc, nullptr, 0, kelUpperLeftOrigin);
    return dst.setTile(0, 0, 0, w, h, 1, canvas.data(), &bytes);
}
