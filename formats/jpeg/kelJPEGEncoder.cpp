#include "kelJPEGEncoder.h"

#include <string.h>

#include <algorithm>
#include <new>

namespace {

// Sampling factors of the luminance (the chroma's are 1 x 1).
struct Sampling {
    int h;
    int v;
};

Sampling samplingOf(int subsampling)
{
    switch (subsampling) {
    case kelJPEGsub444:
        return {1, 1};
    case kelJPEGsub422:
        return {2, 1};
    default:
        return {2, 2};
    }
}

J_COLOR_SPACE inputSpace(kelColorModel model)
{
    return model == kelLuminance ? JCS_GRAYSCALE : model == kelCMYK ? JCS_CMYK : JCS_RGB;
}

} // namespace

kelJPEGEncoder::kelJPEGEncoder(int fd, const char* fileName) : cmyk(0)
{
    memset(&cinfo, 0, sizeof cinfo);
    kelJPEGInitError(err, reinterpret_cast<j_common_ptr>(&cinfo), fileName);
    writer.attach(fd);
}

kelJPEGEncoder::~kelJPEGEncoder()
{
    if (cinfo.mem)
        jpeg_destroy_compress(&cinfo);
}

// The defaults for the color space (JFIF for luminance and YCbCr, Adobe
// for CMYK), then the settings.
kelStatus kelJPEGEncoder::configure(const kelJPEGImage& image, const kelJPEGSettings& s)
{
    cinfo.image_width = JDIMENSION(image.width);
    cinfo.image_height = JDIMENSION(image.height);
    cinfo.in_color_space = inputSpace(image.model);
    cinfo.input_components = image.model == kelLuminance ? 1 : image.model == kelCMYK ? 4 : 3;
    const Sampling luma = samplingOf(s.subsampling);
    return kelJPEGRun(err, kelBADPARAMS, [&] {
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, s.quality, TRUE);
        if (cinfo.jpeg_color_space == JCS_YCbCr) {
            cinfo.comp_info[0].h_samp_factor = luma.h;
            cinfo.comp_info[0].v_samp_factor = luma.v;
        }
        if (s.progressive)
            jpeg_simple_progression(&cinfo);
        cinfo.optimize_coding = s.optimize ? TRUE : FALSE;
        cinfo.restart_interval = (unsigned)s.restartInterval;
        if (s.density.unit >= 0) {
            cinfo.density_unit = UINT8(s.density.unit);
            cinfo.X_density = UINT16(s.density.x);
            cinfo.Y_density = UINT16(s.density.y);
        }
    });
}

kelStatus kelJPEGEncoder::start(const kelJPEGImage& image, const kelJPEGSettings& s,
                                const std::vector<unsigned char>& profile)
{
    kelStatus sts = kelJPEGRun(err, kelBADPARAMS, [this] { jpeg_create_compress(&cinfo); });
    if (sts != kelOKAY)
        return sts;
    kelJPEGAttachDestination(&cinfo, destination, writer);
    cmyk = image.model == kelCMYK;
    if ((sts = configure(image, s)) != kelOKAY)
        return sts;
    // Without a JFIF header (CMYK) the density goes into the EXIF block.
    const kelJPEGDensity noDensity = {-1, 1, 1};
    std::vector<unsigned char> exif;
    if (image.orientation != 1 || (cmyk && s.density.unit >= 0)) {
        try {
            exif = kelJPEGMakeExif(image.orientation, cmyk ? s.density : noDensity);
        } catch (const std::bad_alloc&) {
            return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
        }
    }
    sts = kelJPEGRun(err, kelBADPARAMS, [&] {
        jpeg_start_compress(&cinfo, TRUE);
        if (!exif.empty())
            jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
        if (!profile.empty())
            jpeg_write_icc_profile(&cinfo, profile.data(), unsigned(profile.size()));
        if (s.hasComment)
            jpeg_write_marker(&cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(s.comment.data()),
                              unsigned(s.comment.size()));
    });
    return sts != kelOKAY ? sts : writer.status();
}

kelStatus kelJPEGEncoder::write(unsigned char* rows, int count, size_t stride)
{
    if (cmyk)
        kelJPEGInvert(rows, size_t(count) * stride);
    for (int done = 0; done < count;) {
        enum { batch = 32 };
        JSAMPROW pointers[batch];
        const int n = std::min(int(batch), count - done);
        for (int i = 0; i < n; i++)
            pointers[i] = rows + size_t(done + i) * stride;
        JDIMENSION written = 0;
        kelStatus sts = kelJPEGRun(err, kelBADPARAMS,
                                   [&] { written = jpeg_write_scanlines(&cinfo, pointers, JDIMENSION(n)); });
        if (sts == kelOKAY && written == 0)
            sts = kelBADPARAMS;
        if (sts == kelOKAY)
            sts = writer.status();
        if (sts != kelOKAY)
            return sts;
        done += int(written);
    }
    return kelOKAY;
}

kelStatus kelJPEGEncoder::finish()
{
    kelStatus sts = kelJPEGRun(err, kelBADPARAMS, [this] { jpeg_finish_compress(&cinfo); });
    kelStatus flushed = writer.flush();
    return sts != kelOKAY ? sts : flushed;
}
