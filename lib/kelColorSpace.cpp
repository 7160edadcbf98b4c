#include "kelColorSpace.h"

#include <algorithm>
#include <vector>

#include <kel/kelConverter.h>
#include <kel/kelDataSize.h>

void kelFromSpace(const float* p, float* rgba)
{
    const float a = std::min(255.0f, std::max(0.0f, p[3] / kelSpaceWeight[3]));
    rgba[3] = a;
    for (int c = 0; c < 3; ++c)
        rgba[c] = a > 0 ? std::min(255.0f, std::max(0.0f, p[c] * 255.0f / (kelSpaceWeight[c] * a))) : 0.0f;
}

static double fullIntensity(kelDataType type, double maxValue)
{
    if (maxValue > 0)
        return maxValue;
    return kelDataIsIntegral(type) ? kelDataMax(type) : 1.0;
}

// Converts pieces small enough for the converter's int extents.
static void toFloats(const void* data, kelDataType type, int nc, size_t count, float* out)
{
    const size_t piece = size_t(1) << 20;
    const size_t elementBits = type == kelBit ? 1 : size_t(kelDataSize(type, 1)) * 8;
    for (size_t done = 0; done < count; done += piece) {
        const int n = int(std::min(piece, count - done));
        const size_t offsetBits = done * size_t(nc) * elementBits;
        kelConverter from, to;
        from.init(const_cast<unsigned char*>(static_cast<const unsigned char*>(data)) + offsetBits / 8, type,
                  kelInterleaved, nc, nullptr, n, 1, 1, 0, 0, 0, 0);
        to.init(out + done * size_t(nc), kelFloat, kelInterleaved, nc, nullptr, n, 1, 1, 0, 0, 0, 0);
        to = from;
    }
}

kelStatus kelPixelsToRGBA(const void* data, kelDataType type, int nc, size_t count, double maxValue, float* out)
{
    if (nc < 1 || nc > 4 || (type == kelBit && nc != 1) || (!data && count))
        return kelBADPARAMS;
    const float scale = float(255.0 / fullIntensity(type, maxValue));
    // The values are converted into the end of `out` and spread from the front.
    float* in = out + count * size_t(4 - nc);
    toFloats(data, type, nc, count, in);
    for (size_t i = 0; i < count; ++i, in += nc, out += 4) {
        float v[4];
        for (int c = 0; c < nc; ++c)
            v[c] = std::min(255.0f, std::max(0.0f, in[c] * scale));
        const bool gray = nc < 3;
        out[0] = v[0];
        out[1] = gray ? v[0] : v[1];
        out[2] = gray ? v[0] : v[2];
        out[3] = nc == 2 ? v[1] : nc == 4 ? v[3] : 255.0f;
    }
    return kelOKAY;
}
