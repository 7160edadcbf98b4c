#include "kelXBMFile.h"

#include <kel/kelError.h>
#include <kel/kelLimits.h>
#include <kel/kelXBMFile.h>

#include <fcntl.h>
#include <limits.h>
#include <string.h>
#include <unistd.h>

#include "kelXBMBits.h"
#include "kelXBMGeometry.h"
#include "kelXBMSyntax.h"
#include "kelXBMWriter.h"

kelXBMFile::kelXBMFile()
    : file(nullptr), decodeShorts(0), hotSpot{-1, -1}, startOfData(0), haveText(0), wroteText(0),
      lastWrite(kelOKAY)
{
}

kelXBMFile::~kelXBMFile()
{
    if (file)
        fclose(file);
    if (fd >= 0)
        ::close(fd);
}

kelStatus kelXBMFile::openStream(const char* mode)
{
    int dupFd = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (dupFd < 0)
        return kelSystemStatus(kelOPENFAILED);
    file = fdopen(dupFd, mode);
    if (file)
        return kelOKAY;
    kelStatus sts = kelSystemStatus(kelOPENFAILED);
    ::close(dupFd);
    return sts;
}

void kelXBMFile::setAttributes()
{
    dtype = kelBit;
    order = kelInterleaved;
    orientation = kelUpperLeftOrigin;
    cm = kelNegative;
    compression = kelNoCompression;
    size.init(0, 0, 1, 1);
    pageSize.init(0, 0, 1, 1);
    hotSpot[0] = hotSpot[1] = -1;
}

// A failed open or create drops its stream, and a descriptor it opened itself.
void kelXBMFile::undoOpen(int ownFd)
{
    if (file) {
        fclose(file);
        file = nullptr;
    }
    if (ownFd) {
        ::close(fd);
        fd = -1;
    }
}

