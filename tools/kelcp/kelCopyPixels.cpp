#include "kelCopyPixels.h"

#include <limits.h>

#include <algorithm>
#include <vector>

#include <kel/kelConfig.h>
#include <kel/kelDataSize.h>
#include <kel/kelFile.h>

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

// A set bit is black in a negative image and white in a luminance one: bits
// copied between the two are inverted so that the picture stays the same.
static bool invertsBits(const kelFile& src, const kelFile& dst, kelDataType type)
{
    kelColorModel from = src.getColorModel(), to = dst.getColorModel();
    return type == kelBit && ((from == kelNegative && to == kelLuminance) || (from == kelLuminance && to == kelNegative));
}

static void invert(std::vector<unsigned char>& strip)
{
    for (unsigned char& byte : strip)
        byte = (unsigned char)~byte;
}

kelStatus kelCopyPixels(kelFile& src, kelFile& dst, const kelCopyStrips& how, std::string& problem)
{
    problem = sameSizeProblem(src, dst);
    if (!problem.empty())
        return kelBADPARAMS;
    kelOrientation ori = dst.getOrientation();
    kelDataType type = dst.getDataType();
    kelSize size, page;
    dst.getSize(size, ori);
    dst.getPageSize(page, ori);
    int nc = size.c;
    size_t rowBits = size_t(size.x) * size_t(nc) * bitsPerElement(type);
    if (size.x <= 0 || size.y <= 0 || size.z <= 0 || rowBits / bitsPerElement(type) > size_t(INT_MAX)) {
        problem = "cannot copy an image of " + kelToolSizeText(size) + " pixels";
        return kelBADPARAMS;
    }
    int rows = stripRows(size, page.y, rowBits, how.stripBytes * 8);
    std::vector<unsigned char> strip((rowBits * size_t(rows) + 7) / 8);

    // A one-channel source fills every destination channel.
    std::vector<int> spread(size_t(nc), 0);
    bool fill = src.getCsize() == 1 && nc > 1;
    kelConfig from(type, kelInterleaved, nc, fill ? spread.data() : nullptr, 0, ori);
    kelConfig to(type, kelInterleaved, nc, nullptr, 0, ori);
    bool inverted = invertsBits(src, dst, type);

    long totalRows = long(size.y) * size.z;
    kelCopyProgress progress(how.label, totalRows, how.progress && rows < totalRows);
    kelStatus sts = kelOKAY;
    for (int z = 0; z < size.z && sts == kelOKAY; ++z)
        for (int y = 0; y < size.y && sts == kelOKAY; y += rows) {
            int n = std::min(rows, size.y - y);
            sts = src.getTile(0, y, z, size.x, n, 1, strip.data(), &from);
            if (sts == kelOKAY && inverted)
                invert(strip);
            if (sts == kelOKAY)
                sts = dst.setTile(0, y, z, size.x, n, 1, strip.data(), &to);
            progress.advance(n);
        }
    return sts;
}
