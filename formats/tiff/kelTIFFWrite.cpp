// Writing pages: each is one tile or strip, encoded by libtiff and
// appended to the file (a rewritten block that grew goes to the end).
#include "kelTIFFFile.h"

#include <kel/kelColormap.h>
#include <kel/kelError.h>
#include <kel/kelLimits.h>

#include <fcntl.h>
#include <string.h>
#include <sys/uio.h>

#include <algorithm>
#include <new>

#include "kelPositionedIO.h"
#include "kelTIFFSamples.h"

namespace {

// The copies of compressed pages of a new image: enough for a row of
// 256 x 256 tiles of an image 64 Ki pixels wide in 16-bit RGBA.
const size_t kelTIFFHeldBytes = size_t(128) << 20;

} // namespace

// The directory of a new image from the file's attributes: strips where
// the pages are as wide as the image, else tiles.
kelStatus kelTIFFFile::startImage()
{
    kelTIFFLayout l;
    l.width = size.x;
    l.height = size.y;
    l.type = dtype;
    l.order = order == kelSeparate && size.c > 1 ? kelSeparate : kelInterleaved;
    l.cm = cm;
    l.channels = size.c;
    l.orientation = orientation;
    l.compression = compression;
    l.tiled = pageSize.x != size.x;
    l.blockW = pageSize.x;
    l.blockH = l.tiled ? pageSize.y : std::min(pageSize.y, size.y);
    // JPEG's strips hold whole MCU rows (16 for YCbCr) but for the last.
    if (!l.tiled && compression == kelJPEG && l.blockH % 16)
        l.blockH = std::min(size.y, (l.blockH + 15) / 16 * 16);
    if (size.z != 1 || pageSize.z != 1 || pageSize.c != l.pageChannels() ||
        (l.tiled && (l.blockW % 16 || l.blockH % 16)))
        return kelBADPARAMS;
    kelStatus sts = kelTIFFSetFields(tif, l, stream.name.c_str());
    if (sts == kelOKAY)
        sts = kelCheckPageBytes(l.pageBytes(), "TIFF page");
    if (sts != kelOKAY)
        return sts;
    layout = l;
    pageSize.y = l.blockH;
    fresh = 1;
    blocksWritten = 0;
    try {
        written.assign(size_t(blockCount()), 0);
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    colormap.reset();
    if (cm != kelRGBPalette)
        return kelOKAY;
    // A gray ramp until a colormap is set: no palette image goes without.
    const int n = 1 << layout.bits;
    kelColormap ramp(3, kelUShort, 0, n - 1);
    for (int i = 0; i < n; i++)
        for (int ch = 0; ch < 3; ch++)
            ramp.setVal(double(i) * 65535 / (n - 1), i, ch);
    return setColormap(&ramp);
}

kelStatus kelTIFFFile::setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc)
{
    if (accessmode != O_RDWR)
        return kelREADONLY;
    const int block = blockOf(x, y, c, nx, ny);
    if (block < 0 || z != 0 || nz != 1 || nc != layout.pageChannels())
        return kelBADPARAMS;
    // Pages kel reads converted, pages of a lossy codec that would not
    // read back as written, and the pages of a directory that libtiff
    // repaired (its rewrite need not be readable) stay as they are in an
    // existing image.
    const bool lossy = layout.compression == kelJPEG || layout.compression == kelWEBP;
    if (layout.decode == kelTIFFDecode::RGBA || (layout.decode == kelTIFFDecode::Unpack && layout.type != kelBit) ||
        (!fresh && (lossy || layout.repaired))) {
        kelError(kelSeverityWarning, "TIFF file %s: the pages of this image are read only (%d-bit samples, "
                 "compression %d, %d repairs)", stream.name.c_str(), layout.bits, layout.compressionCode,
                 layout.repaired);
        return kelUNSUPPORTEDBYFILE;
    }
    kelStatus sts = turn(Writing);
    if (sts != kelOKAY)
        return sts;
    beginFileIO();
    sts = writeBlock(block, data);
    endFileIO();
    return sts;
}

// A page that lies in the caller's buffer as one piece (strips of a
// buffer in the file's layout) goes to libtiff from there; libtiff takes no
// other pieces.
kelStatus kelTIFFFile::setPageSegments(const iovec* segs, int count, int x, int y, int z, int c, int nx, int ny,
                                       int nz, int nc)
{
    if (count != 1 || segs[0].iov_len < layout.pageBytes() || layout.decode != kelTIFFDecode::Direct)
        return kelUNSUPPORTEDBYFORMAT;
    return setPage(segs[0].iov_base, x, y, z, c, nx, ny, nz, nc);
}

