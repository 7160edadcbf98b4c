#include "kelFramePixels.h"

#include <math.h>

#include <algorithm>
#include <new>

#include <kel/kelColormap.h>
#include <kel/kelConfig.h>
#include <kel/kelDataSize.h>
#include <kel/kelFile.h>

#include "kelColorSpace.h"

kelStatus kelFramePixels::initPalette()
{
    const kelColormap* map = nullptr;
    if (file->getColormap(map) != kelOKAY || !map || map->getLength() < 1 || map->getLength() > 65536 ||
        map->getNumChans() < 3)
        return kelUNSUPPORTEDBYFILE;
    const double scale = 255.0 / (kelDataIsIntegral(map->getDataType()) ? kelDataMax(map->getDataType()) : 1.0);
    first = int(floor(map->getDomainMin()));
    alpha = map->getNumChans() >= 4;
    palette.clear();
    for (int i = 0; i < map->getLength(); ++i) {
        kelSpacePoint c{0, 0, 0, 255};
        for (int k = 0; k < std::min(4, map->getNumChans()); ++k)
            c[size_t(k)] = float(std::min(255.0, std::max(0.0, map->getVal(first + i, k) * scale)));
        palette.push_back(c);
    }
    return kelOKAY;
}

kelStatus kelFramePixels::init(kelFile& f)
{
    file = &f;
    cm = f.getColorModel();
    nc = f.getCsize();
    const kelDataType type = f.getDataType();
    maxValue = kelDataIsIntegral(type) ? kelDataMax(type) : 1.0;
    alpha = cm == kelRGBA || cm == kelLuminanceAlpha;
    if (cm == kelRGBPalette)
        return nc == 1 ? initPalette() : kelUNSUPPORTEDBYLIBRARY;
    bool known = (cm == kelLuminance && nc == 1) || (cm == kelNegative && nc == 1) ||
                 (cm == kelLuminanceAlpha && nc == 2) || (cm == kelRGB && nc == 3) || (cm == kelRGBA && nc == 4);
    return known ? kelStatus(kelOKAY) : kelStatus(kelUNSUPPORTEDBYLIBRARY);
}

kelStatus kelFramePixels::read(int x, int y, int cols, int rows, float* rgba)
{
    const size_t pixels = size_t(cols) * size_t(rows);
    try {
        if (cm == kelRGBPalette)
            indices.resize(pixels);
        else
            values.resize(pixels * size_t(nc));
    } catch (const std::bad_alloc&) {
        return kelMALLOCFAILED;
    }
    if (cm == kelRGBPalette) {
        kelConfig asIndices(kelInt, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
        kelStatus sts = file->getTile(x, y, 0, cols, rows, 1, indices.data(), &asIndices);
        for (size_t i = 0; sts == kelOKAY && i < pixels; ++i) {
            long k = std::min(std::max(long(indices[i]) - first, 0L), long(palette.size()) - 1);
            std::copy(palette[size_t(k)].begin(), palette[size_t(k)].end(), rgba + i * 4);
        }
        return sts;
    }
    kelConfig asFloats(kelFloat, kelInterleaved, nc, nullptr, 0, kelUpperLeftOrigin);
    kelStatus sts = file->getTile(x, y, 0, cols, rows, 1, values.data(), &asFloats);
    if (sts == kelOKAY && cm == kelNegative)
        for (float& v : values)
            v = float(maxValue) - v;
    return sts == kelOKAY ? kelPixelsToRGBA(values.data(), kelFloat, nc, pixels, maxValue, rgba) : sts;
}
