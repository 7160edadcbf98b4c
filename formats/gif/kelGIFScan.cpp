// Opening a GIF file: the signature, the logical screen, and a walk over
// the blocks that counts the images and selects one.
#include "kelGIFFile.h"

#include <kel/kelColormap.h>

#include <limits.h>

#include <new>

#include "kelGIFColormap.h"

static int word(const unsigned char* p)
{
    return p[0] | p[1] << 8;
}

kelStatus kelGIFFile::readHeader()
{
    dtype = kelUChar;
    orientation = kelUpperLeftOrigin;
    cm = kelRGBPalette;
    order = kelInterleaved;
    compression = kelLZW;
    kelStatus sts = checkSignature();
    if (sts == kelOKAY)
        sts = readScreen();
    if (sts != kelOKAY)
        return sts;
    nimgs = 0;
    beginOfImages = endOfImages = input.tell();
    long long firstImage = -1;
    sts = scanBlocks(firstImage);
    if (sts != kelOKAY)
        return sts;
    if (nimgs == 0)
        return kelBADIMGFMT;
    input.seek(firstImage);
    sts = getHeader();
    if (sts == kelOKAY)
        sts = readLocalMap();
    imgidx = 0;
    return sts;
}

// "GIF", two decimal digits and a lower-case letter.
kelStatus kelGIFFile::checkSignature()
{
    unsigned char sig[6];
    if (input.read(sig, 6) != 6 || sig[0] != 'G' || sig[1] != 'I' || sig[2] != 'F' || sig[3] < '0' ||
        sig[3] > '9' || sig[4] < '0' || sig[4] > '9' || sig[5] < 'a' || sig[5] > 'z')
        return kelBADMAGIC;
    return kelOKAY;
}

kelStatus kelGIFFile::readScreen()
{
    unsigned char d[7];
    if (input.read(d, 7) != 7)
        return kelPREMATUREEOF;
    screen.x = word(d);
    screen.y = word(d + 2);
    backgroundIndex = d[5];
    aspectRatio = d[6];
    if (!(d[4] & 0x80))
        return kelOKAY;
    kelStatus sts = readColormap(globalMap, (d[4] & 7) + 1);
    if (sts == kelOKAY)
        rememberHeaderTable(*globalMap, globalMap->getLength());
    return sts;
}

// Counts the images up to the trailer or the end of the file, and notes
// where the blocks of each begin. Extensions before the first image are
// taken in; later ones wait for their image.
kelStatus kelGIFFile::scanBlocks(long long& firstImage)
{
    imageStarts.clear();
    long long blocks = input.tell();
    for (;;) {
        const int b = input.getByte();
        if (b < 0)
            return input.error() ? input.readFailure() : kelOKAY;
        if (b == ';') {
            endOfImages = input.tell() - 1;
            return kelOKAY;
        }
        kelStatus sts = kelOKAY;
        if (b == '!') {
            sts = readExtension(nimgs > 0);
        } else if (b == ',') {
            if (nimgs == INT_MAX)
                return kelBADIMGFMT;
            if (nimgs++ == 0)
                firstImage = input.tell();
            rememberImageStart(nimgs - 1, blocks);
            sts = getHeader();
            if (sts == kelOKAY)
                skipImage();
            blocks = input.tell();
        } else if (b != 0) {
            return kelCORRUPTED;
        }
        if (sts != kelOKAY)
            return sts;
        if (b != 0)
            endOfImages = input.tell();
    }
}

kelStatus kelGIFFile::getHeader()
{
    unsigned char d[9];
    if (input.read(d, 9) != 9)
        return input.readFailure();
    position.x = word(d);
    position.y = word(d + 2);
    size.init(word(d + 4), word(d + 6), 1, 1);
    pageSize = size;
    isThereLocalMap = (d[8] & 0x80) != 0;
    localBits = (d[8] & 7) + 1;
    interlaced = d[8] & 0x40;
    return kelOKAY;
}

// The local table, the code size byte and the data sub-blocks, up to
// their terminator or the end of the file.
void kelGIFFile::skipImage()
{
    if (isThereLocalMap)
        input.skip(3LL << localBits);
    skipImageData();
}

void kelGIFFile::skipImageData()
{
    if (input.getByte() < 0)
        return;
    int len;
    while ((len = input.getByte()) > 0)
        input.skip(len);
}

void kelGIFFile::resetImageExtensions()
{
    transIndex = -1;
    delayTime = 0;
    disposalMethod = 0;
    userInput = 0;
}

// Only the offsets of consecutive images from the first are kept; without
// memory for more, later images are found by walking.
void kelGIFFile::rememberImageStart(int index, long long offset)
{
    if (size_t(index) != imageStarts.size())
        return;
    try {
        imageStarts.push_back(offset);
    } catch (const std::bad_alloc&) {
    }
}

// Walks to image `desiredIdx`, taking in only the extensions between the
// image before it and it. The walk starts where the blocks of the wanted
// image begin, or of the last image whose start is known, which gives the
// same: what lies before is skipped either way.
kelStatus kelGIFFile::selectImage(int desiredIdx)
{
    const int known = int(imageStarts.size());
    imgidx = desiredIdx < known ? desiredIdx : known - 1;
    input.seek(imgidx >= 0 ? imageStarts[size_t(imgidx)] : beginOfImages);
    if (imgidx < 0)
        imgidx = 0;
    resetImageExtensions();
    for (;;) {
        const int b = input.getByte();
        if (b < 0)
            return kelPREMATUREEOF;
        kelStatus sts = kelOKAY;
        if (b == '!') {
            sts = readExtension(imgidx < desiredIdx);
        } else if (b == ',') {
            sts = getHeader();
            if (sts == kelOKAY && imgidx == desiredIdx) {
                sts = readLocalMap();
                beginCurrentImage = input.tell();
                return sts;
            }
            if (sts == kelOKAY)
                skipImage();
            ++imgidx;
        } else if (b != 0) {
            return kelCORRUPTED;
        }
        if (sts != kelOKAY)
            return sts;
    }
}
