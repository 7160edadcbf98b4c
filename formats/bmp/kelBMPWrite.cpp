// Writing a new file: the pixels go out with setPage, the headers and the
// palette with flush. The pixel data's place depends on the palette size,
// so the palette must be set before the first pixels are written.
#include "kelBMPFile.h"
#include "kelBMPPixels.h"

#include <kel/kelError.h>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

namespace {

const int32_t defaultResolution = 2925; // pixels per metre: 74.3 per inch

// Packs one row of pixel bytes at `bits` per pixel into `stride` bytes,
// padding with zeros; values are masked to the depth so that no pixel
// spills into its neighbour.
void packRow(unsigned char* dst, const unsigned char* src, size_t width, int bits, size_t stride)
{
    const size_t used = (width * size_t(bits) + 7) / 8;
    memset(dst + (bits < 8 ? 0 : used), 0, stride - (bits < 8 ? 0 : used));
    switch (bits) {
    case 1:
        for (size_t x = 0; x < width; x++)
            dst[x >> 3] |= (unsigned char)((src[x] & 1) << (7 - (x & 7)));
        break;
    case 4:
        for (size_t x = 0; x < width; x++)
            dst[x >> 1] |= (unsigned char)((src[x] & 0x0f) << ((x & 1) ? 0 : 4));
        break;
    case 8:
        memcpy(dst, src, width);
        break;
    case 24:
        kelBMPSwapRedBlue(dst, src, width);
        break;
    default:
        kelBMPSwapRedBlueAlpha(dst, src, width);
        break;
    }
}

// Channels of the page of a new file of model `cm`; 0 for models it cannot store.
int channelsOf(kelColorModel cm)
{
    switch (cm) {
    case kelRGBPalette:
        return 1;
    case kelRGB:
        return 3;
    case kelRGBA:
        return 4;
    default:
        return 0;
    }
}

// A new file named by the caller is made here. A handed-in descriptor must
// read as well as write: a tile covering the page in part reads it back.
kelStatus openForWriting(int& fd, const char* filename)
{
    if (fd < 0) {
        fd = ::open(filename, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        return fd < 0 ? kelSystemStatus(kelOPENFAILED) : kelStatus(kelOKAY);
    }
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_ACCMODE) == O_RDWR)
        return kelOKAY;
    if (flags >= 0)
        errno = EBADF;
    return kelSystemStatus(kelOPENFAILED);
}

} // namespace

// Only uncompressed files of one byte per pixel and channel, bottom row
// first: 1 channel is a palette image of 1, 4 or 8 bits, 3 are 24-bit RGB,
// 4 are 32-bit RGBA with bit fields in a V5 header.
kelStatus kelBMPFile::createFile()
{
    if (accessmode != O_RDWR)
        return kelUNSUPPORTEDBYLIBRARY;
    const int channels = channelsOf(cm);
    if (size.c != channels)
        return kelUNSUPPORTEDBYFORMAT;
    KEL_ASSERT(fd >= 0 || filename != NULL);
    kelStatus sts = openForWriting(fd, filename);
    if (sts != kelOKAY)
        return sts;
    reader.attach(fd);
    writer.attach(fd);
    const int alpha = channels == 4;
    hdr = Header();
    hdr.ImageFileType = Header::magic;
    infoHdr = InfoHeader();
    infoHdr.HeaderSize = alpha ? InfoHeader::v5Size : 40;
    infoHdr.ImageWidth = size.x;
    infoHdr.ImageHeight = size.y;
    infoHdr.NumberOfImagePlanes = uint16_t(size.z);
    infoHdr.BitsPerPixel = uint16_t(channels == 1 ? 8 : 8 * channels);
    infoHdr.CompressionMethod = alpha ? InfoHeader::bitFields : 0;
    // The masks unpack the page too when a tile covering it in part reads
    // it back.
    if (alpha) {
        infoHdr.defaultMasks();
        infoHdr.Masks[3] = 0xff000000;
        fields.set(infoHdr.Masks, infoHdr.BitsPerPixel);
    }
    infoHdr.NumColorsUsed = infoHdr.NumSignificantColors = channels == 1 ? 256 : 0;
    infoHdr.HorzResolution = infoHdr.VertResolution = defaultResolution;
    flushNeeded = 1;
    return kelOKAY;
}

// Fixes where the pixels go, once: after the headers and the palette.
void kelBMPFile::calcOffset()
{
    if (hdr.ImageDataOffset != 0)
        return;
    hdr.ImageDataOffset = infoHdr.HeaderSize + 14;
    if (cm == kelRGBPalette)
        hdr.ImageDataOffset += 4 * infoHdr.NumColorsUsed;
    infoHdr.SizeOfBitmap = uint32_t(infoHdr.rowStride() * uint64_t(infoHdr.ImageHeight));
    hdr.FileSize = hdr.ImageDataOffset + infoHdr.SizeOfBitmap;
    flushNeeded = 1;
}

// The rows are written out before the page counts as written, so that a
// failing write is reported here.
kelStatus kelBMPFile::setPage(const void* data, int, int, int, int, int, int, int, int)
{
    if (accessmode == O_RDONLY)
        return kelREADONLY;
    calcOffset();
    writer.seek(hdr.ImageDataOffset);
    beginFileIO();
    kelStatus sts = writeRows(static_cast<const unsigned char*>(data));
    endFileIO();
    if (sts == kelOKAY)
        sts = writer.flush();
    if (sts == kelOKAY)
        pixelsWritten = 1;
    return sts;
}

// Rows whose stored form is the page's (8 bits, no padding) are written as
// they are; the others are packed into blocks of padded rows, up to the
// first failing write.
kelStatus kelBMPFile::writeRows(const unsigned char* page)
{
    const size_t stride = size_t(infoHdr.rowStride());
    const size_t rowBytes = size_t(size.x) * size_t(size.c);
    const size_t height = size_t(size.y);
    if (infoHdr.BitsPerPixel == 8 && stride == rowBytes) {
        writer.write(page, rowBytes * height);
        return writer.status();
    }
    return inRowBlocks([&](unsigned char* block, size_t y, size_t rows) {
        for (size_t i = 0; i < rows; i++)
            packRow(block + i * stride, page + (y + i) * rowBytes, size_t(size.x), infoHdr.BitsPerPixel, stride);
        writer.write(block, rows * stride);
        return writer.status();
    });
}

// What is buffered goes out too, so that a failing write is reported here
// and not lost in closeFile.
kelStatus kelBMPFile::flush()
{
    if (!flushNeeded)
        return kelOKAY;
    if (cm == kelRGBPalette && !cmap)
        return kelBADIMGFMT;
    calcOffset();
    writer.seek(0);
    hdr.write(writer);
    infoHdr.write(writer);
    if (cm == kelRGBPalette)
        writePalette();
    const kelStatus sts = writer.flush();
    if (sts == kelOKAY)
        flushNeeded = 0;
    return sts;
}
