// Opening a JPEG file: its header, markers and attributes; reading pages
// from the decoder's window.
#include "kelJPEGFile.h"

#include <kel/kelColor.h>
#include <kel/kelError.h>
#include <kel/kelLimits.h>

#include <string.h>

#include <new>

#include "kelJPEGFormat.h"

namespace {

// The luminance's sampling against the chroma's, as stored; -1 for one
// component.
int subsamplingOf(const jpeg_decompress_struct& h)
{
    if (h.num_components < 3)
        return -1;
    const jpeg_component_info* c = h.comp_info;
    const bool sameChroma = c[1].h_samp_factor == c[2].h_samp_factor && c[1].v_samp_factor == c[2].v_samp_factor;
    const bool fullK = h.num_components < 4 ||
                       (c[3].h_samp_factor == c[0].h_samp_factor && c[3].v_samp_factor == c[0].v_samp_factor);
    if (!sameChroma || !fullK || c[0].h_samp_factor % c[1].h_samp_factor || c[0].v_samp_factor % c[1].v_samp_factor)
        return kelJPEGsubOther;
    static const int ratios[][3] = {{1, 1, kelJPEGsub444}, {2, 1, kelJPEGsub422}, {2, 2, kelJPEGsub420},
                                    {1, 2, kelJPEGsub440}, {4, 1, kelJPEGsub411}, {4, 2, kelJPEGsub410}};
    const int across = c[0].h_samp_factor / c[1].h_samp_factor, down = c[0].v_samp_factor / c[1].v_samp_factor;
    for (const int* r : ratios)
        if (r[0] == across && r[1] == down)
            return r[2];
    return kelJPEGsubOther;
}

// Whole iMCU rows, at least 16.
int pageRowsOf(const jpeg_decompress_struct& h)
{
    const int imcu = DCTSIZE * (h.num_components == 1 ? 1 : h.max_v_samp_factor);
    return (16 + imcu - 1) / imcu * imcu;
}

} // namespace

kelStatus kelJPEGFile::readHeader()
{
    markers.reset(new (std::nothrow) kelJPEGMarkers);
    decoder.reset(new (std::nothrow) kelJPEGDecoder(fd, filename));
    if (!markers || !decoder)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    kelStatus sts = decoder->readHeader(*markers);
    if (sts == kelOKAY)
        sts = describe();
    if (sts != kelOKAY)
        return sts;
    takeSettings();
    try {
        profileStatus = kelJPEGAssembleProfile(*markers, profile, filename ? filename : "");
    } catch (const std::bad_alloc&) {
        profileStatus = kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    return kelOKAY;
}

// Gray reads as luminance, YCbCr and RGB as RGB, CMYK and YCCK as CMYK
// (inverted back where an Adobe marker says Adobe's applications wrote it).
kelStatus kelJPEGFile::describe()
{
    const jpeg_decompress_struct& h = decoder->header();
    J_COLOR_SPACE out;
    switch (h.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cm = kelLuminance;
        out = JCS_GRAYSCALE;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        cm = kelRGB;
        out = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cm = kelCMYK;
        out = JCS_CMYK;
        break;
    default:
        kelError(kelSeverityError, "JPEG file %s: %d components of no known color space", filename ? filename : "",
                 h.num_components);
        return kelBADIMGFMT;
    }
    const int nc = kelColorModelChans(cm);
    const int rows = pageRowsOf(h);
    size = kelSize(int(h.image_width), int(h.image_height), 1, nc);
    pageSize = kelSize(std::min(int(h.image_width), int(kelJPEGPageWidth)), std::min(int(h.image_height), rows), 1, nc);
    dtype = kelUChar;
    order = kelInterleaved;
    compression = kelJPEG;
    kelJPEGExifFields exif;
    if (markers->hasExif)
        exif = kelJPEGReadExif(markers->exif.data(), markers->exif.size());
    orientation = exif.orientation ? kelOrientation(exif.orientation) : kelUpperLeftOrigin;
    settings.density = exif.density;
    // The window's fewest rows, checked before the decoder allocates them.
    kelStatus sts = kelCheckPageBytes((unsigned long long)rows * h.image_width * unsigned(nc), "JPEG rows");
    if (sts == kelOKAY)
        decoder->setOutput(out, nc, cm == kelCMYK && h.saw_Adobe_marker, rows);
    return sts;
}

void kelJPEGFile::takeSettings()
{
    const jpeg_decompress_struct& h = decoder->header();
    settings.quality = -1;
    settings.optimize = -1;
    settings.subsampling = subsamplingOf(h);
    settings.progressive = h.progressive_mode != 0;
    settings.arithmetic = h.arith_code != 0;
    settings.restartInterval = int(h.restart_interval);
    if (h.saw_JFIF_marker)
        settings.density = {h.density_unit, h.X_density, h.Y_density};
    settings.adobeTransform = h.saw_Adobe_marker ? h.Adobe_transform : -1;
    settings.hasComment = markers->hasComment;
    settings.comment.swap(markers->comment);
}

kelStatus kelJPEGFile::getPage(void* data, int x, int y, int, int, int nx, int ny, int, int)
{
    unsigned char* page = static_cast<unsigned char*>(data);
    if (!isPage(x, y, nx, ny))
        return kelBADPARAMS;
    if (creating)
        return readPending(page, x, y, nx, ny);
    const size_t pageRow = size_t(pageSize.x) * size_t(size.c), bytes = size_t(nx) * size_t(size.c);
    beginFileIO();
    kelStatus sts = decoder->fetch(x, y, ny);
    for (int r = 0; sts == kelOKAY && r < ny; r++)
        memcpy(page + size_t(r) * pageRow, decoder->row(y + r, x), bytes);
    endFileIO();
    return sts;
}
