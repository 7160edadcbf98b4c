#include "kelCopyPixels.h"

#include <limits.h>

#include <algorithm>
#include <new>
#include <vector>

#include <kel/kelColormap.h>
#include <kel/kelConfig.h>
#include <kel/kelDataSize.h>
#include <kel/kelFile.h>
#include <kel/kelFormat.h>

#include "kelCopyChannels.h"
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

// The box of the destination copied at once. Strips of whole rows, unless a
// band of page rows across the image exceeds the budget while the pages are
// narrower than the image: then tiles of whole pages, so that every page is
// written once (at least one page, whatever the budget).
struct CopyBlock {
    int cols;
    int rows;
};

static CopyBlock blockSize(const kelSize& size, const kelSize& page, size_t pixelBits, size_t budgetBits)
{
    size_t rowBits = size_t(size.x) * pixelBits;
    int bandRows = std::min(page.y, size.y);
    if (page.x <= 0 || page.x >= size.x || bandRows <= 0 || size_t(bandRows) * rowBits <= budgetBits)
        return {size.x, stripRows(size, page.y, rowBits, budgetBits)};
    size_t pageBits = size_t(page.x) * size_t(bandRows) * pixelBits;
    size_t pages = std::max<size_t>(1, budgetBits / pageBits);
    return {int(std::min<size_t>(pages * size_t(page.x), size_t(size.x))), bandRows};
}

static std::string sameSizeProblem(const kelFile& src, const kelFile& dst, bool remade)
{
    kelSize s, d;
    src.getDimensions(s);
    dst.getDimensions(d);
    if (s.x != d.x || s.y != d.y || s.z != d.z)
        return "the destination's size " + kelToolSizeText(d) + " differs from the source's " + kelToolSizeText(s);
    if (s.c != d.c && s.c != 1 && !remade)
        return "cannot copy " + std::to_string(s.c) + " channels into " + std::to_string(d.c) +
               " (choose a color model with " + std::to_string(s.c) + " channels)";
    return "";
}

// A set bit is black in a negative image and white in a luminance one: bits
// copied between the two are inverted so that the picture stays the same.
static bool invertsBits(const kelFile& src, const kelFile& dst, kelDataType type)
{
    kelColorModel from = src.getColorModel(), to = dst.getColorModel();
    return type == kelBit && ((from == kelNegative && to == kelLuminance) || (from == kelLuminance && to == kelNegative));
}

// Strips hold the source's elements where they are no wider than the
// destination's: the source's own layout then reads straight into the strip,
// and setTile converts every element once, to the same value as a
// conversion on reading. Bits stay in the destination's type, whose
// inversion works on whole bytes.
static kelDataType stripType(const kelFile& src, const kelFile& dst)
{
    kelDataType from = src.getDataType(), to = dst.getDataType();
    bool narrower = from != kelBit && to != kelBit && kelDataSize(from, 1) > 0 &&
                    kelDataSize(from, 1) <= kelDataSize(to, 1);
    return narrower ? from : to;
}

