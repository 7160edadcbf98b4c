// Opening a WebP file: its chunks and frames; a frame's page decodes
// straight into the caller's memory.
#include "kelWEBPFile.h"

#include <kel/kelError.h>

#include <algorithm>
#include <new>

kelStatus kelWEBPFile::readFile()
{
    reader.reset(new (std::nothrow) kelWEBPReader(filename));
    if (!reader)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    kelStatus sts = reader->load(fd);
    if (sts == kelOKAY)
        sts = reader->parse(info);
    if (sts != kelOKAY)
        return sts;
    dtype = kelUChar;
    order = kelInterleaved;
    orientation = kelUpperLeftOrigin;
    describeFrame(0);
    return kelOKAY;
}

void kelWEBPFile::describeFrame(int index)
{
    frame = reader->frame(index);
    cm = frame.alpha ? kelRGBA : kelRGB;
    size = kelSize(frame.width, frame.height, 1, frame.alpha ? 4 : 3);
    pageSize = size;
    compression = frame.lossless ? kelWEBPLossless : kelWEBP;
}

int kelWEBPFile::isWholePage(int x, int y, int nx, int ny) const
{
    return x == 0 && y == 0 && nx == size.x && ny == size.y;
}

kelStatus kelWEBPFile::getPage(void* data, int x, int y, int, int, int nx, int ny, int, int)
{
    if (!isWholePage(x, y, nx, ny))
        return kelBADPARAMS;
    unsigned char* page = static_cast<unsigned char*>(data);
    if (creating) {
        std::copy(pixels.begin(), pixels.end(), page);
        return kelOKAY;
    }
    beginFileIO();
    kelStatus sts = reader->decode(imgidx, page, size_t(size.x) * size_t(size.c));
    endFileIO();
    return sts;
}
