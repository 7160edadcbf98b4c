#include "kelCopyQuantize.h"

#include <algorithm>
#include <new>
#include <vector>

#include <kel/kelColormap.h>
#include <kel/kelConfig.h>
#include <kel/kelDataSize.h>
#include <kel/kelFile.h>
#include <kel/kelQuantizer.h>
#include <kel/kelTag.h>

#include "kelToolErrorLog.h"
#include "kelToolItems.h"

namespace {

bool isBitmap(const kelFile& f)
{
    return f.getDataType() == kelBit && (f.getColorModel() == kelLuminance || f.getColorModel() == kelNegative);
}

// A format with a transparent index keeps one transparent entry; other
// palettes keep each entry's alpha.
kelQuantizeAlpha alphaFor(kelFile& dst, int sourceChannels)
{
    if (sourceChannels != 2 && sourceChannels != 4)
        return kelQuantizeNoAlpha;
    return kelToolFindItem(dst.getFormat(), "transparent_index") ? kelQuantizeOneTransparent : kelQuantizeFullAlpha;
}

// The transparent index follows the new colormap, not an item carried
// over from the source.
void markTransparent(kelFile& dst, int index)
{
    kelTagDescription* desc = kelToolFindItem(dst.getFormat(), "transparent_index");
    if (!desc)
        return;
    kelTag tag(desc);
    if (tag.decode(std::to_string(index).c_str()) == kelOKAY)
        tag.write(&dst);
}

// Index i is bit value i: black then white, or white then black. The
// table holds each channel's entries in turn.
kelStatus useBitmapColors(kelQuantizer& q, kelColorModel cm)
{
    const unsigned char dark = cm == kelNegative ? 255 : 0, light = (unsigned char)(255 - dark);
    unsigned char bw[6] = {dark, light, dark, light, dark, light};
    kelColormap map(bw, 3, kelUChar, 0, 1);
    return q.setColormap(map);
}

int rowsPerStrip(const kelCopyRows& rows, size_t budget)
{
    size_t rowBytes = size_t(rows.width) * size_t(rows.nc) * kelDataSize(rows.type, 1);
    return int(std::min<size_t>(size_t(rows.height), std::max<size_t>(1, budget / std::max<size_t>(rowBytes, 1))));
}

// Rows of DST written at once: whole pages.
int rowsPerWrite(kelFile& dst, int height)
{
    kelSize page;
    dst.getPageSize(page, kelUpperLeftOrigin);
    return page.y <= 0 || page.y >= height ? height : page.y;
}

kelStatus gatherColors(const kelCopyRows& rows, kelQuantizer& q, std::vector<unsigned char>& strip, int stripRows)
{
    for (int y = 0; y < rows.height; y += stripRows) {
        const int n = std::min(stripRows, rows.height - y);
        kelStatus sts = rows.read(y, n, strip.data());
        if (sts == kelOKAY)
            sts = q.addPixels(strip.data(), rows.type, rows.nc, size_t(rows.width) * size_t(n), rows.maxValue);
        if (sts != kelOKAY)
            return sts;
    }
    return q.build();
}

kelStatus writeIndices(const kelCopyRows& rows, kelFile& dst, const kelQuantizer& q, kelDitherMethod method,
                       std::vector<unsigned char>& strip, int stripRows)
{
    const int writeRows = rowsPerWrite(dst, rows.height);
    std::vector<unsigned char> indices(size_t(rows.width) * size_t(writeRows));
    kelConfig asIndices(kelUChar, kelInterleaved, 1, nullptr, 0, kelUpperLeftOrigin);
    kelDither dither(q, method, rows.width);
    for (int y0 = 0; y0 < rows.height; y0 += writeRows) {
        const int block = std::min(writeRows, rows.height - y0);
        for (int y = 0; y < block; y += stripRows) {
            const int n = std::min(stripRows, block - y);
            kelStatus sts = rows.read(y0 + y, n, strip.data());
            if (sts == kelOKAY)
                sts = dither.mapRows(strip.data(), rows.type, rows.nc, n, &indices[size_t(y) * size_t(rows.width)],
                                     rows.maxValue);
            if (sts != kelOKAY)
                return sts;
        }
        kelStatus sts = dst.setTile(0, y0, 0, rows.width, block, 1, indices.data(), &asIndices);
        if (sts != kelOKAY)
            return sts;
    }
    return kelOKAY;
}

} // namespace

bool kelCopyQuantizes(const kelFile& dst, bool sourceHasColormap, kelDataType sourceType)
{
    if (dst.getColorModel() == kelRGBPalette)
        return !sourceHasColormap;
    return isBitmap(dst) && !sourceHasColormap && sourceType != kelBit;
}

kelStatus kelCopyQuantized(const kelCopyRows& rows, kelFile& dst, const kelCopyQuantizeHow& how,
                           std::string& problem)
{
    const bool bitmap = isBitmap(dst);
    kelQuantizer q(how.colors, bitmap ? kelQuantizeNoAlpha : alphaFor(dst, rows.nc));
    const int stripRows = rowsPerStrip(rows, how.stripBytes);
    std::vector<unsigned char> strip;
    kelStatus sts;
    try {
        strip.resize(size_t(rows.width) * size_t(stripRows) * size_t(rows.nc) * kelDataSize(rows.type, 1));
        sts = bitmap ? useBitmapColors(q, dst.getColorModel()) : gatherColors(rows, q, strip, stripRows);
        if (sts == kelOKAY && !bitmap)
            markTransparent(dst, q.getTransparentIndex());
        if (sts == kelOKAY && !bitmap && (sts = dst.setColormap(q.getColormap())) != kelOKAY)
            problem = "the format keeps no colormap: " + kelToolErrorLog::statusText(sts);
        if (sts == kelOKAY)
            sts = writeIndices(rows, dst, q, how.dither, strip, stripRows);
    } catch (const std::bad_alloc&) {
        problem = "not enough memory to quantize " + std::to_string(rows.width) + " pixels wide";
        sts = kelMALLOCFAILED;
    }
    return sts;
}

bool kelCopyFileRows(kelFile& src, double opaque, kelCopyRows& rows, std::string& problem)
{
    const kelColorModel cm = src.getColorModel();
    const int nc = src.getCsize();
    bool known = (cm == kelLuminance && nc == 1) || (cm == kelLuminanceAlpha && nc == 2) || (cm == kelRGB && nc == 3) ||
                 (cm == kelRGBA && nc == 4);
    if (!known) {
        problem = "only gray, gray and alpha, RGB and RGBA images are quantized";
        return false;
    }
    kelSize size;
    src.getSize(size, kelUpperLeftOrigin);
    rows.width = size.x;
    rows.height = size.y;
    // The file's own type, which the quantizer takes as it is.
    rows.type = src.getDataType() == kelBit ? kelUChar : src.getDataType();
    rows.nc = nc;
    rows.maxValue = opaque;
    kelFile* file = &src;
    rows.read = [file, nc, width = size.x, type = rows.type](int y, int n, void* into) {
        kelConfig layout(type, kelInterleaved, nc, nullptr, 0, kelUpperLeftOrigin);
        return file->getTile(0, y, 0, width, n, 1, into, &layout);
    };
    return true;
}
