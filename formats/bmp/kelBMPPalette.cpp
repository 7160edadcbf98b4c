// The palette: read after the info header, set by the caller of a new file,
// and written by flush as Blue, Green, Red, 0 entries.
#include "kelBMPFile.h"

#include <kel/kelColormap.h>
#include <kel/kelError.h>

#include <fcntl.h>
#include <math.h>

#include <new>

namespace {

const uint32_t maxEntries = 256;

// A map of `entries` colors; null when it cannot be allocated.
kelColormap* newPalette(uint32_t entries)
{
    kelColormap* map = new (std::nothrow) kelColormap(3, kelUChar, 0, int(entries) - 1);
    if (map && map->getLength() != int(entries)) {
        delete map;
        map = nullptr;
    }
    return map;
}

} // namespace

// The 12-byte layout has no color count: a palette shorter than the depth
// allows is recognised by the pixels starting before its end.
uint32_t kelBMPFile::paletteEntriesToRead() const
{
    uint32_t entries = infoHdr.paletteEntries();
    if (!infoHdr.isShort())
        return entries;
    const uint64_t start = 14 + uint64_t(infoHdr.HeaderSize);
    if (hdr.ImageDataOffset >= start + 3) {
        const uint64_t room = (hdr.ImageDataOffset - start) / 3;
        if (room < entries)
            entries = uint32_t(room);
    }
    return entries;
}

kelStatus kelBMPFile::readPalette()
{
    const uint32_t entries = paletteEntriesToRead();
    const size_t entrySize = infoHdr.isShort() ? 3 : 4;
    unsigned char bytes[maxEntries * 4];
    const size_t length = entries * entrySize;
    if (reader.readAt(14 + (long long)infoHdr.HeaderSize, bytes, length) != length) {
        kelError(kelSeverityWarning, "Palette not complete in BMP file %s", filename ? filename : "");
        return kelOPENFAILED;
    }
    cmap = newPalette(entries);
    if (!cmap)
        return kelMALLOCFAILED;
    unsigned char* red = static_cast<unsigned char*>(cmap->getChan(0));
    unsigned char* green = static_cast<unsigned char*>(cmap->getChan(1));
    unsigned char* blue = static_cast<unsigned char*>(cmap->getChan(2));
    for (uint32_t i = 0; i < entries; i++) {
        const unsigned char* entry = bytes + i * entrySize;
        red[i] = entry[2];
        green[i] = entry[1];
        blue[i] = entry[0];
    }
    return kelOKAY;
}

void kelBMPFile::dropPalette()
{
    delete cmap;
    cmap = nullptr;
}

kelStatus kelBMPFile::getColormap(const kelColormap*& map)
{
    map = cmap;
    return kelOKAY;
}

// Readers take at most 256 entries, so a map reaching past index 255 is
// refused; the depth is the smallest that holds the map's indices.
kelStatus kelBMPFile::setColormap(const kelColormap* map)
{
    if (cm != kelRGBPalette || !map || map->getNumChans() != 3 || map->getDataType() != kelUChar)
        return kelBADPARAMS;
    const double last = floor(map->getDomainMax());
    if (!(last >= 0 && last < maxEntries))
        return kelBADPARAMS;
    if (accessmode == O_RDONLY)
        return kelREADONLY;
    if (hdr.ImageDataOffset != 0)
        return kelBADFIELDSET;
    kelColormap* copy = new (std::nothrow) kelColormap(*map);
    if (!copy || copy->getLength() != map->getLength()) {
        delete copy;
        return kelMALLOCFAILED;
    }
    dropPalette();
    cmap = copy;
    infoHdr.NumColorsUsed = uint32_t(last) + 1;
    if (infoHdr.NumSignificantColors > infoHdr.NumColorsUsed)
        infoHdr.NumSignificantColors = infoHdr.NumColorsUsed;
    infoHdr.BitsPerPixel = infoHdr.NumColorsUsed <= 2 ? 1 : infoHdr.NumColorsUsed <= 16 ? 4 : 8;
    flushNeeded = 1;
    return kelOKAY;
}

// Indices outside the map's domain have no color: they are written black.
void kelBMPFile::writePalette()
{
    unsigned char bytes[maxEntries * 4] = {};
    double first = 0, last = 0;
    cmap->getDomain(first, last);
    for (uint32_t i = 0; i < infoHdr.NumColorsUsed; i++) {
        unsigned char* entry = bytes + i * 4;
        if (i < first || i > last)
            continue;
        entry[0] = (unsigned char)cmap->getVal(i, 2);
        entry[1] = (unsigned char)cmap->getVal(i, 1);
        entry[2] = (unsigned char)cmap->getVal(i, 0);
    }
    writer.write(bytes, size_t(infoHdr.NumColorsUsed) * 4);
}
