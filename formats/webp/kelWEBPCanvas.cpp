#include "kelWEBPCanvas.h"

#include <kel/kelTagDescription.h>

#include <errno.h>
#include <string.h>

#include <algorithm>
#include <new>

namespace {

// Non-premultiplied "over" in libwebp's integer arithmetic, so that the
// canvases written are those its decoder shows for the same frames.
void over(unsigned char* dst, const unsigned char* src)
{
    const unsigned sa = src[3];
    if (sa == 255) {
        memcpy(dst, src, 4);
        return;
    }
    if (sa == 0)
        return;
    const unsigned da = (dst[3] * (256 - sa)) >> 8;
    const unsigned a = sa + da;
    const unsigned scale = (1u << 24) / a;
    for (int c = 0; c < 3; c++)
        dst[c] = (unsigned char)(((src[c] * sa + dst[c] * da) * scale) >> 24);
    dst[3] = (unsigned char)a;
}

} // namespace

kelStatus kelWEBPCanvas::start(int w, int h)
{
    width = w;
    height = h;
    try {
        rgba.assign(size_t(w) * size_t(h) * 4, 0);
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    lastDispose = kelDisposeNone;
    return kelOKAY;
}

kelWEBPCanvas::Box kelWEBPCanvas::clip(const kelWEBPFrameInfo& where) const
{
    Box b = {std::min(where.left, width), std::min(where.top, height), 0, 0};
    b.x1 = int(std::min<long long>(width, (long long)where.left + where.width));
    b.y1 = int(std::min<long long>(height, (long long)where.top + where.height));
    return b;
}

void kelWEBPCanvas::disposeLast()
{
    const size_t row = size_t(width) * 4;
    for (int y = last.y0; y < last.y1; y++) {
        const size_t at = size_t(y) * row + size_t(last.x0) * 4, n = size_t(last.x1 - last.x0) * 4;
        if (lastDispose == kelDisposeBackground)
            memset(&rgba[at], 0, n);
        else if (lastDispose == kelDisposePrevious)
            memcpy(&rgba[at], &saved[at], n);
    }
}

void kelWEBPCanvas::blendRow(unsigned char* to, const unsigned char* from, int count, int channels, int blend) const
{
    for (int x = 0; x < count; x++, to += 4, from += channels) {
        if (channels == 3) {
            memcpy(to, from, 3);
            to[3] = 255;
        } else if (blend == kelBlendSource) {
            memcpy(to, from, 4);
        } else {
            over(to, from);
        }
    }
}

kelStatus kelWEBPCanvas::draw(const kelWEBPPicture& frame, const kelWEBPFrameInfo& where)
{
    disposeLast();
    if (where.dispose == kelDisposePrevious) {
        try {
            saved = rgba;
        } catch (const std::bad_alloc&) {
            return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
        }
    }
    const Box b = clip(where);
    for (int y = b.y0; y < b.y1; y++)
        blendRow(&rgba[(size_t(y) * size_t(width) + size_t(b.x0)) * 4],
                 frame.pixels + size_t(y - where.top) * frame.stride, b.x1 - b.x0, frame.channels, where.blend);
    last = b;
    lastDispose = where.dispose;
    return kelOKAY;
}

kelWEBPPicture kelWEBPCanvas::picture() const
{
    return {rgba.data(), width, height, 4, size_t(width) * 4};
}
