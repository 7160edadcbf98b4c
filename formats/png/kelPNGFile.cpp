// Opening, creating and closing a PNG file; its colormap, scale and profile.
#include "kelPNGFile.h"
#include "kelOpenForReading.h"

#include <kel/kelColormap.h>
#include <kel/kelDataSize.h>
#include <kel/kelError.h>
#include <kel/kelLimits.h>

#include <fcntl.h>
#include <math.h>
#include <string.h>
#include <unistd.h>

#include <new>

kelPNGFile::kelPNGFile()
    : cmap(nullptr), trailerRead(false), level(6), filter(kelPNGfilterDefault), depthSetting(0), layoutFixed(false),
      finished(false), writeFailure(kelOKAY), limit(0), heldBytes(0), nextStrip(0), readBackX(-1), readBackY(-1)
{
}

// Reached without closeFile only when open or create failed; the framework
// then looks after the descriptor.
kelPNGFile::~kelPNGFile()
{
    delete cmap;
}

// Files are read, or created and written: a compressed stream is not
// rewritten in place.
kelStatus kelPNGFile::openFile()
{
    if (accessmode != O_RDONLY)
        return kelUNSUPPORTEDBYLIBRARY;
    return kelOpenForReading(fd, filename, O_RDONLY | O_CLOEXEC, [this] {
        reader.attach(fd);
        kelStatus sts = readHeader();
        if (sts == kelOKAY) {
            readAncillary();
            setAttributes();
            decoder.init(&reader, layout, pageHeight, keptRows / pageHeight, filename);
            sts = kelCheckPageBytes(decoder.bytesNeeded(), "PNG rows");
        }
        return sts;
    });
}

kelStatus kelPNGFile::closeFile()
{
    kelStatus sts = kelOKAY;
    if (accessmode != O_RDONLY)
        sts = finish();
    decoder.release();
    encoder.release();
    held.clear();
    if (fd >= 0 && ::close(fd) != 0 && sts == kelOKAY)
        sts = kelSystemStatus(kelCLOSEFAILED);
    fd = -1;
    return sts;
}

kelStatus kelPNGFile::getColormap(const kelColormap*& map)
{
    map = cmap;
    return kelOKAY;
}

// Values as stored: the scale of gray below 8 bits ends at its largest
// value; palette indices and other samples span their type.
kelStatus kelPNGFile::getScaleMinMax(double& min, double& max)
{
    min = 0;
    max =
        layout.colorType == 0 && layout.depth < 8 ? layout.maxValue() : kelDataMax(dtype == kelBit ? kelUChar : dtype);
    return kelOKAY;
}

kelStatus kelPNGFile::_getICCProfile(int& sz, void*& profile)
{
    if (info.profile.empty()) {
        sz = 0;
        profile = nullptr;
        return kelBADPARAMS;
    }
    sz = int(info.profile.size());
    profile = info.profile.data();
    return kelOKAY;
}

kelStatus kelPNGFile::_freeICCProfile(void*)
{
    return kelOKAY;
}

kelStatus kelPNGFile::_setICCProfile(int sz, const void* profile)
{
    if (sz < 0 || (sz > 0 && !profile))
        return kelBADPARAMS;
    if (!canSet())
        return kelREADONLY;
    const unsigned char* p = static_cast<const unsigned char*>(profile);
    try {
        info.profile.assign(p, p + sz);
    } catch (const std::bad_alloc&) {
        return kelMALLOCFAILED;
    }
    return kelOKAY;
}

// PLTE takes entries 0 .. the map's last index (at most 255), 0 below its
// first; an alpha channel becomes tRNS up to its last entry that is not
// opaque. Set before the first pixels.
kelStatus kelPNGFile::setColormap(const kelColormap* map)
{
    if (cm != kelRGBPalette || !map || map->getNumChans() < 3 ||
        (map->getDataType() != kelUChar && map->getDataType() != kelUShort) || !(map->getDomainMax() >= 0) ||
        !(map->getDomainMax() < 256))
        return kelBADPARAMS;
    if (!canSet() || layoutFixed)
        return kelREADONLY;
    const int first = map->getDomainMin() > 0 ? int(ceil(map->getDomainMin())) : 0;
    const int entries = int(floor(map->getDomainMax())) + 1;
    if (depthSetting && entries > 1 << depthSetting)
        return kelBADPARAMS;
    const int shift = map->getDataType() == kelUShort ? 8 : 0;
    const bool alpha = map->getNumChans() >= 4;
    info.alphaEntries = 0;
    for (int i = 0; i < entries; ++i) {
        for (int c = 0; c < 4; ++c) {
            const int v = i < first ? (c == 3 ? 255 : 0) : c < 3 || alpha ? int(map->getVal(i, c)) >> shift : 255;
            if (c < 3)
                info.palette[3 * i + c] = (unsigned char)v;
            else
                info.alpha[i] = (unsigned char)v;
        }
        if (info.alpha[i] != 255)
            info.alphaEntries = i + 1;
    }
    info.paletteEntries = entries;
    info.hasTransparency = info.alphaEntries > 0;
    delete cmap;
    cmap = nullptr;
    return makeColormap();
}
