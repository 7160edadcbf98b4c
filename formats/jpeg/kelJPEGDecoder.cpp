#include "kelJPEGDecoder.h"

#include <kel/kelLimits.h>

#include <limits.h>
#include <string.h>

#include <algorithm>
#include <new>

#include <jerror.h>

#include "kelJPEGSettings.h"

namespace {

// The window grows on misses up to this, or one page of rows when that is more.
const size_t windowBudget = size_t(64) << 20;

// The whole-image coefficient buffer that a progressive or multi-scan file
// needs, in bytes; 0 for a file of one interleaved scan.
unsigned long long coefficientBytes(const jpeg_decompress_struct& c)
{
    if (!c.progressive_mode && c.comps_in_scan == c.num_components)
        return 0;
    unsigned long long bytes = 0;
    for (int i = 0; i < c.num_components; i++) {
        const jpeg_component_info& comp = c.comp_info[i];
        unsigned long long cols = (comp.width_in_blocks + comp.h_samp_factor - 1) / comp.h_samp_factor;
        unsigned long long rows = (comp.height_in_blocks + comp.v_samp_factor - 1) / comp.v_samp_factor;
        bytes += cols * comp.h_samp_factor * rows * comp.v_samp_factor * DCTSIZE2 * sizeof(JCOEF);
    }
    return bytes;
}

} // namespace

kelJPEGDecoder::kelJPEGDecoder(int fd, const char* fileName)
    : space(JCS_UNKNOWN), channels(1), inverted(0), pageRows(1), started(0), failed(0),
      buffered(0), cropLeft(0), exactLeft(0), nextRow(0), firstRow(0), capacity(0), rowBytes(0)
{
    memset(&cinfo, 0, sizeof cinfo);
    kelJPEGInitError(err, reinterpret_cast<j_common_ptr>(&cinfo), fileName);
    reader.attach(fd);
}

kelJPEGDecoder::~kelJPEGDecoder()
{
    if (cinfo.mem)
        jpeg_destroy_decompress(&cinfo);
}

kelStatus kelJPEGDecoder::readHeader(kelJPEGMarkers& m)
{
    kelStatus sts = kelJPEGRun(err, kelBADIMGFMT, [this] { jpeg_create_decompress(&cinfo); });
    if (sts != kelOKAY)
        return sts;
    // Beside the check of the coefficients before decoding, a bound on
    // what the library's whole-image buffers take in all.
    cinfo.mem->max_memory_to_use = long(std::min<size_t>(kelGetMaxPageBytes(), LONG_MAX));
    kelJPEGAttachSource(&cinfo, source, reader);
    kelJPEGCollectMarkers(&cinfo, m);
    sts = kelJPEGRun(err, kelBADIMGFMT, [this] { jpeg_read_header(&cinfo, TRUE); });
    m.collecting = 0;
    failed = sts != kelOKAY;
    return sts;
}

void kelJPEGDecoder::setOutput(J_COLOR_SPACE outSpace, int outChannels, int outInverted, int rows)
{
    space = outSpace;
    channels = outChannels;
    inverted = outInverted;
    pageRows = rows;
}

kelStatus kelJPEGDecoder::restartHeader()
{
    jpeg_abort_decompress(&cinfo);
    kelJPEGRewind(source);
    started = 0;
    kelStatus sts = kelJPEGRun(err, kelBADIMGFMT, [this] { jpeg_read_header(&cinfo, TRUE); });
    failed = sts != kelOKAY;
    return sts;
}

// Where to crop for a read from column x: one iMCU to the left of x's, since
// the first column of a crop is upsampled as an image edge and differs from
// a whole decode's. 0 where that would save nothing.
int kelJPEGDecoder::cropFor(int x) const
{
    const int imcu = DCTSIZE * (cinfo.num_components == 1 ? 1 : cinfo.max_h_samp_factor);
    return x / imcu >= 2 ? (x / imcu - 1) * imcu : 0;
}

