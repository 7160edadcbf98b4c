// Writing a new file. Pages are held in strips one page high; a strip goes
// to the encoder once every page of it was set whole and the strips above
// it have gone, so pages that arrive in raster order are written as they
// come. Other pages wait, within the page limit; flush and close write what
// waits, 0 for rows never set. An interlaced image waits whole.
#include "kelPNGFile.h"

#include <kel/kelColormap.h>
#include <kel/kelError.h>
#include <kel/kelLimits.h>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <new>

// PNG has one channel layout per color type and a depth per data type; the
// depth of gray and palette images may be lowered until the first pixels.
kelStatus kelPNGFile::checkNewLayout()
{
    layout.colorType = kelPNGColorType(cm);
    layout.width = size.x;
    layout.height = size.y;
    layout.interlaced = 0;
    if (layout.colorType < 0 || size.c != layout.channels() || size.z != 1 || order != kelInterleaved ||
        orientation != kelUpperLeftOrigin)
        return kelUNSUPPORTEDBYFORMAT;
    switch (dtype) {
    case kelBit:
        layout.depth = 1;
        return layout.colorType == 0 ? kelStatus(kelOKAY) : kelStatus(kelUNSUPPORTEDBYFORMAT);
    case kelUChar:
        layout.depth = 8;
        return kelOKAY;
    case kelUShort:
        layout.depth = 16;
        return layout.colorType == 3 ? kelStatus(kelUNSUPPORTEDBYFORMAT) : kelStatus(kelOKAY);
    default:
        return kelUNSUPPORTEDBYFORMAT;
    }
}

