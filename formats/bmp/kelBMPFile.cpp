// Opening and closing a BMP file, its stream, and its items.
#include "kelBMPFile.h"

#include <kel/kelColormap.h>
#include <kel/kelDataSize.h>
#include <kel/kelError.h>

#include <fcntl.h>
#include <unistd.h>

kelBMPFile::kelBMPFile() : fp(nullptr), flushNeeded(0), cmap(nullptr), pixelsWritten(0) {}

// Reached without closeFile only when open or create failed; the framework
// then looks after the descriptor itself.
kelBMPFile::~kelBMPFile()
{
    closeStream();
    dropPalette();
}

// The stream is made over a duplicate of a handed-in descriptor: closing
// it leaves the descriptor to the framework (or to the caller, when an open
// fails), which closes it exactly once.
kelStatus kelBMPFile::openStream(const char* nameMode, const char* fdMode)
{
    if (fd < 0) {
        KEL_ASSERT(filename != NULL);
        fp = fopen(filename, nameMode);
        return fp ? kelStatus(kelOKAY) : kelSystemStatus(kelOPENFAILED);
    }
    if (lseek(fd, 0, SEEK_SET) < 0)
        return kelSystemStatus(kelSEEKFAILED);
    int dupFd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (dupFd < 0)
        return kelSystemStatus(kelOPENFAILED);
    fp = fdopen(dupFd, fdMode);
    if (fp)
        return kelOKAY;
    kelStatus sts = kelSystemStatus(kelOPENFAILED);
    ::close(dupFd);
    return sts;
}

// A stream that was written reports a failed final write here.
kelStatus kelBMPFile::closeStream()
{
    if (!fp)
        return kelOKAY;
    int rc = fclose(fp);
    fp = nullptr;
    return rc != 0 && accessmode != O_RDONLY ? kelSystemStatus(kelWRITEFAILED) : kelStatus(kelOKAY);
}

// Data a new file still buffers goes out first, so that its failure is
// reported as the failed write it is.
kelStatus kelBMPFile::seekTo(off_t offset)
{
    if (accessmode != O_RDONLY && fflush(fp) != 0)
        return kelSystemStatus(kelWRITEFAILED);
    return fseeko(fp, offset, SEEK_SET) == 0 ? kelStatus(kelOKAY) : kelSystemStatus(kelSEEKFAILED);
}

kelStatus kelBMPFile::readHeaders()
{
    kelStatus sts = hdr.read(fp);
    if (sts == kelOKAY)
        sts = infoHdr.read(fp);
    if (sts == kelOKAY)
        sts = infoHdr.check();
    return sts;
}

// A top-down file keeps its rows as stored and says so by its orientation.
void kelBMPFile::setAttributes()
{
    const int rgb = infoHdr.BitsPerPixel == 24;
    size = kelSize(infoHdr.ImageWidth, int(infoHdr.height()), 1, rgb ? 3 : 1);
    pageSize = size;
    dtype = kelUChar;
    order = kelInterleaved;
    orientation = infoHdr.isTopDown() ? kelUpperLeftOrigin : kelLowerLeftOrigin;
    cm = rgb ? kelRGB : kelRGBPalette;
    compression = infoHdr.CompressionMethod == 0 ? kelNoCompression : kelUnknownCompression;
}

kelStatus kelBMPFile::openFile()
{
    if (accessmode != O_RDONLY)
        return kelUNSUPPORTEDBYLIBRARY;
    kelStatus sts = openStream("rb", "rb");
    if (sts == kelOKAY)
        sts = readHeaders();
    if (sts == kelOKAY) {
        setAttributes();
        // The framework reads the image into one page buffer.
        sts = kelCheckPageBytes(uint64_t(size.x) * uint64_t(size.y) * uint64_t(size.c), "BMP page");
    }
    if (sts == kelOKAY && cm == kelRGBPalette)
        sts = readPalette();
    flushNeeded = 0;
    if (sts != kelOKAY) {
        dropPalette();
        closeStream();
    }
    return sts;
}

kelStatus kelBMPFile::closeFile()
{
    dropPalette();
    kelStatus sts = closeStream();
    if (fd >= 0) {
        int rc = ::close(fd);
        fd = -1;
        if (rc != 0 && sts == kelOKAY)
            sts = kelSystemStatus(kelCLOSEFAILED);
    }
    return sts;
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
