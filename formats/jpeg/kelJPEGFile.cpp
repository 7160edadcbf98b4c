#include "kelJPEGFile.h"

#include <kel/kelColor.h>
#include <kel/kelError.h>

#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <new>

#include "kelOpenForReading.h"

namespace {

// JPEG's APP2 chunks carry at most 255 x 65519 bytes of a profile.
const long long maxProfileBytes = 255LL * 65519;

} // namespace

kelJPEGFile::kelJPEGFile()
    : profileStatus(kelOKAY), creating(0), nextBand(0), finished(0), lastRead{-1, -1}, writeStatus(kelOKAY)
{
}

kelJPEGFile::~kelJPEGFile() = default;

kelStatus kelJPEGFile::openFile()
{
    return kelOpenForReading(fd, filename, accessmode, [this] {
        kelStatus sts = readHeader();
        if (sts != kelOKAY)
            decoder.reset();
        return sts;
    });
}

kelStatus kelJPEGFile::createFile()
{
    creating = 1;
    if (kelColorModelChans(cm) != size.c)
        return kelBADPARAMS;
    if (fd < 0) {
        KEL_ASSERT(filename != NULL);
        fd = ::open(filename, accessmode | O_CREAT | O_TRUNC, 0666);
        if (fd < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    return kelOKAY;
}

// A new file is completed here: the bands not encoded yet go out, blank
// where nothing was written.
kelStatus kelJPEGFile::closeFile()
{
    kelStatus sts = creating && !finished ? encodeRest() : kelOKAY;
    decoder.reset();
    encoder.reset();
    bands.clear();
    if (fd >= 0 && ::close(fd) != 0 && sts == kelOKAY)
        sts = kelSystemStatus(kelCLOSEFAILED);
    fd = -1;
    return sts;
}

// Bands go to the file as they complete; what failed on the way is
// reported here as well.
kelStatus kelJPEGFile::flush()
{
    return writeStatus;
}

int kelJPEGFile::isPage(int x, int y, int nx, int ny) const
{
    return x >= 0 && y >= 0 && x < size.x && y < size.y && x % pageSize.x == 0 && y % pageSize.y == 0 && nx >= 1 &&
           ny >= 1 && nx <= std::min(pageSize.x, size.x - x) && ny <= std::min(pageSize.y, size.y - y);
}

kelStatus kelJPEGFile::_getICCProfile(int& sz, void*& data)
{
    sz = 0;
    data = nullptr;
    if (profileStatus != kelOKAY)
        return profileStatus;
    if (profile.empty())
        return kelBADPARAMS;
    sz = int(profile.size());
    data = profile.data();
    return kelOKAY;
}

kelStatus kelJPEGFile::_freeICCProfile(void*)
{
    return kelOKAY;
}

// The profile goes out with the first rows.
kelStatus kelJPEGFile::_setICCProfile(int sz, const void* data)
{
    if (!creating || encoder)
        return kelREADONLY;
    if (sz < 0 || sz > maxProfileBytes || (sz > 0 && !data))
        return kelBADPARAMS;
    try {
        const unsigned char* p = static_cast<const unsigned char*>(data);
        profile.assign(p, p + sz);
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    return kelOKAY;
}