kelStatus kelPNGFile::createFile()
{
    if (accessmode != O_RDWR)
        return kelUNSUPPORTEDBYLIBRARY;
    kelStatus sts = checkNewLayout();
    if (sts != kelOKAY)
        return sts;
    if (fd < 0) {
        KEL_ASSERT(filename != NULL);
        fd = ::open(filename, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    writer.attach(fd, 0);
    // The rows of bit pages are whole bytes.
    if (dtype == kelBit && pageSize.x % 8 != 0)
        pageSize.x += 8 - pageSize.x % 8;
    trailerRead = true;
    return kelOKAY;
}

int kelPNGFile::paletteDepth() const
{
    const int entries = info.paletteEntries;
    return entries <= 2 ? 1 : entries <= 4 ? 2 : entries <= 16 ? 4 : 8;
}

// The depth and the largest pixel value are fixed by the first pixels.
kelStatus kelPNGFile::fixLayout()
{
    if (layoutFixed)
        return kelOKAY;
    const bool palette = layout.colorType == 3;
    if (palette && info.paletteEntries == 0) {
        kelError(kelSeverityWarning, "PNG file %s: a palette image needs its colormap before its pixels",
                 filename ? filename : "");
        return kelBADPARAMS;
    }
    if (depthSetting)
        layout.depth = depthSetting;
    else if (palette)
        layout.depth = paletteDepth();
    if (palette && info.paletteEntries > 1 << layout.depth)
        return kelBADPARAMS;
    limit = palette ? info.paletteEntries - 1 : layout.depth < 8 ? layout.maxValue() : 65535;
    layoutFixed = true;
    return kelOKAY;
}

kelStatus kelPNGFile::startEncoder()
{
    if (encoder.started())
        return kelOKAY;
    return encoder.start(writer, layout, info, level, filter, filename);
}

int kelPNGFile::stripHeight(int strip) const
{
    return std::min(pageSize.y, size.y - strip * pageSize.y);
}

kelStatus kelPNGFile::writtenAlready(int y)
{
    if (writeFailure != kelOKAY)
        return writeFailure;
    kelError(kelSeverityWarning, "PNG file %s: row %d went to the file already; PNG rows are written front to back",
             filename ? filename : "", y);
    return kelUNSUPPORTEDBYFORMAT;
}

const unsigned char* kelPNGFile::heldRow(int y) const
{
    auto it = held.find(y / pageSize.y);
    return it == held.end() ? nullptr : &it->second.rows[size_t(y % pageSize.y) * layout.rowBytes()];
}

void kelPNGFile::dropStrip(int strip)
{
    auto it = held.find(strip);
    if (it == held.end())
        return;
    heldBytes -= it->second.rows.size();
    held.erase(it);
}

kelStatus kelPNGFile::holdPage(const unsigned char* page, int x, int y, int nx, int ny)
{
    const int strip = y / pageSize.y;
    if (strip < nextStrip || finished)
        return writtenAlready(y);
    auto it = held.find(strip);
    if (it == held.end()) {
        const size_t bytes = size_t(stripHeight(strip)) * layout.rowBytes();
        kelStatus sts = kelCheckPageBytes(heldBytes + bytes, "PNG rows held for writing");
        if (sts != kelOKAY)
            return sts;
        try {
            HeldStrip s;
            s.rows.assign(bytes, 0);
            s.pageSet.assign(size_t(pageColumns()), 0);
            it = held.emplace(strip, std::move(s)).first;
        } catch (const std::bad_alloc&) {
            return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
        }
        heldBytes += bytes;
    }
    HeldStrip& s = it->second;
    const size_t rowBytes = layout.rowBytes();
    for (int i = 0; i < ny; ++i)
        if (!kelPNGRowIn(layout, page + size_t(i) * pageStride(), x, nx, limit,
                         &s.rows[size_t(y % pageSize.y + i) * rowBytes])) {
            kelError(kelSeverityWarning, "PNG file %s: a pixel value is above %d, the largest this image holds",
                     filename ? filename : "", limit);
            return kelBADPARAMS;
        }
    const bool whole = readBackX != x || readBackY != y;
    readBackX = readBackY = -1;
    const int column = x / pageSize.x;
    if (whole && !s.pageSet[size_t(column)]) {
        s.pageSet[size_t(column)] = 1;
        ++s.pagesSet;
    }
    return kelOKAY;
}

kelStatus kelPNGFile::encodeStrip(int strip)
{
    kelStatus sts = startEncoder();
    const size_t rowBytes = layout.rowBytes();
    std::vector<unsigned char> zeros;
    for (int y = strip * pageSize.y, end = y + stripHeight(strip); sts == kelOKAY && y < end; ++y) {
        const unsigned char* row = heldRow(y);
        if (!row && zeros.empty())
            zeros.assign(rowBytes, 0);
        sts = encoder.putRow(row ? row : zeros.data());
    }
    dropStrip(strip);
    nextStrip = strip + 1;
    if (sts != kelOKAY)
        writeFailure = sts;
    return sts;
}

kelStatus kelPNGFile::encodeReady()
{
    kelStatus sts = kelOKAY;
    for (auto it = held.find(nextStrip); sts == kelOKAY && !layout.interlaced && it != held.end();
         it = held.find(nextStrip)) {
        if (it->second.pagesSet < pageColumns())
            break;
        sts = encodeStrip(nextStrip);
    }
    return sts;
}

kelStatus kelPNGFile::encodeInterlaced()
{
    std::vector<unsigned char> zeros(layout.rowBytes(), 0);
    kelStatus sts = startEncoder();
    for (bool last = false; sts == kelOKAY && !last;) {
        const unsigned char* row = heldRow(encoder.nextRow());
        sts = encoder.putRow(row ? row : zeros.data(), &last);
    }
    return sts;
}

kelStatus kelPNGFile::setPage(const void* data, int x, int y, int, int, int nx, int ny, int, int)
{
    if (accessmode == O_RDONLY)
        return kelREADONLY;
    if (writeFailure != kelOKAY)
        return writeFailure;
    beginFileIO();
    kelStatus sts = fixLayout();
    if (sts == kelOKAY)
        sts = holdPage(static_cast<const unsigned char*>(data), x, y, nx, ny);
    if (sts == kelOKAY)
        sts = encodeReady();
    endFileIO();
    return sts;
}

// A page the core reads before it sets part of it: as held, 0 where
// nothing was set.
kelStatus kelPNGFile::readHeld(unsigned char* page, int x, int y, int nx, int ny)
{
    readBackX = x;
    readBackY = y;
    if (y / pageSize.y < nextStrip || finished)
        return writtenAlready(y);
    for (int i = 0; i < ny; ++i) {
        const unsigned char* row = heldRow(y + i);
        if (row)
            kelPNGRowOut(layout, row, x, nx, page + size_t(i) * pageStride());
        else
            memset(page + size_t(i) * pageStride(), 0, layout.pageRowBytes(nx));
    }
    return kelOKAY;
}

kelStatus kelPNGFile::finish()
{
    if (finished)
        return writeFailure;
    finished = true;
    kelStatus sts = fixLayout();
    if (sts == kelOKAY && layout.interlaced)
        sts = encodeInterlaced();
    for (int strip = nextStrip; sts == kelOKAY && !layout.interlaced && strip * pageSize.y < size.y; ++strip)
        sts = encodeStrip(strip);
    if (sts == kelOKAY)
        sts = encoder.finish();
    // A file written over may have been longer.
    if (sts == kelOKAY && ftruncate(fd, off_t(writer.tell())) != 0 && errno != EINVAL)
        sts = kelSystemStatus(kelWRITEFAILED);
    held.clear();
    heldBytes = 0;
    writeFailure = sts;
    return sts;
}

kelStatus kelPNGFile::flush()
{
    return accessmode == O_RDONLY ? kelOKAY : finish();
}