// A pass from the file's first byte: a file of one scan cropped for column
// x; the coefficients of a progressive or multi-scan file read whole in
// buffered-image mode, from which later passes are output without reading
// the file again.
kelStatus kelJPEGDecoder::begin(int x)
{
    kelStatus sts = started || failed ? restartHeader() : kelOKAY;
    const unsigned long long coefficients = coefficientBytes(cinfo);
    if (sts == kelOKAY)
        sts = kelCheckPageBytes(coefficients, "JPEG coefficients");
    if (sts != kelOKAY)
        return sts;
    buffered = coefficients > 0;
    cinfo.buffered_image = buffered ? TRUE : FALSE;
    cinfo.out_color_space = space;
    JDIMENSION left = JDIMENSION(buffered ? 0 : cropFor(x)), width = cinfo.image_width - left;
    sts = kelJPEGRun(err, kelBADIMGFMT, [&] {
        jpeg_start_decompress(&cinfo);
        while (buffered && jpeg_consume_input(&cinfo) != JPEG_REACHED_EOI)
            if (cinfo.input_scan_number > kelJPEGMaxScans)
                ERREXIT1(&cinfo, kelJPEGErrScans, kelJPEGMaxScans);
        if (buffered)
            jpeg_start_output(&cinfo, cinfo.input_scan_number);
        else if (left)
            jpeg_crop_scanline(&cinfo, &left, &width);
    });
    started = 1;
    const int imcu = DCTSIZE * (cinfo.num_components == 1 ? 1 : cinfo.max_h_samp_factor);
    cropLeft = int(left);
    exactLeft = left ? int(left) + imcu : 0;
    return sts;
}

kelStatus kelJPEGDecoder::start(int x, int rowsWanted)
{
    kelStatus sts;
    if (buffered && started && !failed)
        sts = kelJPEGRun(err, kelBADIMGFMT, [this] {
            jpeg_finish_output(&cinfo);
            jpeg_start_output(&cinfo, cinfo.input_scan_number);
        });
    else
        sts = begin(x);
    failed = sts != kelOKAY;
    if (failed)
        return sts;
    nextRow = firstRow = 0;
    rowBytes = size_t(cinfo.output_width) * size_t(channels);
    return allocateWindow(windowRows(rowsWanted));
}

// Whole pages of rows, at least one, at most the image's or the budget's.
int kelJPEGDecoder::windowRows(int wanted) const
{
    const long long most = std::min<long long>(cinfo.output_height, (long long)(windowBudget / rowBytes));
    const long long rows = (std::max(wanted, 1) + (long long)pageRows - 1) / pageRows * pageRows;
    return int(std::max<long long>(pageRows, std::min(rows, most)));
}

kelStatus kelJPEGDecoder::allocateWindow(int rows)
{
    const unsigned long long bytes = (unsigned long long)rows * rowBytes;
    kelStatus sts = kelCheckPageBytes(bytes, "JPEG rows");
    if (sts != kelOKAY)
        return sts;
    try {
        window.resize(size_t(bytes));
        window.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    capacity = rows;
    return kelOKAY;
}

kelStatus kelJPEGDecoder::fetch(int x, int y, int n)
{
    kelStatus sts = kelOKAY;
    if (!started || failed || x < exactLeft || y < firstRow) {
        // Keep the rows from y to those decoded so far, for the reads
        // that come back to them.
        const int wanted = started && !failed && y < firstRow ? nextRow - y : 0;
        sts = start(x, std::max({wanted, n, capacity}));
    }
    if (sts == kelOKAY && y > nextRow)
        sts = skipTo(y);
    return sts == kelOKAY ? decodeTo(y + n) : sts;
}

kelStatus kelJPEGDecoder::skipTo(int y)
{
    const JDIMENSION lines = JDIMENSION(y - nextRow);
    kelStatus sts = kelJPEGRun(err, kelBADIMGFMT, [&] { jpeg_skip_scanlines(&cinfo, lines); });
    failed = sts != kelOKAY;
    nextRow = firstRow = int(cinfo.output_scanline);
    return sts;
}

kelStatus kelJPEGDecoder::decodeTo(int end)
{
    while (nextRow < end) {
        enum { batch = 32 };
        JSAMPROW rows[batch];
        const int want = std::min(int(batch), end - nextRow);
        for (int i = 0; i < want; i++)
            rows[i] = window.data() + size_t((nextRow + i) % capacity) * rowBytes;
        JDIMENSION got = 0;
        kelStatus sts = kelJPEGRun(err, kelBADIMGFMT, [&] { got = jpeg_read_scanlines(&cinfo, rows, JDIMENSION(want)); });
        failed = sts != kelOKAY || got == 0;
        if (failed)
            return sts != kelOKAY ? sts : kelStatus(kelBADIMGFMT);
        for (JDIMENSION i = 0; inverted && i < got; i++)
            kelJPEGInvert(rows[i], rowBytes);
        nextRow += int(got);
    }
    firstRow = std::max(firstRow, nextRow - capacity);
    return kelOKAY;
}

const unsigned char* kelJPEGDecoder::row(int y, int x) const
{
    return window.data() + size_t(y % capacity) * rowBytes + size_t(x - cropLeft) * size_t(channels);
}
