#include "kelCopyPalette.h"

#include <math.h>
#include <string.h>

#include <kel/kelColormap.h>
#include <kel/kelConverter.h>
#include <kel/kelDataSize.h>
#include <kel/kelFile.h>

const kelColormap* kelCopySourceColormap(kelFile& src)
{
    const kelColormap* map = nullptr;
    if (src.getColorModel() != kelRGBPalette || src.getColormap(map) != kelOKAY || !map || map->getLength() < 1)
        return nullptr;
    return map;
}

kelColorModel kelCopyExpandedModel(const kelColormap& map)
{
    return map.getNumChans() >= 4 ? kelRGBA : kelRGB;
}

// Channels the map lacks are 0, and an alpha channel opaque.
static double channelValue(const kelColormap& map, int index, int channel)
{
    if (channel < map.getNumChans())
        return map.getVal(index, channel);
    return channel == 3 ? kelDataMax(map.getDataType()) : 0.0;
}

bool kelCopyPalette::init(const kelColormap& map, kelDataType type, int nc, std::string& problem)
{
    const double lo = floor(map.getDomainMin()), hi = ceil(map.getDomainMax());
    if (!(hi - lo < 65536.0) || lo < -2147483648.0 || hi > 2147483647.0) {
        problem = "its colormap is too large to expand";
        return false;
    }
    first = int(lo);
    last = int(hi);
    colorType = type == kelBit ? kelUChar : type;
    const int length = last - first + 1;
    std::vector<double> values(size_t(length) * size_t(nc));
    for (int i = 0; i < length; ++i)
        for (int c = 0; c < nc; ++c)
            values[size_t(i) * size_t(nc) + size_t(c)] = channelValue(map, first + i, c);
    colorBytes = kelDataSize(colorType, nc);
    colors.assign(colorBytes * size_t(length), 0);
    // The destination's conversion rules turn the values into its type.
    kelConverter from, to;
    from.init(values.data(), kelDouble, kelInterleaved, nc, nullptr, length, 1, 1, 0, 0, 0, 0);
    to.init(colors.data(), colorType, kelInterleaved, nc, nullptr, length, 1, 1, 0, 0, 0, 0);
    to = from;
    return true;
}

void kelCopyPalette::expand(const int* indices, size_t count, unsigned char* out) const
{
    for (size_t i = 0; i < count; ++i, out += colorBytes) {
        const int v = indices[i] < first ? first : indices[i] > last ? last : indices[i];
        memcpy(out, colors.data() + size_t(v - first) * colorBytes, colorBytes);
    }
}
