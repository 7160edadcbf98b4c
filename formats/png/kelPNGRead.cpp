// Reading: the header, palette and transparency at open, the ancillary
// chunks before the image too, those after it when an item asks, and the
// pixels page by page.
#include "kelPNGFile.h"

#include <kel/kelColormap.h>
#include <kel/kelError.h>

#include <errno.h>
#include <fcntl.h>

#include <algorithm>
#include <new>

#include <spng.h>

namespace {

// Reads through a stream of `mode` into `read(ctx)`; libspng's result.
template <class Read>
int throughStream(kelByteReader& reader, kelPNGStream::Mode mode, kelPNGStream& stream, Read read)
{
    stream.start(&reader, mode);
    kelPNGContext ctx = kelPNGNewDecoder(stream);
    return ctx ? read(ctx.get()) : SPNG_EMEM;
}

} // namespace

// The critical chunks decide whether the file is one: read where no
// ancillary chunk can fail them.
kelStatus kelPNGFile::readHeader()
{
    kelPNGStream stream;
    const int err = throughStream(reader, kelPNGStream::Pixels, stream, [&](spng_ctx* ctx) {
        spng_ihdr ihdr;
        int e = spng_get_ihdr(ctx, &ihdr);
        if (!e) {
            layout.width = int(ihdr.width);
            layout.height = int(ihdr.height);
            layout.colorType = ihdr.color_type;
            layout.depth = ihdr.bit_depth;
            layout.interlaced = ihdr.interlace_method;
            e = info.readImageChunks(ctx, layout);
        }
        return e;
    });
    if (err)
        return kelPNGReport(err, filename, "not read", reader.error());
    return layout.colorType == 3 ? makeColormap() : kelOKAY;
}

// A damaged or oversized ancillary chunk costs the items, not the image.
void kelPNGFile::readAncillary()
{
    kelPNGStream stream;
    const int err = throughStream(reader, kelPNGStream::Everything, stream,
                                  [&](spng_ctx* ctx) { return info.readAncillary(ctx, layout); });
    info.animated = stream.sawAnimation();
    if (err)
        kelPNGReport(err, filename, "its items are not read", reader.error());
}

void kelPNGFile::readTrailer()
{
    if (trailerRead || accessmode != O_RDONLY)
        return;
    trailerRead = true;
    kelPNGStream stream;
    const int err = throughStream(reader, kelPNGStream::Trailer, stream,
                                  [&](spng_ctx* ctx) { return info.readTrailer(ctx); });
    if (err)
        kelPNGReport(err, filename, "the items after its image are not read", reader.error());
}

// R, G, B, and alpha when tRNS gives any: entries past its end are opaque.
kelStatus kelPNGFile::makeColormap()
{
    const int entries = std::max(1, info.paletteEntries);
    const int channels = info.hasTransparency && info.alphaEntries > 0 ? 4 : 3;
    cmap = new (std::nothrow) kelColormap(channels, kelUChar, 0, entries - 1);
    if (!cmap || !cmap->getData())
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    unsigned char* data = static_cast<unsigned char*>(cmap->getData());
    for (int i = 0; i < entries; ++i) {
        for (int c = 0; c < 3; ++c)
            data[c * entries + i] = info.palette[3 * i + c];
        if (channels == 4)
            data[3 * entries + i] = i < info.alphaEntries ? info.alpha[i] : 255;
    }
    return kelOKAY;
}

// Pages of at most 256 x 32 pixels; those of bit images are whole bytes wide.
void kelPNGFile::setAttributes()
{
    size = kelSize(layout.width, layout.height, 1, layout.channels());
    dtype = layout.type();
    const long long width = dtype == kelBit ? (layout.width + 7LL) / 8 * 8 : layout.width;
    pageSize = kelSize(int(std::min<long long>(width, pageWidth)), std::min(layout.height, int(pageHeight)), 1, size.c);
    order = kelInterleaved;
    orientation = kelUpperLeftOrigin;
    cm = layout.model();
    compression = kelZIP;
}

kelStatus kelPNGFile::getPage(void* data, int x, int y, int, int, int nx, int ny, int, int)
{
    unsigned char* page = static_cast<unsigned char*>(data);
    if (accessmode != O_RDONLY)
        return readHeld(page, x, y, nx, ny);
    beginFileIO();
    kelStatus sts = decoder.read(x, y, nx, ny, page, pageStride());
    endFileIO();
    return sts;
}
