#include "kelJPEGStreams.h"

#include <jerror.h>

#include "kelJPEGError.h"

namespace {

kelJPEGSource* sourceOf(j_decompress_ptr cinfo)
{
    return reinterpret_cast<kelJPEGSource*>(cinfo->src);
}

void initSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr cinfo)
{
    kelJPEGSource* src = sourceOf(cinfo);
    size_t n = src->reader->read(src->buffer, sizeof src->buffer);
    if (n == 0) {
        if (src->reader->error()) {
            reinterpret_cast<kelJPEGError*>(cinfo->err)->ioStatus = src->reader->readFailure();
            ERREXIT(cinfo, JERR_FILE_READ);
        }
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    src->startOfFile = 0;
    return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count)
{
    kelJPEGSource* src = sourceOf(cinfo);
    if (count <= 0)
        return;
    size_t n = size_t(count);
    if (n <= src->pub.bytes_in_buffer) {
        src->pub.next_input_byte += n;
        src->pub.bytes_in_buffer -= n;
        return;
    }
    src->reader->skip((long long)(n - src->pub.bytes_in_buffer));
    src->pub.bytes_in_buffer = 0;
}

void termSource(j_decompress_ptr) {}

kelJPEGDestination* destinationOf(j_compress_ptr cinfo)
{
    return reinterpret_cast<kelJPEGDestination*>(cinfo->dest);
}

void initDestination(j_compress_ptr cinfo)
{
    kelJPEGDestination* dst = destinationOf(cinfo);
    dst->pub.next_output_byte = dst->buffer;
    dst->pub.free_in_buffer = sizeof dst->buffer;
}

boolean emptyOutput(j_compress_ptr cinfo)
{
    kelJPEGDestination* dst = destinationOf(cinfo);
    dst->writer->write(dst->buffer, sizeof dst->buffer);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    kelJPEGDestination* dst = destinationOf(cinfo);
    dst->writer->write(dst->buffer, sizeof dst->buffer - dst->pub.free_in_buffer);
    initDestination(cinfo);
}

} // namespace

void kelJPEGAttachSource(j_decompress_ptr cinfo, kelJPEGSource& src, kelByteReader& reader)
{
    src.pub.init_source = initSource;
    src.pub.fill_input_buffer = fillInput;
    src.pub.skip_input_data = skipInput;
    src.pub.resync_to_restart = jpeg_resync_to_restart;
    src.pub.term_source = termSource;
    src.reader = &reader;
    cinfo->src = &src.pub;
    kelJPEGRewind(src);
}

void kelJPEGRewind(kelJPEGSource& src)
{
    src.reader->seek(0);
    src.pub.next_input_byte = nullptr;
    src.pub.bytes_in_buffer = 0;
    src.startOfFile = 1;
}

void kelJPEGAttachDestination(j_compress_ptr cinfo, kelJPEGDestination& dst, kelByteWriter& writer)
{
    dst.pub.init_destination = initDestination;
    dst.pub.empty_output_buffer = emptyOutput;
    dst.pub.term_destination = termDestination;
    dst.writer = &writer;
    cinfo->dest = &dst.pub;
}
