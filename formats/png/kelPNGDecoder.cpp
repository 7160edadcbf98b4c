#include "kelPNGDecoder.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <new>

#include <spng.h>

#include "kelByteReader.h"

namespace {

bool allocate(std::vector<unsigned char>& buf, size_t bytes)
{
    try {
        buf.assign(bytes, 0);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

void kelPNGDecoder::init(kelByteReader* r, const kelPNGLayout& l, int rows, int kept, const char* name)
{
    reader = r;
    layout = l;
    stripRows = rows;
    filename = name;
    release();
    slots.resize(size_t(kept));
    slotStrip.assign(size_t(kept), -1);
}

void kelPNGDecoder::release()
{
    ctx.reset();
    nextRow = 0;
    slotStrip.assign(slotStrip.size(), -1);
    for (std::vector<unsigned char>& s : slots)
        std::vector<unsigned char>().swap(s);
    std::vector<unsigned char>().swap(whole);
    wholeDone = false;
    missingFrom = -1;
    failure = kelOKAY;
}

unsigned long long kelPNGDecoder::bytesNeeded() const
{
    const unsigned long long rows =
        layout.interlaced ? (unsigned long long)layout.height : (unsigned long long)slots.size() * stripRows;
    return rows * layout.rowBytes();
}

kelStatus kelPNGDecoder::fail(int err, int row)
{
    char what[64];
    if (row < layout.height)
        snprintf(what, sizeof what, "rows %d and after are missing", row);
    else
        snprintf(what, sizeof what, "damaged after its last row");
    missingFrom = row;
    failure = kelPNGReport(err, filename, what, reader->error());
    ctx.reset();
    return failure;
}

kelStatus kelPNGDecoder::restart()
{
    stream.start(reader, kelPNGStream::Pixels);
    ctx = kelPNGNewDecoder(stream);
    nextRow = 0;
    if (!ctx)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    const int err = spng_decode_image(ctx.get(), nullptr, 0, SPNG_FMT_RAW, SPNG_DECODE_PROGRESSIVE);
    return err ? fail(err, 0) : kelOKAY;
}

// Decodes strip after strip from the context's next row through `strip`.
kelStatus kelPNGDecoder::decodeStrip(int strip)
{
    const size_t rowBytes = layout.rowBytes();
    while (nextRow < std::min(layout.height, (strip + 1) * stripRows)) {
        const int s = nextRow / stripRows, slot = s % int(slots.size());
        if (slots[slot].empty() && !allocate(slots[slot], size_t(stripRows) * rowBytes))
            return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
        slotStrip[slot] = s;
        for (int end = std::min(layout.height, (s + 1) * stripRows); nextRow < end; ++nextRow) {
            unsigned char* row = &slots[slot][size_t(nextRow - s * stripRows) * rowBytes];
            const int err = spng_decode_row(ctx.get(), row, rowBytes);
            if (err && err != SPNG_EOI)
                return fail(err, nextRow);
        }
    }
    return nextRow == layout.height ? checkEnd() : kelOKAY;
}

// The rest of the image data and the chunks up to IEND: a damaged end
// makes the file a damaged one, as libpng finds too.
kelStatus kelPNGDecoder::checkEnd()
{
    const int err = ctx ? spng_decode_chunks(ctx.get()) : 0;
    ctx.reset();
    return err ? fail(err, layout.height) : kelOKAY;
}

kelStatus kelPNGDecoder::stripReady(int strip)
{
    if (missingFrom >= 0 && strip * stripRows >= missingFrom)
        return failure;
    if (slotStrip[size_t(strip) % slots.size()] == strip)
        return missingFrom >= 0 && (strip + 1) * stripRows > missingFrom ? failure : kelOKAY;
    kelStatus sts = kelOKAY;
    if (!ctx || nextRow > strip * stripRows)
        sts = restart();
    return sts == kelOKAY ? decodeStrip(strip) : sts;
}

// Passes write their pixels into whole rows (packed ones are or-ed in), so
// the image starts as zeros. What a damaged pass leaves stays, and every
// read says it.
kelStatus kelPNGDecoder::decodeWhole()
{
    const size_t rowBytes = layout.rowBytes();
    if (!allocate(whole, size_t(layout.height) * rowBytes))
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    wholeDone = true;
    kelStatus sts = restart();
    for (int err = 0; sts == kelOKAY && err != SPNG_EOI;) {
        spng_row_info info = {};
        err = spng_get_row_info(ctx.get(), &info);
        if (!err)
            err = spng_decode_row(ctx.get(), &whole[size_t(info.row_num) * rowBytes], rowBytes);
        if (err && err != SPNG_EOI)
            sts = fail(err, int(info.row_num));
    }
    return sts == kelOKAY ? checkEnd() : sts;
}

kelStatus kelPNGDecoder::wholeReady()
{
    return wholeDone ? failure : decodeWhole();
}

const unsigned char* kelPNGDecoder::rowAt(int y) const
{
    if (layout.interlaced)
        return &whole[size_t(y) * layout.rowBytes()];
    return &slots[size_t(y / stripRows) % slots.size()][size_t(y % stripRows) * layout.rowBytes()];
}

// A failure counts for the rows it took, and for the last row when the
// file is damaged after it; an interlaced image has no whole row then.
kelStatus kelPNGDecoder::read(int x, int y, int n, int rows, unsigned char* out, size_t stride)
{
    kelStatus sts = kelOKAY;
    const size_t outBytes = layout.pageRowBytes(n);
    for (int r = y; r < y + rows;) {
        const int strip = r / stripRows, end = std::min(y + rows, (strip + 1) * stripRows);
        kelStatus got = layout.interlaced ? wholeReady() : stripReady(strip);
        if (sts == kelOKAY && got != failure)
            sts = got;
        const bool haveRows = layout.interlaced ? !whole.empty() : slotStrip[size_t(strip) % slots.size()] == strip;
        for (; r < end; ++r, out += stride) {
            if (haveRows && (missingFrom < 0 || r < missingFrom || layout.interlaced))
                kelPNGRowOut(layout, rowAt(r), x, n, out);
            else
                memset(out, 0, outBytes);
        }
    }
    const bool failed = missingFrom >= 0 && (layout.interlaced || y + rows > std::min(missingFrom, layout.height - 1));
    return sts == kelOKAY && failed ? failure : sts;
}
