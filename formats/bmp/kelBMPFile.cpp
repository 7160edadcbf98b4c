// Opening and closing a BMP file, and its items.
#include "kelBMPFile.h"

#include <kel/kelColormap.h>
#include <kel/kelDataSize.h>
#include <kel/kelError.h>

#include <fcntl.h>
#include <unistd.h>

kelBMPFile::kelBMPFile() : flushNeeded(0), cmap(nullptr), pixelsWritten(0) {}

// Reached without closeFile only when open or create failed; the framework
// then looks after the descriptor itself.
kelBMPFile::~kelBMPFile()
{
    dropPalette();
}

kelStatus kelBMPFile::readHeaders()
{
    kelStatus sts = hdr.read(reader);
    if (sts == kelOKAY)
        sts = infoHdr.read(reader);
    if (sts == kelOKAY)
        sts = infoHdr.check();
    if (sts == kelOKAY && (infoHdr.BitsPerPixel == 16 || infoHdr.BitsPerPixel == 32))
        sts = fields.set(infoHdr.Masks, infoHdr.BitsPerPixel);
    return sts;
}

// A top-down file keeps its rows as stored and says so by its orientation.
void kelBMPFile::setAttributes()
{
    const int channels = infoHdr.channels();
    size = kelSize(infoHdr.ImageWidth, int(infoHdr.height()), 1, channels);
    pageSize = size;
    dtype = kelUChar;
    order = kelInterleaved;
    orientation = infoHdr.isTopDown() ? kelUpperLeftOrigin : kelLowerLeftOrigin;
    cm = channels == 1 ? kelRGBPalette : channels == 3 ? kelRGB : kelRGBA;
    compression = infoHdr.isRunLength() ? kelUnknownCompression : kelNoCompression;
}

// The framework hands in the descriptor it opened (it opens nothing for
// the other modes, which it retries by name).
kelStatus kelBMPFile::openFile()
{
    if (accessmode != O_RDONLY)
        return kelUNSUPPORTEDBYLIBRARY;
    if (fd < 0)
        return kelOPENFAILED;
    reader.attach(fd);
    kelStatus sts = readHeaders();
    if (sts == kelOKAY) {
        setAttributes();
        // The framework reads the image into one page buffer.
        sts = kelCheckPageBytes(uint64_t(size.x) * uint64_t(size.y) * uint64_t(size.c), "BMP page");
    }
    if (sts == kelOKAY && cm == kelRGBPalette)
        sts = readPalette();
    flushNeeded = 0;
    if (sts != kelOKAY)
        dropPalette();
    return sts;
}

kelStatus kelBMPFile::closeFile()
{
    dropPalette();
    if (fd < 0)
        return kelOKAY;
    const int rc = ::close(fd);
    fd = -1;
    return rc != 0 ? kelSystemStatus(kelCLOSEFAILED) : kelStatus(kelOKAY);
}

kelStatus kelBMPFile::getScaleMinMax(double& min, double& max)
{
    const kelDataType type = cm == kelRGBPalette && cmap ? cmap->getDataType() : dtype;
    min = kelDataMin(type);
    max = kelDataMax(type);
    return kelOKAY;
}

// Items are ints; the value of tag `tag`, or null for an unknown tag.
static const void* itemField(const kelBMPFile::InfoHeader& ih, int tag)
{
    switch (tag) {
    case kelBMPHorizResolution:
        return &ih.HorzResolution;
    case kelBMPVertResolution:
        return &ih.VertResolution;
    case kelBMPSignificantColors:
        return &ih.NumSignificantColors;
    case kelBMPHeaderSize:
        return &ih.HeaderSize;
    default:
        return nullptr;
    }
}

kelStatus kelBMPFile::getItem(int tag, va_list args)
{
    const void* field = itemField(infoHdr, tag);
    if (!field)
        return kelBADFIELDGET;
    int* value = va_arg(args, int*);
    if (!value)
        return kelBADPARAMS;
    *value = *static_cast<const int32_t*>(field);
    return kelOKAY;
}

kelStatus kelBMPFile::setItem(int tag, va_list args)
{
    if (accessmode == O_RDONLY)
        return kelREADONLY;
    const int value = va_arg(args, int);
    switch (tag) {
    case kelBMPHorizResolution:
        infoHdr.HorzResolution = value;
        break;
    case kelBMPVertResolution:
        infoHdr.VertResolution = value;
        break;
    case kelBMPSignificantColors:
        if (value < 0 || uint32_t(value) > infoHdr.NumColorsUsed)
            return kelBADFIELDSET;
        infoHdr.NumSignificantColors = uint32_t(value);
        break;
    case kelBMPHeaderSize:
        return kelBADFIELDSET;
    default:
        return kelBADFIELDGET;
    }
    flushNeeded = 1;
    return kelOKAY;
}