static void invert(std::vector<unsigned char>& strip)
{
    for (unsigned char& byte : strip)
        byte = (unsigned char)~byte;
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

double kelCopyOpaqueValue(kelFile& src, const kelColormap* map)
{
    if (map)
        return kelDataMax(map->getDataType());
    double lo = 0, hi = 0;
    if (src.getScaleMinMax(lo, hi) == kelOKAY && hi > lo)
        return hi;
    return kelDataIsIntegral(src.getDataType()) ? kelDataMax(src.getDataType()) : 1.0;
}

// Whether the pixels are made over into the destination's channels; a
// palette source counts as the colors it expands into.
static bool remakesChannels(kelFile& src, kelFile& dst, const kelCopyStrips& how, kelCopyChannels& channels)
{
    kelColorModel from = how.expand ? kelCopyExpandedModel(*how.expand) : src.getColorModel();
    int fromChans = how.expand ? (from == kelRGBA ? 4 : 3) : src.getCsize();
    if (!channels.init(from, fromChans, dst.getColorModel(), dst.getCsize()))
        return false;
    channels.setValues(kelCopyOpaqueValue(src, how.expand), how.background, kelDataIsIntegral(dst.getDataType()) != 0);
    return true;
}

// Reads the box of `cols` x `rows` pixels at (x, y) of plane z of the
// source into `strip`, in the destination's layout; palette indices go
// through `palette`, remade channels through `channels` from `work`.
struct StripReader {
    kelFile& src;
    const kelConfig& from;
    const kelCopyPalette* palette;
    std::vector<int>& indices;
    const kelCopyChannels* channels;
    std::vector<double>& work;

    kelStatus read(int x, int y, int z, int cols, int rows, unsigned char* strip, kelOrientation ori) const
    {
        size_t pixels = size_t(cols) * size_t(rows);
        unsigned char* into = channels ? reinterpret_cast<unsigned char*>(work.data()) : strip;
        kelStatus sts;
        if (!palette) {
            sts = src.getTile(x, y, z, cols, rows, 1, into, &from);
        } else {
            kelConfig asIndices(kelInt, kelInterleaved, 1, nullptr, 0, ori);
            sts = src.getTile(x, y, z, cols, rows, 1, indices.data(), &asIndices);
            if (sts == kelOKAY)
                palette->expand(indices.data(), pixels, into);
        }
        if (sts == kelOKAY && channels)
            channels->convert(work.data(), reinterpret_cast<double*>(strip), pixels);
        return sts;
    }
};

// The strip buffers of one copy: the destination's pixels and, for an
// expansion, the source's indices, for remade channels the source's pixels.
struct CopyBuffers {
    std::vector<unsigned char> strip;
    std::vector<int> indices;
    std::vector<double> work;
};

static kelStatus allocate(CopyBuffers& buf, const CopyBlock& block, size_t pixelBits, bool expand, int workChans,
                          std::string& problem)
{
    size_t pixels = size_t(block.cols) * size_t(block.rows);
    try {
        buf.strip.resize((pixels * pixelBits + 7) / 8);
        buf.indices.resize(expand ? pixels : 0);
        buf.work.resize(pixels * size_t(workChans));
    } catch (const std::bad_alloc&) {
        problem = "not enough memory for " + std::to_string(block.rows) + " rows of the image";
        return kelMALLOCFAILED;
    }
    return kelOKAY;
}

// The palette and channel stages of one copy, and the type its strips hold.
struct CopyStages {
    kelCopyChannels channels;
    bool remade = false;
    int workChans = 0; // source channels of a remade pixel
    kelCopyPalette palette;
    kelDataType type = kelUChar;
};

static bool prepareStages(kelFile& src, kelFile& dst, const kelCopyStrips& how, CopyStages& st, std::string& problem)
{
    const int nc = dst.getCsize();
    st.remade = remakesChannels(src, dst, how, st.channels);
    st.workChans = st.remade ? st.channels.sourceChannels() : 0;
    problem = sameSizeProblem(src, dst, st.remade);
    if (problem.empty() && how.expand && nc != 3 && nc != 4)
        problem = "a palette image becomes RGB or RGBA; choose --colormodel rgb or rgba";
    if (!problem.empty())
        return false;
    if (how.expand && !st.palette.init(*how.expand, st.remade ? kelDouble : dst.getDataType(),
                                       st.remade ? st.workChans : nc, problem))
        return false;
    // Expanded colors are whole bytes even for a bit destination.
    st.type = st.remade ? kelDouble : how.expand ? st.palette.type() : stripType(src, dst);
    return true;
}

kelStatus kelCopyPixels(kelFile& src, kelFile& dst, const kelCopyStrips& how, std::string& problem)
{
    CopyStages st;
    if (!prepareStages(src, dst, how, st, problem))
        return kelBADPARAMS;
    kelOrientation ori = dst.getOrientation();
    kelSize size, page;
    dst.getSize(size, ori);
    dst.getPageSize(page, ori);
    const int nc = size.c, workChans = st.workChans;
    const bool remade = st.remade;
    const kelDataType type = st.type;
    size_t pixelBits = size_t(nc + workChans) * bitsPerElement(type);
    size_t rowBits = size_t(size.x) * pixelBits;
    if (size.x <= 0 || size.y <= 0 || size.z <= 0 || rowBits / bitsPerElement(type) > size_t(INT_MAX)) {
        problem = "cannot copy an image of " + kelToolSizeText(size) + " pixels";
        return kelBADPARAMS;
    }
    CopyBlock block = wholePlanes(src, dst) ? CopyBlock{size.x, size.y}
                                            : blockSize(size, page, pixelBits, how.stripBytes * 8);
    CopyBuffers buf;
    kelStatus sts = allocate(buf, block, size_t(nc) * bitsPerElement(type), how.expand, workChans, problem);
    if (sts != kelOKAY)
        return sts;

    // A one-channel source fills every destination channel.
    std::vector<int> spread(size_t(nc), 0);
    bool fill = src.getCsize() == 1 && nc > 1 && !remade;
    kelConfig from(type, kelInterleaved, remade ? workChans : nc, fill ? spread.data() : nullptr, 0, ori);
    kelConfig to(type, kelInterleaved, nc, nullptr, 0, ori);
    StripReader reader{src, from, how.expand ? &st.palette : nullptr, buf.indices, remade ? &st.channels : nullptr,
                       buf.work};
    bool inverted = !how.expand && !remade && invertsBits(src, dst, type);

    long totalRows = long(size.y) * size.z;
    kelCopyProgress progress(how.label, totalRows, how.progress && block.rows < totalRows);
    for (int z = 0; z < size.z && sts == kelOKAY; ++z)
        for (int y = 0; y < size.y && sts == kelOKAY; y += block.rows) {
            int n = std::min(block.rows, size.y - y);
            for (int x = 0; x < size.x && sts == kelOKAY; x += block.cols) {
                int m = std::min(block.cols, size.x - x);
                sts = reader.read(x, y, z, m, n, buf.strip.data(), ori);
                if (sts == kelOKAY && inverted)
                    invert(buf.strip);
                if (sts == kelOKAY)
                    sts = dst.setTile(x, y, z, m, n, 1, buf.strip.data(), &to);
            }
            progress.advance(n);
        }
    return sts;
}
