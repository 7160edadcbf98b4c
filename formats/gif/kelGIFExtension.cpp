// Extension blocks: graphic control, looping and ICC profiles are taken in,
// everything else is skipped sub-block by sub-block.
#include "kelGIFFile.h"

#include <string.h>

kelStatus kelGIFFile::readExtension(int discard)
{
    const int label = input.getByte();
    if (label < 0)
        return kelPREMATUREEOF;
    if (discard)
        return skipBlocks(-1);
    if (label == 0xF9)
        return readGraphicControl();
    if (label == 0xFF)
        return readApplication();
    return skipBlocks(-1);
}

// The next sub-block's bytes into `d` (255 bytes): their count, 0 at the
// terminator, or -1 when the file ends first.
int kelGIFFile::readSubBlock(unsigned char* d)
{
    const int len = input.getByte();
    if (len <= 0)
        return len;
    return input.read(d, size_t(len)) == size_t(len) ? len : -1;
}

// One sub-block of at least 4 bytes holds the fields; a size of 0 ends the
// extension at once.
kelStatus kelGIFFile::readGraphicControl()
{
    unsigned char d[255];
    const int len = readSubBlock(d);
    if (len < 0)
        return kelPREMATUREEOF;
    if (len == 0)
        return kelOKAY;
    if (len >= 4) {
        disposalMethod = (d[0] >> 2) & 7;
        userInput = (d[0] >> 1) & 1;
        transIndex = (d[0] & 1) ? d[3] : -1;
        delayTime = d[1] | d[2] << 8;
    }
    const int terminator = input.getByte();
    if (terminator < 0)
        return kelPREMATUREEOF;
    if (terminator != 0)
        return kelCORRUPTED;
    return kelOKAY;
}

kelStatus kelGIFFile::readApplication()
{
    const int len = input.getByte();
    if (len < 0)
        return kelPREMATUREEOF;
    if (len != 11)
        return skipBlocks(len);
    char id[11];
    if (input.read(id, sizeof id) != sizeof id)
        return kelPREMATUREEOF;
    if (memcmp(id, "ICCRGBG1012", 11) == 0)
        return readProfile();
    if (memcmp(id, "NETSCAPE2.0", 11) == 0 || memcmp(id, "ANIMEXTS1.0", 11) == 0)
        return readLoopBlocks();
    return skipBlocks(-1);
}

// A 3-byte sub-block starting with 1 holds the loop count; others (such as
// the 5-byte buffering one) are skipped.
kelStatus kelGIFFile::readLoopBlocks()
{
    return eachSubBlock([this](const unsigned char* d, int len) {
        if (len == 3 && d[0] == 1)
            loopCount = d[1] | d[2] << 8;
        return kelStatus(kelOKAY);
    });
}

// Skips sub-blocks up to their 0 terminator. `count` is the size byte
// already read, or -1 when the next byte is one.
kelStatus kelGIFFile::skipBlocks(int count)
{
    int len = count;
    for (;;) {
        if (len < 0 && (len = input.getByte()) < 0)
            return kelPREMATUREEOF;
        if (len == 0)
            return kelOKAY;
        input.skip(len);
        len = -1;
    }
}
