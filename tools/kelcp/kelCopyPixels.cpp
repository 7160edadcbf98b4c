#include "kelCopyPixels.h"

#include <limits.h>

#include <algorithm>
#include <new>
#include <vector>

#include <kel/kelConfig.h>
#include <kel/kelDataSize.h>
#include <kel/kelFile.h>
#include <kel/kelFormat.h>

#include "kelCopyPalette.h"
#include "kelCopyProgress.h"
#include "kelToolOptions.h"

static size_t bitsPerElement(kelDataType type)
{
    return type == kelBit ? 1 : size_t(kelDataSize(type, 1)) * 8;
}

// Rows per strip: as many whole page rows as fit the budget, at least one row.
static int stripRows(const kelSize& size, int pageRows, size_t rowBits, size_t budgetBits)
{
    size_t fit = std::max<size_t>(1, budgetBits / rowBits);
    size_t rows = fit;
    if (pageRows > 0 && size_t(pageRows) <= fit)
        rows = fit / size_t(pageRows) * size_t(pageRows);
    return int(std::min<size_t>(rows, size_t(size.y)));
}

static std::string sameSizeProblem(const kelFile& src, const kelFile& dst)
{
    kelSize s, d;
    src.getDimensions(s);
    dst.getDimensions(d);
    if (s.x != d.x || s.y != d.y || s.z != d.z)
        return "the destination's size " + kelToolSizeText(d) + " differs from the source's " + kelToolSizeText(s);
    if (s.c != d.c && s.c != 1)
        return "cannot copy " + std::to_string(s.c) + " channels into " + std::to_string(d.c) +
               " (choose a color model with " + std::to_string(s.c) + " channels)";
    return "";
}

// A source whose only page is a whole plane would be decoded again for
// every strip; a destination that takes only whole pages and has one
// would get a new image for every strip.
static bool wholePlanes(kelFile& src, kelFile& dst)
{
    kelSize s, sp, d, dp;
    src.getDimensions(s);
    src.getPageDimensions(sp);
    dst.getDimensions(d);
    dst.getPageDimensions(dp);
    bool sourceWhole = sp.x >= s.x && sp.y >= s.y;
    bool destinationWhole = dp.x >= d.x && dp.y >= d.y && !dst.getFormat()->randomAccessWriteIsSupported();
    return sourceWhole || destinationWhole;
}

// Reads the box of `cols` x `rows` pixels at (x, y) of plane z of the
// source into `strip`, in the destination's layout; palette indices go
// through `palette`.
struct StripReader {
    kelFile& src;
    const kelConfig& from;
    const kelCopyPalette* palette;
    std::vector<int>& indices;

    kelStatus read(int x, int y, int z, int cols, int rows, unsigned char* strip, kelOrientation ori) const
    {
        if (!palette)
            return src.getTile(x, y, z, cols, rows, 1, strip, &from);
        kelConfig asIndices(kelInt, kelInterleaved, 1, nullptr, 0, ori);
        kelStatus sts = src.getTile(x, y, z, cols, rows, 1, indices.data(), &asIndices);
        if (sts == kelOKAY)
            palette->expand(indices.data(), size_t(cols) * size_t(rows), strip);
        return sts;
    }
};

kelStatus kelCopyPixels(kelFile& src, kelFile& dst, const kelCopyStrips& how, std::string& problem)
{
    problem = sameSizeProblem(src, dst);
    if (!problem.empty())
        return kelBADPARAMS;
    kelOrientation ori = dst.getOrientation();
    kelSize size, page;
    dst.getSize(size, ori);
    dst.getPageSize(page, ori);
    int nc = size.c;
    kelCopyPalette palette;
    if (how.expand && !palette.init(*how.expand, dst.getDataType(), nc, problem))
        return kelBADPARAMS;
    // Expanded colors are whole bytes even for a bit destination.
    kelDataType type = how.expand ? palette.type() : dst.getDataType();
    size_t rowBits = size_t(size.x) * size_t(nc) * bitsPerElement(type);
    if (size.x <= 0 || size.y <= 0 || size.z <= 0 || rowBits / bitsPerElement(type) > size_t(INT_MAX)) {
        problem = "cannot copy an image of " + kelToolSizeText(size) + " pixels";
        return kelBADPARAMS;
    }
    int rows = wholePlanes(src, dst) ? size.y : stripRows(size, page.y, rowBits, how.stripBytes * 8);
    std::vector<unsigned char> strip;
    std::vector<int> indices;
    try {
        strip.resize((rowBits * size_t(rows) + 7) / 8);
        indices.resize(how.expand ? size_t(size.x) * size_t(rows) : 0);
    } catch (const std::bad_alloc&) {
        problem = "not enough memory for " + std::to_string(rows) + " rows of the image";
        return kelMALLOCFAILED;
    }

    // A one-channel source fills every destination channel.
    std::vector<int> spread(size_t(nc), 0);
    bool fill = src.getCsize() == 1 && nc > 1;
    kelConfig from(type, kelInterleaved, nc, fill ? spread.data() : nullptr, 0, ori);
    kelConfig to(type, kelInterleaved, nc, nullptr, 0, ori);
    StripReader reader{src, from, how.expand ? &palette : nullptr, indices};

    long totalRows = long(size.y) * size.z;
    kelCopyProgress progress(how.label, totalRows, how.progress && rows < totalRows);
    kelStatus sts = kelOKAY;
    for (int z = 0; z < size.z && sts == kelOKAY; ++z)
        for (int y = 0; y < size.y && sts == kelOKAY; y += rows) {
            int n = std::min(rows, size.y - y);
            sts = reader.read(0, y, z, size.x, n, strip.data(), ori);
            if (sts == kelOKAY)
                sts = dst.setTile(0, y, z, size.x, n, 1, strip.data(), &to);
            progress.advance(n);
        }
    return sts;
}
