// Writing a new JPEG file: pages gather in bands, and each band is encoded
// once every page of it is in and the bands above it are encoded.
#include "kelJPEGFile.h"

#include <kel/kelError.h>
#include <kel/kelLimits.h>

#include <string.h>

#include <algorithm>
#include <new>

int kelJPEGFile::bandCount() const
{
    return (size.y + pageSize.y - 1) / pageSize.y;
}

int kelJPEGFile::pagesPerBand() const
{
    return (size.x + pageSize.x - 1) / pageSize.x;
}

size_t kelJPEGFile::rowBytes() const
{
    return size_t(size.x) * size_t(size.c);
}

kelStatus kelJPEGFile::bandAt(int index, Band*& band)
{
    auto found = bands.find(index);
    if (found != bands.end()) {
        band = &found->second;
        return kelOKAY;
    }
    const unsigned long long bytes = (unsigned long long)pageSize.y * rowBytes();
    kelStatus sts = kelCheckPageBytes(bytes, "JPEG band");
    if (sts != kelOKAY)
        return sts;
    try {
        band = &bands[index];
        band->pages.assign(size_t(pagesPerBand()), 0);
    } catch (const std::bad_alloc&) {
        bands.erase(index);
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    band->pixels = spare ? std::move(spare) : std::unique_ptr<unsigned char[]>(new (std::nothrow) unsigned char[bytes]);
    if (!band->pixels) {
        bands.erase(index);
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    return kelOKAY;
}

void kelJPEGFile::clearUnwritten(Band& band, int rows)
{
    const size_t pageBytes = size_t(pageSize.x) * size_t(size.c);
    for (size_t i = 0; i < band.pages.size(); i++)
        for (int r = 0; !band.pages[i] && r < rows; r++)
            memset(band.pixels.get() + size_t(r) * rowBytes() + i * pageBytes, 0,
                   std::min(pageBytes, rowBytes() - i * pageBytes));
}

kelStatus kelJPEGFile::startEncoder()
{
    encoder.reset(new (std::nothrow) kelJPEGEncoder(fd, filename ? filename : ""));
    if (!encoder)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    const kelJPEGImage image = {size.x, size.y, cm, orientation};
    return encoder->start(image, settings, profile);
}

// The first failure sticks: the file cannot be completed after it.
kelStatus kelJPEGFile::encodeBand(int index, Band& band)
{
    const int rows = std::min(pageSize.y, size.y - index * pageSize.y);
    kelStatus sts = encoder ? kelOKAY : startEncoder();
    clearUnwritten(band, rows);
    if (sts == kelOKAY)
        sts = encoder->write(band.pixels.get(), rows, rowBytes());
    spare = std::move(band.pixels);
    bands.erase(index);
    nextBand = index + 1;
    if (sts == kelOKAY && nextBand == bandCount()) {
        sts = encoder->finish();
        finished = 1;
    }
    writeStatus = sts;
    return sts;
}

kelStatus kelJPEGFile::encodeCompleteBands()
{
    kelStatus sts = kelOKAY;
    while (sts == kelOKAY && !bands.empty() && bands.begin()->first == nextBand &&
           bands.begin()->second.wholePages == pagesPerBand())
        sts = encodeBand(nextBand, bands.begin()->second);
    return sts;
}

kelStatus kelJPEGFile::encodeRest()
{
    kelStatus sts = writeStatus;
    beginFileIO();
    while (sts == kelOKAY && nextBand < bandCount()) {
        Band* band = nullptr;
        sts = bandAt(nextBand, band);
        if (sts == kelOKAY)
            sts = encodeBand(nextBand, *band);
    }
    endFileIO();
    return sts;
}

static kelStatus encodedAlready(const char* fileName, int y)
{
    kelError(kelSeverityWarning, "JPEG file %s: row %d is encoded already and cannot change", fileName, y);
    return kelUNSUPPORTEDBYFORMAT;
}

// A page of a band still open reads as written so far (blank elsewhere);
// the setPage that follows writes part of it.
kelStatus kelJPEGFile::readPending(unsigned char* page, int x, int y, int nx, int ny)
{
    lastRead[0] = x;
    lastRead[1] = y;
    const int index = y / pageSize.y;
    if (index < nextBand)
        return encodedAlready(filename ? filename : "", y);
    const size_t pageRow = size_t(pageSize.x) * size_t(size.c), bytes = size_t(nx) * size_t(size.c);
    auto found = bands.find(index);
    const bool written = found != bands.end() && found->second.pages[size_t(x / pageSize.x)];
    for (int r = 0; r < ny; r++) {
        unsigned char* out = page + size_t(r) * pageRow;
        if (written)
            memcpy(out, found->second.pixels.get() + size_t(r) * rowBytes() + size_t(x) * size_t(size.c), bytes);
        else
            memset(out, 0, bytes);
    }
    return kelOKAY;
}

kelStatus kelJPEGFile::setPage(const void* data, int x, int y, int, int, int nx, int ny, int, int)
{
    if (!creating)
        return kelREADONLY;
    if (!isPage(x, y, nx, ny))
        return kelBADPARAMS;
    const bool partial = lastRead[0] == x && lastRead[1] == y;
    lastRead[0] = lastRead[1] = -1;
    if (writeStatus != kelOKAY)
        return writeStatus;
    const int index = y / pageSize.y;
    if (index < nextBand)
        return encodedAlready(filename ? filename : "", y);
    Band* band = nullptr;
    kelStatus sts = bandAt(index, band);
    if (sts != kelOKAY)
        return sts;
    const unsigned char* page = static_cast<const unsigned char*>(data);
    const size_t pageRow = size_t(pageSize.x) * size_t(size.c), bytes = size_t(nx) * size_t(size.c);
    for (int r = 0; r < ny; r++)
        memcpy(band->pixels.get() + size_t(r) * rowBytes() + size_t(x) * size_t(size.c), page + size_t(r) * pageRow,
               bytes);
    char& written = band->pages[size_t(x / pageSize.x)];
    if (!partial && written < 2)
        band->wholePages++;
    written = std::max(written, char(partial ? 1 : 2));
    beginFileIO();
    sts = encodeCompleteBands();
    endFileIO();
    return sts;
}