// libtiff encodes from a working copy where a predictor changes the
// samples, so the page stays as it was.
kelStatus kelTIFFFile::writeBlock(int block, const void* page)
{
    const int down = (layout.height + layout.blockH - 1) / layout.blockH;
    const int row = layout.tiled ? 0 : block % down * layout.blockH;
    const int rows = layout.tiled ? layout.blockH : std::min(layout.blockH, layout.height - row);
    const size_t rowBytes = (size_t(layout.blockW) * size_t(layout.pageChannels()) * size_t(layout.bits) + 7) / 8;
    void* from = const_cast<void*>(page);
    if (layout.decode == kelTIFFDecode::Unpack) {
        try {
            scratch.resize(rowBytes * size_t(layout.blockH));
        } catch (const std::bad_alloc&) {
            return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
        }
        kelTIFFPackBits(static_cast<const unsigned char*>(page), scratch.data(), layout, rows);
        from = scratch.data();
    }
    const tmsize_t bytes = tmsize_t(rowBytes * size_t(rows));
    const tmsize_t put = layout.tiled ? TIFFWriteEncodedTile(tif, uint32_t(block), from, bytes)
                                      : TIFFWriteEncodedStrip(tif, uint32_t(block), from, bytes);
    if (put < 0)
        return failure(kelWRITEFAILED);
    if (fresh)
        written[size_t(block)] = 1;
    if (fresh && layout.compressionCode != COMPRESSION_NONE)
        hold(block, page);
    blocksWritten++;
    return kelOKAY;
}

// A copy of a compressed page just written; the oldest go beyond the
// budget. A page that cannot be copied is only not held.
void kelTIFFFile::hold(int block, const void* page)
{
    const size_t bytes = size_t(layout.pageBytes());
    auto at = held.find(block);
    try {
        if (at == held.end()) {
            at = held.emplace(block, std::vector<unsigned char>(bytes)).first;
            heldOrder.push_back(block);
            heldBytes += bytes;
        }
        memcpy(at->second.data(), page, bytes);
    } catch (const std::bad_alloc&) {
        return;
    }
    while (heldBytes > kelTIFFHeldBytes && heldOrder.size() > 1) {
        held.erase(heldOrder.front());
        heldOrder.pop_front();
        heldBytes -= bytes;
    }
}

// A page of a new image written before: uncompressed blocks are read where
// libtiff put them, compressed ones from the copies held.
kelStatus kelTIFFFile::readWritten(int block, int rows, void* page)
{
    auto at = held.find(block);
    if (at != held.end()) {
        memcpy(page, at->second.data(), at->second.size());
        return kelOKAY;
    }
    const uint64_t offset = TIFFGetStrileOffset(tif, uint32_t(block));
    const uint64_t count = TIFFGetStrileByteCount(tif, uint32_t(block));
    if (layout.compressionCode != COMPRESSION_NONE || count > layout.blockBytes || offset > uint64_t(INT64_MAX)) {
        kelError(kelSeverityWarning, "TIFF file %s: a compressed page of a new image is read back after %zu MiB "
                 "of other pages", stream.name.c_str(), size_t(kelTIFFHeldBytes >> 20));
        return kelUNSUPPORTEDBYFILE;
    }
    const bool direct = layout.decode == kelTIFFDecode::Direct;
    if (!direct)
        scratch.resize(layout.blockBytes);
    void* into = direct ? page : scratch.data();
    ssize_t got = kelReadAt(fd, into, size_t(count), off_t(offset));
    if (got != ssize_t(count))
        return got < 0 ? kelSystemStatus(kelREADFAILED) : kelStatus(kelREADFAILED);
    if (!direct) {
        memset(page, 0, size_t(layout.pageBytes()));
        kelTIFFUnpack(scratch.data(), page, layout, rows);
    }
    return kelOKAY;
}

// Blocks never written are written blank, then the directory.
kelStatus kelTIFFFile::finishImage()
{
    std::unique_ptr<unsigned char[]> blank;
    for (size_t b = 0; b < written.size(); b++) {
        if (written[b])
            continue;
        if (!blank)
            blank.reset(new (std::nothrow) unsigned char[size_t(layout.pageBytes())]());
        if (!blank)
            return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
        kelStatus sts = writeBlock(int(b), blank.get());
        if (sts != kelOKAY)
            return sts;
    }
    fresh = 0;
    written.clear();
    held.clear();
    heldOrder.clear();
    heldBytes = 0;
    return TIFFWriteDirectory(tif) ? kelStatus(kelOKAY) : failure(kelWRITEFAILED);
}

// TIFF's color map holds 16-bit primaries for every index the samples
// reach; entries the colormap lacks are black.
kelStatus kelTIFFFile::setColormap(const kelColormap* cmap)
{
    if (accessmode != O_RDWR)
        return kelREADONLY;
    if (cm != kelRGBPalette || !cmap || cmap->getNumChans() < 3)
        return kelBADPARAMS;
    const int n = 1 << layout.bits;
    const double scale = cmap->getDataType() == kelUChar ? 257 : cmap->getDataType() == kelUShort ? 1 : 65535;
    double lo, hi;
    cmap->getDomain(lo, hi);
    std::vector<uint16_t> tables[3];
    std::unique_ptr<kelColormap> copy(new (std::nothrow) kelColormap(3, kelUShort, 0, n - 1));
    if (!copy || !copy->getData())
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    for (int ch = 0; ch < 3; ch++) {
        tables[ch].assign(size_t(n), 0);
        for (int i = 0; i < n; i++) {
            const double v = i < lo || i > hi ? 0 : cmap->getVal(i, ch) * scale;
            tables[ch][size_t(i)] = uint16_t(v < 0 ? 0 : v > 65535 ? 65535 : v + 0.5);
        }
        memcpy(copy->getChan(ch), tables[ch].data(), size_t(n) * sizeof(uint16_t));
    }
    if (!TIFFSetField(tif, TIFFTAG_COLORMAP, tables[0].data(), tables[1].data(), tables[2].data()))
        return failure(kelBADPARAMS);
    colormap = std::move(copy);
    return kelOKAY;
}
