#include "kelPNGEncoder.h"

#include <errno.h>

#include <spng.h>

#include <kel/kelPNGFile.h>

#include "kelByteWriter.h"
#include "kelPNGInfo.h"

namespace {

int filterChoice(int filter)
{
    static const int choices[] = {SPNG_FILTER_CHOICE_ALL,  SPNG_FILTER_CHOICE_NONE, SPNG_FILTER_CHOICE_SUB,
                                  SPNG_FILTER_CHOICE_UP,   SPNG_FILTER_CHOICE_AVG,  SPNG_FILTER_CHOICE_PAETH,
                                  SPNG_FILTER_CHOICE_ALL};
    return choices[filter];
}

} // namespace

int kelPNGEncoder::write(spng_ctx*, void* user, void* src, size_t n)
{
    kelByteWriter* out = static_cast<kelPNGEncoder*>(user)->writer;
    out->write(src, n);
    return out->failed() ? SPNG_IO_ERROR : 0;
}

// A failed write is the writer's status; libspng's other failures say why.
kelStatus kelPNGEncoder::failed(int err, const char* what)
{
    ctx.reset();
    if (writer->failed())
        return writer->status();
    return kelPNGReport(err, filename, what);
}

kelStatus kelPNGEncoder::start(kelByteWriter& out, const kelPNGLayout& layout, const kelPNGInfo& info, int level,
                               int filter, const char* name)
{
    writer = &out;
    filename = name;
    rowBytes = layout.rowBytes();
    ctx.reset(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!ctx)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    spng_ihdr ihdr = {uint32_t(layout.width),   uint32_t(layout.height), uint8_t(layout.depth),
                      uint8_t(layout.colorType), 0, 0, uint8_t(layout.interlaced ? 1 : 0)};
    int err = spng_set_png_stream(ctx.get(), write, this);
    if (!err)
        err = spng_set_ihdr(ctx.get(), &ihdr);
    if (!err)
        err = info.write(ctx.get(), layout);
    if (!err)
        err = spng_set_option(ctx.get(), SPNG_IMG_COMPRESSION_LEVEL, level);
    // The default leaves libspng the choice libpng makes.
    if (!err && filter != kelPNGfilterDefault)
        err = spng_set_option(ctx.get(), SPNG_FILTER_CHOICE, filterChoice(filter));
    if (!err)
        err = spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_RAW, SPNG_ENCODE_PROGRESSIVE);
    return err ? failed(err, "cannot start the image") : kelOKAY;
}

int kelPNGEncoder::nextRow() const
{
    spng_row_info info = {};
    spng_get_row_info(ctx.get(), &info);
    return int(info.row_num);
}

kelStatus kelPNGEncoder::putRow(const unsigned char* row, bool* last)
{
    const int err = spng_encode_row(ctx.get(), row, rowBytes);
    if (last)
        *last = err == SPNG_EOI;
    return err && err != SPNG_EOI ? failed(err, "cannot encode a row") : kelOKAY;
}

kelStatus kelPNGEncoder::finish()
{
    const int err = spng_encode_chunks(ctx.get());
    if (err)
        return failed(err, "cannot end the file");
    ctx.reset();
    return writer->flush();
}
