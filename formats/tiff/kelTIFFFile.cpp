#include "kelTIFFFile.h"

#include <kel/kelColormap.h>
#include <kel/kelDataSize.h>
#include <kel/kelError.h>

#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <new>

#include "kelOpenForReading.h"

namespace {

// Files whose pixels alone come this near 4 GiB are written as BigTIFF:
// directories, compression overhead and appended images need the rest.
const unsigned long long bigTIFFThreshold = (4ULL << 30) - (256ULL << 20);

} // namespace

kelTIFFFile::kelTIFFFile()
    : tif(nullptr), nimgs(0), imgidx(0), fresh(0), bigTIFF(0), blocksWritten(0), direction(Idle), heldBytes(0)
{
}

// closeFile releases libtiff and the descriptor; a file object that was
// never opened holds neither.
kelTIFFFile::~kelTIFFFile()
{
    if (tif)
        TIFFCleanup(tif);
}

kelStatus kelTIFFFile::openTIFF(const char* mode)
{
    stream.fd = fd;
    stream.name = filename ? filename : "";
    stream.clear();
    tif = kelTIFFOpen(stream, mode);
    return tif ? kelStatus(kelOKAY) : failure(kelBADIMGFMT);
}

// The status of a failed libtiff call; the stream starts clean for the next.
kelStatus kelTIFFFile::failure(kelStatus otherwise)
{
    kelStatus sts = stream.failure(otherwise);
    if (!stream.failed && !stream.ioErrno)
        kelError(kelSeverityWarning, "TIFF file %s: libtiff failed without a message", stream.name.c_str());
    stream.clear();
    return sts;
}

kelStatus kelTIFFFile::openFile()
{
    return kelOpenForReading(fd, filename, accessmode, [this] {
        // Strips are chopped into smaller pages only where they are never
        // rewritten.
        kelStatus sts = openTIFF(accessmode == O_RDWR ? "r+c" : "r");
        if (sts == kelOKAY)
            sts = countImages();
        if (sts == kelOKAY)
            sts = takeLayout();
        if (sts != kelOKAY) {
            if (tif)
                TIFFCleanup(tif);
            tif = nullptr;
        }
        return sts;
    });
}

kelStatus kelTIFFFile::createFile()
{
    if (fd < 0) {
        KEL_ASSERT(filename != NULL);
        fd = ::open(filename, accessmode | O_CREAT | O_TRUNC, 0666);
        if (fd < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    const unsigned long long pixels = (unsigned long long)size.x * size.y * size.c;
    bigTIFF = (dtype == kelBit ? pixels / 8 : pixels * kelDataSize(dtype, 1)) >= bigTIFFThreshold ||
              (formatArgs && strstr(formatArgs, "bigtiff"));
    kelStatus sts = openTIFF(bigTIFF ? "w8" : "w");
    if (sts != kelOKAY)
        return sts;
    nimgs = 1;
    imgidx = 0;
    return startImage();
}

kelStatus kelTIFFFile::closeFile()
{
    kelStatus sts = kelOKAY;
    if (tif) {
        sts = leaveImage();
        TIFFCleanup(tif);
        tif = nullptr;
    }
    if (fd >= 0 && ::close(fd) != 0 && sts == kelOKAY)
        sts = kelSystemStatus(kelCLOSEFAILED);
    fd = -1;
    return sts;
}

// Blocks go to the file as they are set; a directory when its image is
// left. What failed on the way sticks and is reported here.
kelStatus kelTIFFFile::flush()
{
    return stream.ioErrno ? kelComposeStatus(kelWRITEFAILED, 1, stream.ioErrno) : kelStatus(kelOKAY);
}

kelStatus kelTIFFFile::_getICCProfile(int& sz, void*& data)
{
    uint32_t count = 0;
    void* bytes = nullptr;
    sz = 0;
    data = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_ICCPROFILE, &count, &bytes) || !bytes || count > 0x7fffffff)
        return kelBADPARAMS;
    sz = int(count);
    data = bytes;
    return kelOKAY;
}

// The profile is libtiff's, valid while the image is current.
kelStatus kelTIFFFile::_freeICCProfile(void*)
{
    return kelOKAY;
}

kelStatus kelTIFFFile::_setICCProfile(int sz, const void* data)
{
    if (accessmode != O_RDWR)
        return kelREADONLY;
    if (sz < 0 || (sz > 0 && !data))
        return kelBADPARAMS;
    if (!TIFFSetField(tif, TIFFTAG_ICCPROFILE, uint32_t(sz), data))
        return failure(kelBADPARAMS);
    return kelOKAY;
}
