#include <kel/kelFrameComposer.h>

#include <limits.h>
#include <math.h>
#include <string.h>

#include <algorithm>
#include <new>
#include <vector>

#include <kel/kelCoord.h>
#include <kel/kelFile.h>
#include <kel/kelLimits.h>
#include <kel/kelTile.h>

#include "kelFrameItems.h"
#include "kelFramePixels.h"

namespace {

// Rows of a frame read at once.
const int stripRows = 64;

using Box = kelTile2D<int>;

kelFrameDisposal disposalOf(int v)
{
    return v == kelDisposeBackground || v == kelDisposePrevious ? kelFrameDisposal(v) : kelDisposeNone;
}

int delayOf(kelFile& file)
{
    int v = 0;
    if (kelReadRole(file, kelTagRoleDelayMs, &v))
        return std::max(v, 0);
    if (kelReadRole(file, kelTagRoleDelayCs, &v))
        return v > INT_MAX / 10 ? INT_MAX : std::max(v, 0) * 10;
    return -1;
}

kelStatus readFrame(kelFile& file, kelFrameInfo& f)
{
    kelSize size;
    file.getDimensions(size);
    int v = 0;
    f.left = kelReadRole(file, kelTagRoleLeft, &v) ? v : 0;
    f.top = kelReadRole(file, kelTagRoleTop, &v) ? v : 0;
    f.width = std::max(size.x, 0);
    f.height = std::max(size.y, 0);
    f.delayMs = delayOf(file);
    f.disposal = kelReadRole(file, kelTagRoleDisposal, &v) ? disposalOf(v) : kelDisposeNone;
    f.blend = kelReadRole(file, kelTagRoleBlend, &v) && v == kelBlendSource ? kelBlendSource : kelBlendOver;
    kelFramePixels pixels;
    f.hasAlpha = pixels.init(file) == kelOKAY && pixels.hasAlpha();
    return kelOKAY;
}

Box rectOf(const kelFrameInfo& f)
{
    return Box(f.left, f.top, f.width, f.height);
}

unsigned char toByte(float v)
{
    return (unsigned char)lrintf(std::min(255.0f, std::max(0.0f, v)));
}

void blendPixel(const float* src, unsigned char* dst, kelFrameBlend blend)
{
    const float sa = src[3] / 255.0f;
    if (blend == kelBlendSource || src[3] >= 255.0f || dst[3] == 0) {
        if (blend == kelBlendSource || src[3] > 0)
            for (int c = 0; c < 4; ++c)
                dst[c] = toByte(src[c]);
        return;
    }
    if (src[3] <= 0)
        return;
    const float da = dst[3] / 255.0f * (1 - sa), a = sa + da;
    for (int c = 0; c < 3; ++c)
        dst[c] = toByte((src[c] * sa + dst[c] * da) / a);
    dst[3] = toByte(a * 255.0f);
}

} // namespace

struct kelFrameComposer::State {
    kelFile& file;
    int width = 0, height = 0, loop = -1;
    std::vector<kelFrameInfo> frames;
    std::vector<unsigned char> canvas;
    std::vector<unsigned char> saved; // under the frame to be restored
    Box savedBox;
    int next = 0; // the frame the canvas waits for
    std::vector<float> strip;

    explicit State(kelFile& f) : file(f) {}

    Box visible(const kelFrameInfo& f) const
    {
        Box b;
        b.intersect(rectOf(f), Box(0, 0, width, height));
        return b.nx > 0 && b.ny > 0 ? b : Box();
    }
    unsigned char* at(int x, int y) { return &canvas[(size_t(y) * size_t(width) + size_t(x)) * 4]; }
    void copyBox(const Box& b, bool save);
    void dispose(const kelFrameInfo& f);
    kelStatus draw(int index);
    kelStatus step(int index);
    bool covers(int index) const;
};

// Saves the canvas under `b`, or puts it back.
void kelFrameComposer::State::copyBox(const Box& b, bool save)
{
    const size_t rowBytes = size_t(b.nx) * 4;
    if (save)
        saved.resize(rowBytes * size_t(b.ny));
    for (int y = 0; y < b.ny; ++y) {
        unsigned char* c = at(b.x, b.y + y);
        unsigned char* s = &saved[size_t(y) * rowBytes];
        memcpy(save ? s : c, save ? c : s, rowBytes);
    }
}

void kelFrameComposer::State::dispose(const kelFrameInfo& f)
{
    Box b = visible(f);
    if (f.disposal == kelDisposePrevious && b == savedBox && b.nx > 0)
        copyBox(b, false);
    else if (f.disposal == kelDisposeBackground)
        for (int y = 0; y < b.ny; ++y)
            memset(at(b.x, b.y + y), 0, size_t(b.nx) * 4);
}

