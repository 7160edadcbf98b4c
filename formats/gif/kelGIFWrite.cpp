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
    output.write(rgb, 3 * size_t(entries));
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

// The file is read back as well as written, at offsets of its own: the
// descriptor must be open for both and seekable.
kelStatus kelGIFFile::openOutput()
{
    if (writing)
        return kelOKAY;
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) != O_RDWR)
        return kelComposeStatus(kelOPENFAILED, 1, flags < 0 ? errno : EBADF);
    if (lseek(fd, 0, SEEK_CUR) < 0)
        return kelSystemStatus(kelSEEKFAILED);
    output.attach(fd);
    writing = 1;
    return kelOKAY;
}

kelStatus kelGIFFile::checkOutputStatus()
{
    const kelStatus sts = output.flush();
    if (sts != kelOKAY)
        kelError(kelSeverityWarning, "Error writing GIF file: %s", filename ? filename : "");
    return sts;
}

void kelGIFFile::writeLoopExtension()
{
    output.write("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
    output.putLE16(unsigned(loopCount));
    output.putByte(0);
}

// The profile bytes straight in sub-blocks, as other software reads them.
// A first sub-block of 4 bytes could read as the older form's size (of 0
// bytes, when all four are 0): a 4-byte profile goes out as 3 + 1.
void kelGIFFile::writeProfileExtension()
{
    output.write("\x21\xff\x0bICCRGBG1012", 14);
    for (int done = 0, len; done < profileSize; done += len) {
        len = profileSize - done < 255 ? profileSize - done : 255;
        if (profileSize == 4 && done == 0)
            len = 3;
        output.putByte(len);
        output.write(profileData + done, size_t(len));
    }
    output.putByte(0);
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
    output.seek(0);
    output.write(transIndex != -1 ? "GIF89a" : "GIF87a", 6);
    output.putLE16(unsigned(screen.x > 0 ? screen.x : size.x));
    output.putLE16(unsigned(screen.y > 0 ? screen.y : size.y));
    output.putByte(0xF0 | (BitsFromCount(entries) - 1));
    output.putByte(backgroundIndex & 0xff);
    output.putByte(aspectRatio & 0xff);
    writeTable(*table, entries);
    if (loopCount >= 0)
        writeLoopExtension();
    if (profileData)
        writeProfileExtension();
    output.putByte(';');
    kelStatus sts = checkOutputStatus();
    if (sts != kelOKAY)
        return sts;
    rememberHeaderTable(*table, entries);
    beginOfImages = endOfImages = output.tell() - 1;
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
    output.write("\x21\xf9\x04", 3);
    output.putByte((disposalMethod & 7) << 2 | userInput << 1 | (transIndex != -1));
    output.putLE16(unsigned(delayTime));
    output.putByte(transIndex & 0xff);
    output.putByte(0);
}

// `table`: the local table to write, or null.
void kelGIFFile::writeDescriptor(const kelColormap* table, int bits)
{
    output.putByte(',');
    output.putLE16(unsigned(position.x));
    output.putLE16(unsigned(position.y));
    output.putLE16(unsigned(size.x));
    output.putLE16(unsigned(size.y));
    output.putByte((table ? 0x80 : 0) | (doInterlace ? 0x40 : 0) | (((table ? bits : 1) - 1) & 7));
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
        sts = openOutput();
    if (sts == kelOKAY)
        sts = writeHeader();
    if (sts != kelOKAY)
        return sts;
    output.seek(endOfImages);
    blocks = endOfImages;
    writeGraphicControl();
    writeDescriptor(matchesHeaderTable(*map) ? nullptr : map, bits);
    const long long start = output.tell();
    output.putByte(codeSize);
    encoder.gifcompress(output, cbuf, size.x, size.y, doInterlace, codeSize + 1);
    output.putByte(0);
    output.putByte(';');
    sts = checkOutputStatus();
    if (sts != kelOKAY)
        return sts;
    beginCurrentImage = start;
    endOfImages = output.tell() - 1;
    return kelOKAY;
}
