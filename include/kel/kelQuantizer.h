/* Color quantization: a colormap of at most N entries chosen for the pixels
   of an image, and the entry nearest to any color. Pixels are added in
   strips (any kel data type, 1 to 4 channels), so an image of any size is
   quantized without being held in memory; the histogram is a color cube of
   bounded size. The colormap is cut by least variance and refined by a few
   k-means passes in a weighted color space; the result depends on the
   pixels only. kelDither maps pixels to the colormap's indices. */
#ifndef KEL_QUANTIZER_H
#define KEL_QUANTIZER_H

#include <stddef.h>

#include <kel/kelExport.h>
#include <kel/kelStatus.h>
#include <kel/kelTypes.h>

/* What the colormap keeps of the pixels' alpha. */
KEL_ENUM(kelQuantizeAlpha) {
    kelQuantizeNoAlpha = 0,          /* alpha is ignored; every entry is opaque */
    kelQuantizeOneTransparent = 1,   /* pixels below half alpha take one transparent entry, the last (GIF) */
    kelQuantizeFullAlpha = 2         /* entries carry alpha (PNG palettes) */
} KEL_ENUM_END(kelQuantizeAlpha);

#ifdef __cplusplus
class kelColormap;

class KEL_API kelQuantizer {
public:
    // `maxColors` from 2 to 256 (clamped).
    explicit kelQuantizer(int maxColors = 256, kelQuantizeAlpha alpha = kelQuantizeNoAlpha);
    ~kelQuantizer();

    // Adds `count` interleaved pixels of `nc` channels: 1 gray, 2 gray and
    // alpha, 3 RGB, 4 RGBA. `maxValue` is full intensity; 0 takes the
    // type's maximum (1 for floating types).
    kelStatus addPixels(const void* data, kelDataType type, int nc, size_t count, double maxValue = 0);
    // Chooses the colormap for the pixels added so far (a black entry when
    // there were none); adding pixels afterwards is refused.
    kelStatus build();
    // Takes a given colormap (R, G, B and an optional alpha channel, values
    // in the map's type's range) instead of building one: a fixed palette,
    // such as black and white for a bitmap.
    kelStatus setColormap(const kelColormap& map);

    // The colormap: unsigned bytes, R, G, B and, where alpha is kept and
    // some entry is not opaque, A. Null before build or setColormap.
    const kelColormap* getColormap() const;
    int getNumColors() const;
    // The entry that transparent pixels take (kelQuantizeOneTransparent), or -1.
    int getTransparentIndex() const;
    kelQuantizeAlpha getAlphaMode() const;

    // The entry nearest to `rgba` (0 to 255 per component) and its color.
    int nearest(const float rgba[4]) const;
    const float* entryColor(int index) const;

    kelQuantizer(const kelQuantizer&) = delete;
    kelQuantizer& operator=(const kelQuantizer&) = delete;

    struct State;

private:
    State* st;
};
#endif

#endif