kelStatus kelFrameComposer::State::draw(int index)
{
    const kelFrameInfo& f = frames[size_t(index)];
    const Box b = visible(f);
    if (b.nx <= 0)
        return kelOKAY;
    kelFramePixels pixels;
    kelStatus sts = pixels.init(file);
    for (int y = 0; sts == kelOKAY && y < b.ny; y += stripRows) {
        const int rows = std::min(stripRows, b.ny - y);
        strip.resize(size_t(b.nx) * size_t(rows) * 4);
        sts = pixels.read(b.x - f.left, b.y + y - f.top, b.nx, rows, strip.data());
        for (int r = 0; sts == kelOKAY && r < rows; ++r)
            for (int x = 0; x < b.nx; ++x)
                blendPixel(&strip[(size_t(r) * size_t(b.nx) + size_t(x)) * 4], at(b.x + x, b.y + y + r), f.blend);
    }
    return sts;
}

kelStatus kelFrameComposer::State::step(int index)
{
    if (index > 0)
        dispose(frames[size_t(index) - 1]);
    const kelFrameInfo& f = frames[size_t(index)];
    if (f.disposal == kelDisposePrevious) {
        savedBox = visible(f);
        copyBox(savedBox, true);
    }
    kelStatus sts = file.setCurrentImg(index);
    return sts == kelOKAY ? draw(index) : sts;
}

// The frame leaves no pixel of the canvas transparent.
bool kelFrameComposer::State::covers(int index) const
{
    const kelFrameInfo& f = frames[size_t(index)];
    return !f.hasAlpha && rectOf(f).contains(Box(0, 0, width, height));
}

kelFrameComposer::kelFrameComposer(kelFile& file) : st(new State(file)) {}

kelFrameComposer::~kelFrameComposer()
{
    delete st;
}

kelStatus kelFrameComposer::init()
{
    const int n = st->file.getNumImgs();
    st->frames.assign(size_t(std::max(n, 0)), kelFrameInfo());
    long long right = 0, bottom = 0;
    for (int i = 0; i < n; ++i) {
        kelStatus sts = st->file.setCurrentImg(i);
        if (sts == kelOKAY)
            sts = readFrame(st->file, st->frames[size_t(i)]);
        if (sts != kelOKAY)
            return sts;
        const kelFrameInfo& f = st->frames[size_t(i)];
        right = std::max(right, (long long)f.left + f.width);
        bottom = std::max(bottom, (long long)f.top + f.height);
    }
    int w = 0, h = 0;
    bool sized = kelReadRole(st->file, kelTagRoleCanvasWidth, &w) && kelReadRole(st->file, kelTagRoleCanvasHeight, &h);
    st->width = sized && w > 0 ? w : int(std::min<long long>(right, INT_MAX));
    st->height = sized && h > 0 ? h : int(std::min<long long>(bottom, INT_MAX));
    int loop = -1;
    st->loop = kelReadRole(st->file, kelTagRoleLoopCount, &loop) ? loop : -1;
    st->next = 0;
    st->canvas.clear();
    if (n < 1 || st->width <= 0 || st->height <= 0)
        return kelBADPARAMS;
    return kelCheckPageBytes((unsigned long long)st->width * (unsigned long long)st->height * 4,
                             "kelFrameComposer::init()");
}

int kelFrameComposer::getNumFrames() const
{
    return int(st->frames.size());
}

int kelFrameComposer::getCanvasWidth() const
{
    return st->width;
}

int kelFrameComposer::getCanvasHeight() const
{
    return st->height;
}

int kelFrameComposer::getLoopCount() const
{
    return st->loop;
}

kelStatus kelFrameComposer::getFrameInfo(int frame, kelFrameInfo& info) const
{
    if (frame < 0 || frame >= getNumFrames())
        return kelFILEINDEXOOB;
    info = st->frames[size_t(frame)];
    return kelOKAY;
}

int kelFrameComposer::hasTransparency() const
{
    const int n = getNumFrames();
    if (n < 1 || !st->covers(0))
        return 1;
    for (int i = 0; i < n; ++i) {
        const kelFrameInfo& f = st->frames[size_t(i)];
        bool uncovers = f.disposal != kelDisposeNone && i + 1 < n && !st->covers(i + 1);
        if (f.hasAlpha || uncovers)
            return 1;
    }
    return 0;
}

kelStatus kelFrameComposer::compose(int frame, unsigned char* rgba)
{
    if (frame < 0 || frame >= getNumFrames() || !rgba)
        return kelFILEINDEXOOB;
    try {
        if (st->canvas.empty() || frame < st->next) {
            st->canvas.assign(size_t(st->width) * size_t(st->height) * 4, 0);
            st->next = 0;
            st->savedBox = Box();
        }
        while (st->next <= frame) {
            kelStatus sts = st->step(st->next);
            if (sts != kelOKAY) {
                st->next = getNumFrames(); // start again next time
                return sts;
            }
            ++st->next;
        }
    } catch (const std::bad_alloc&) {
        st->next = getNumFrames();
        return kelMALLOCFAILED;
    }
    memcpy(rgba, st->canvas.data(), st->canvas.size());
    return kelOKAY;
}