kelStatus kelXBMFile::openFile()
{
    int ownFd = fd < 0;
    if (ownFd) {
        KEL_ASSERT(filename != NULL);
        if ((fd = ::open(filename, accessmode)) < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    setAttributes();
    kelStatus sts = openStream(accessmode == O_RDWR ? "r+" : "r");
    if (sts == kelOKAY)
        sts = lines.seek(file, 0);
    if (sts == kelOKAY)
        sts = readHeader();
    if (sts != kelOKAY)
        undoOpen(ownFd);
    haveText = sts == kelOKAY;
    return sts;
}

kelStatus kelXBMFile::createFile()
{
    int ownFd = fd < 0;
    if (ownFd) {
        KEL_ASSERT(filename != NULL);
        if ((fd = ::open(filename, accessmode | O_CREAT | O_TRUNC, 0666)) < 0)
            return kelSystemStatus(kelOPENFAILED);
    }
    kelStatus sts = openStream("w+");
    if (sts != kelOKAY)
        undoOpen(ownFd);
    return sts;
}

kelStatus kelXBMFile::closeFile()
{
    kelStatus sts = lastWrite;
    if (file && fclose(file) != 0)
        sts = kelSystemStatus(wroteText ? kelWRITEFAILED : kelCLOSEFAILED);
    file = nullptr;
    if (fd >= 0 && ::close(fd) != 0 && sts == kelOKAY)
        sts = kelSystemStatus(wroteText ? kelWRITEFAILED : kelCLOSEFAILED);
    fd = -1;
    return sts;
}

kelStatus kelXBMFile::getLine(const char*& line)
{
    return lines.next(line);
}

// Defines until the array head; its place is kept for getPage.
kelStatus kelXBMFile::readHeader()
{
    long long width = 0, height = 0;
    for (;;) {
        const char* line = nullptr;
        kelStatus sts = getLine(line);
        if (sts != kelOKAY)
            return sts;
        kelXBMDefine define;
        if (!kelXBMParseDefine(line, define))
            return startArray(line, width, height);
        if (define.kind == kelXBMWidth)
            width = define.value;
        else if (define.kind == kelXBMHeight)
            height = define.value;
        else if (define.kind == kelXBMHotX || define.kind == kelXBMHotY)
            hotSpot[define.kind == kelXBMHotY] = define.value >= 0 && define.value <= INT_MAX ? int(define.value) : -1;
    }
}

// The array head comes after a positive width and height that a page can hold.
kelStatus kelXBMFile::startArray(const char* line, long long width, long long height)
{
    kelXBMArrayHead head;
    if (width < 1 || height < 1 || !kelXBMParseArrayHead(line, head))
        return kelBADIMGFMT;
    int unitBits = head.shorts ? 16 : 8;
    if (!kelXBMPageFits(width, height, unitBits))
        return kelBADIMGFMT;
    // The framework reads the page into one buffer.
    kelStatus sts = kelCheckPageBytes(kelXBMPageWidth(width, unitBits) / 8 * height, "XBM page");
    if (sts != kelOKAY)
        return sts;
    decodeShorts = head.shorts;
    size.init(int(width), int(height), 1, 1);
    pageSize.init(int(kelXBMPageWidth(width, unitBits)), int(height), 1, 1);
    startOfData = lines.offsetOf(head.data);
    return kelOKAY;
}

namespace {

// Fills a page row by row from the array's values. A row of the file holds
// whole values; the page's rows may be longer (a 16-bit file rewritten as
// bytes keeps its page), and what no value reaches stays 0.
class PageFiller {
public:
    PageFiller(unsigned char* page, size_t stride, size_t rowBytes, int rows, int shorts)
        : page(page), stride(stride), rowBytes(rowBytes), rows(rows), shorts(shorts), row(0), col(0)
    {
    }
    int full() const { return row >= rows; }

    // Takes the values of one line; 0 at text that is no value.
    int take(const char* line)
    {
        unsigned v;
        int got = 0;
        while (!full() && (got = kelXBMNextValue(line, v)) > 0)
            put(v);
        return full() || got == 0;
    }

private:
    // 16-bit values hold the leftmost pixels in their low byte.
    void put(unsigned v)
    {
        unsigned char* p = page + size_t(row) * stride + col;
        p[0] = bitReverse[v];
        col += 1;
        if (shorts) {
            p[1] = bitReverse[v >> 8];
            col += 1;
        }
        if (col >= rowBytes) {
            col = 0;
            ++row;
        }
    }

    unsigned char* page;
    size_t stride, rowBytes;
    int rows, shorts;
    int row;
    size_t col;
};

} // namespace

kelStatus kelXBMFile::readValues(unsigned char* page, size_t stride)
{
    size_t rowBytes = decodeShorts ? size_t(kelXBMPageWidth(size.x, 16) / 8) : (size_t(size.x) + 7) / 8;
    PageFiller filler(page, stride, rowBytes, size.y, decodeShorts);
    kelStatus sts = lines.seek(file, startOfData);
    while (sts == kelOKAY && !filler.full()) {
        const char* line = nullptr;
        if ((sts = getLine(line)) == kelOKAY && !filler.take(line))
            break;
    }
    if (sts != kelOKAY && lines.atEnd()) {
        kelError(kelSeverityWarning, "premature end of file in XBM image");
        return kelOKAY;
    }
    return sts;
}

kelStatus kelXBMFile::getPage(void* data, int, int, int, int, int, int, int, int)
{
    const size_t stride = size_t(pageSize.x) / 8;
    memset(data, 0, stride * size_t(pageSize.y));
    if (!haveText)
        return kelOKAY;
    beginFileIO();
    kelStatus sts = readValues(static_cast<unsigned char*>(data), stride);
    endFileIO();
    return sts;
}

kelStatus kelXBMFile::setPage(const void* data, int, int, int, int, int, int, int, int)
{
    if (accessmode != O_RDWR)
        return kelREADONLY;
    char name[kelXBMNameMax + 1];
    kelXBMNameOf(filename, name);
    kelXBMPicture pic{static_cast<const unsigned char*>(data), size_t(pageSize.x) / 8, size.x, size.y,
                      hotSpot[0], hotSpot[1]};
    beginFileIO();
    haveText = 0;
    wroteText = 1;
    kelStatus sts = kelXBMWriteText(file, name, pic, startOfData);
    endFileIO();
    lastWrite = sts;
    if (sts == kelOKAY) {
        haveText = 1;
        decodeShorts = 0;
    }
    return sts;
}

kelStatus kelXBMFile::getItem(int tag, va_list args)
{
    if (tag != kelXBMhotSpot)
        return kelBADPARAMS;
    int* x = va_arg(args, int*);
    int* y = va_arg(args, int*);
    if (!x || !y)
        return kelBADPARAMS;
    if (hotSpot[0] < 0 || hotSpot[1] < 0)
        return kelUNSUPPORTEDBYFILE;
    *x = hotSpot[0];
    *y = hotSpot[1];
    return kelOKAY;
}

kelStatus kelXBMFile::setItem(int tag, va_list args)
{
    if (tag != kelXBMhotSpot)
        return kelBADPARAMS;
    hotSpot[0] = va_arg(args, int);
    hotSpot[1] = va_arg(args, int);
    return kelOKAY;
}
