// Creating a GIF file and appending images to it. The header goes out with
// the first image; every image then takes the place of the trailer and
// ends with a new one, so the file is complete after each write.
#include "kelGIFFile.h"

#include <kel/kelColormap.h>
#include <kel/kelError.h>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include "kelGIFColormap.h"

kelStatus kelGIFFile::createFile()
{
    wroteHeader = 0;
    if (fd < 0) {
        KEL_ASSERT(filename != NULL);
        fd = ::open(filename, accessmode | O_CREAT | O_TRUNC, 0666);
        if (fd < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    input.attach(fd);
    screen = {0, 0};
    backgroundIndex = 0;
    aspectRatio = 0;
    initImageAttrs();
    pending = 1;
    return kelOKAY;
}

void kelGIFFile::initImageAttrs()
{
    position = {0, 0};
    delete localMap;
    localMap = nullptr;
    disposalMethod = 0;
    userInput = 0;
    delayTime = 0;
}

kelStatus kelGIFFile::setPage(const void* data, int, int, int, int, int, int, int, int)
{
    if (accessmode != O_RDWR)
        return kelREADONLY;
    beginFileIO();
    long long blocks = 0;
    kelStatus sts = writeImage(static_cast<const unsigned char*>(data), blocks);
    endFileIO();
    input.invalidate();
    if (sts != kelOKAY)
        return sts;
    // Without appendImg, a second page of one image is another image.
    if (!pending) {
        ++nimgs;
        imgidx = nimgs - 1;
    }
    rememberImageStart(imgidx, blocks);
    pending = 0;
    interlaced = doInterlace;
    return kelOKAY;
}

static void putWord(int v, FILE* fp)
{
    putc(v & 0xff, fp);
    putc((v >> 8) & 0xff, fp);
}

// The R, G, B bytes of the first `entries` entries, 0 past the map's end.
static void tableBytes(const kelColormap& map, int entries, unsigned char* rgb)
{
    for (int i = 0; i < entries; ++i)
        for (int c = 0; c < 3; ++c)
            rgb[3 * i + c] = i < map.getLength() ? (unsigned char)int(map.getVal(i, c)) : 0;
}

static int tableEntries(const kelColormap& map)
{
    return 1 << BitsFromCount(map.getLength());
}

void kelGIFFile::writeTable(const kelColormap& map, int entries)
{
    unsigned char rgb[3 * 256];
    tableBytes(map, entries, rgb);
    fwrite(rgb, 3, size_t(entries), outfp);
}

void kelGIFFile::rememberHeaderTable(const kelColormap& map, int entries)
{
    headerEntries = entries;
    tableBytes(map, entries, headerTable);
}

int kelGIFFile::matchesHeaderTable(const kelColormap& map) const
{
    unsigned char rgb[3 * 256];
    const int entries = tableEntries(map);
    if (entries != headerEntries)
        return 0;
    tableBytes(map, entries, rgb);
    return memcmp(rgb, headerTable, size_t(3 * entries)) == 0;
}

kelStatus kelGIFFile::openStream()
{
    if (outfp)
        return kelOKAY;
    outfp = fdopen(fd, "w+");
    if (!outfp)
        return kelSystemStatus(kelOPENFAILED);
    setvbuf(outfp, nullptr, _IOFBF, 64 * 1024);
    return kelOKAY;
}

kelStatus kelGIFFile::checkOutputStatus()
{
    errno = 0;
    if (fflush(outfp) == 0 && !ferror(outfp))
        return kelOKAY;
    int err = errno ? errno : EIO;
    kelError(kelSeverityWarning, "Error writing GIF file: %s", filename ? filename : "");
    return kelComposeStatus(kelWRITEFAILED, 1, err);
}

void kelGIFFile::writeLoopExtension()
{
    fwrite("\x21\xff\x0bNETSCAPE2.0\x03\x01", 1, 16, outfp);
    putWord(loopCount, outfp);
    putc(0, outfp);
}

// The profile bytes straight in sub-blocks, as other software reads them.
// A first sub-block of 4 bytes could read as the older form's size (of 0
// bytes, when all four are 0): a 4-byte profile goes out as 3 + 1.
void kelGIFFile::writeProfileExtension()
{
    fwrite("\x21\xff\x0bICCRGBG1012", 1, 14, outfp);
    for (int done = 0, len; done < profileSize; done += len) {
        len = profileSize - done < 255 ? profileSize - done : 255;
        if (profileSize == 4 && done == 0)
            len = 3;
        putc(len, outfp);
        fwrite(profileData + done, 1, size_t(len), outfp);
    }
    putc(0, outfp);
}

// The screen, the global table (or the first image's), looping, the
// profile, and a trailer for the images to replace.
kelStatus kelGIFFile::writeHeader()
{
    if (wroteHeader)
        return kelOKAY;
    const kelColormap* table = globalMap ? globalMap : localMap;
    KEL_ASSERT(table != NULL);
    const int entries = tableEntries(*table);
    if (fseeko(outfp, 0, SEEK_SET) != 0)
        return kelSystemStatus(kelSEEKFAILED);
    fputs(transIndex != -1 ? "GIF89a" : "GIF87a", outfp);
    putWord(screen.x > 0 ? screen.x : size.x, outfp);
    putWord(screen.y > 0 ? screen.y : size.y, outfp);
    putc(0xF0 | (BitsFromCount(entries) - 1), outfp);
    putc(backgroundIndex & 0xff, outfp);
    putc(aspectRatio & 0xff, outfp);
    writeTable(*table, entries);
    if (loopCount >= 0)
        writeLoopExtension();
    if (profileData)
        writeProfileExtension();
    putc(';', outfp);
    kelStatus sts = checkOutputStatus();
    if (sts != kelOKAY)
        return sts;
    rememberHeaderTable(*table, entries);
    beginOfImages = endOfImages = ftello(outfp) - 1;
    wroteHeader = 1;
    // The file has a global table now, also when it is the first image's.
    if (!globalMap && !(globalMap = kelGIFNewColormap(headerTable, BitsFromCount(entries), -1)))
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    return kelOKAY;
}

void kelGIFFile::writeGraphicControl()
{
    if (transIndex == -1 && !delayTime && !disposalMethod && !userInput)
        return;
    fwrite("\x21\xf9\x04", 1, 3, outfp);
    putc((disposalMethod & 7) << 2 | userInput << 1 | (transIndex != -1), outfp);
    putWord(delayTime, outfp);
    putc(transIndex & 0xff, outfp);
    putc(0, outfp);
}

// `table`: the local table to write, or null.
void kelGIFFile::writeDescriptor(const kelColormap* table, int bits)
{
    putc(',', outfp);
    putWord(position.x, outfp);
    putWord(position.y, outfp);
    putWord(size.x, outfp);
    putWord(size.y, outfp);
    putc((table ? 0x80 : 0) | (doInterlace ? 0x40 : 0) | (((table ? bits : 1) - 1) & 7), outfp);
    if (table)
        writeTable(*table, 1 << bits);
}

// Every pixel must be a root code of the stream: below 2^bits.
kelStatus kelGIFFile::checkPixels(const unsigned char* cbuf, int bits) const
{
    if (bits >= 8)
        return kelOKAY;
    const size_t count = size_t(size.x) * size_t(size.y);
    unsigned char any = 0;
    for (size_t i = 0; i < count; ++i)
        any |= cbuf[i];
    if (any >> bits)
        return kelBADPARAMS;
    return kelOKAY;
}

// `blocks`: where the image's blocks begin.
kelStatus kelGIFFile::writeImage(const unsigned char* cbuf, long long& blocks)
{
    const kelColormap* map = currentMap();
    if (!map)
        return kelBADPARAMS;
    const int bits = BitsFromCount(map->getLength());
    const int codeSize = bits < 2 ? 2 : bits;
    kelStatus sts = checkPixels(cbuf, codeSize);
    if (sts == kelOKAY && !encoder.prepare(codeSize + 1))
        sts = kelMALLOCFAILED;
    if (sts == kelOKAY)
        sts = openStream();
    if (sts == kelOKAY)
        sts = writeHeader();
    if (sts != kelOKAY)
        return sts;
    if (fseeko(outfp, endOfImages, SEEK_SET) != 0)
        return kelSystemStatus(kelSEEKFAILED);
    blocks = endOfImages;
    writeGraphicControl();
    writeDescriptor(matchesHeaderTable(*map) ? nullptr : map, bits);
    const long long start = ftello(outfp);
    putc(codeSize, outfp);
    encoder.gifcompress(outfp, cbuf, size.x, size.y, doInterlace, codeSize + 1);
    putc(0, outfp);
    putc(';', outfp);
    sts = checkOutputStatus();
    if (sts != kelOKAY)
        return sts;
    beginCurrentImage = start;
    endOfImages = ftello(outfp) - 1;
    return kelOKAY;
}
