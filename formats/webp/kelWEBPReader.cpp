#include "kelWEBPReader.h"

#include <kel/kelError.h>
#include <kel/kelLimits.h>
#include <kel/kelTagDescription.h>

#include <errno.h>
#include <webp/decode.h>
#include <webp/demux.h>

#include <new>

#include "kelByteReader.h"
#include "kelWEBPLimits.h"

namespace {

kelStatus decodeStatus(VP8StatusCode code)
{
    switch (code) {
    case VP8_STATUS_OUT_OF_MEMORY:
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    case VP8_STATUS_NOT_ENOUGH_DATA:
        return kelPREMATUREEOF;
    case VP8_STATUS_INVALID_PARAM:
        return kelBADPARAMS;
    default:
        return kelBADIMGFMT;
    }
}

const char* decodeReason(VP8StatusCode code)
{
    static const char* const reasons[] = {"no error",           "out of memory",       "invalid parameter",
                                          "bitstream error",    "unsupported feature", "suspended",
                                          "aborted",            "not enough data"};
    return unsigned(code) < sizeof reasons / sizeof reasons[0] ? reasons[code] : "unknown error";
}

} // namespace

kelStatus kelWEBPFailure(kelStatus sts, const std::string& name, const char* what, const char* why)
{
    kelError(kelSeverityWarning, "WebP file %s: %s: %s", name.c_str(), what, why);
    return sts;
}

kelWEBPReader::kelWEBPReader(const char* fileName) : name(fileName ? fileName : ""), demux(nullptr) {}

kelWEBPReader::~kelWEBPReader()
{
    WebPDemuxDelete(demux);
}

kelStatus kelWEBPReader::load(int fd)
{
    kelByteReader in;
    in.attach(fd);
    const long long size = in.fileSize();
    if (size < 0)
        return in.failedRead(kelREADFAILED);
    kelStatus sts = kelCheckPageBytes((unsigned long long)size, "WebP file");
    if (sts != kelOKAY)
        return sts;
    try {
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    if (in.read(bytes.data(), bytes.size()) != bytes.size())
        return in.failedRead(kelPREMATUREEOF);
    return kelOKAY;
}

kelStatus kelWEBPReader::parse(kelWEBPFileInfo& info)
{
    WebPData data = {bytes.data(), bytes.size()};
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    demux = WebPDemuxPartial(&data, &state);
    if (!demux || state != WEBP_DEMUX_DONE)
        return kelWEBPFailure(demux ? kelPREMATUREEOF : kelBADIMGFMT, name, "reading its chunks",
                              demux ? "the file is cut short" : "not a valid WebP file");
    const uint32_t flags = WebPDemuxGetI(demux, WEBP_FF_FORMAT_FLAGS);
    info.canvasWidth = int(WebPDemuxGetI(demux, WEBP_FF_CANVAS_WIDTH));
    info.canvasHeight = int(WebPDemuxGetI(demux, WEBP_FF_CANVAS_HEIGHT));
    info.animated = (flags & ANIMATION_FLAG) != 0;
    if (info.animated) {
        info.loopCount = int(WebPDemuxGetI(demux, WEBP_FF_LOOP_COUNT));
        // Stored B, G, R, A from the lowest byte.
        const uint32_t bg = WebPDemuxGetI(demux, WEBP_FF_BACKGROUND_COLOR);
        for (int c = 0; c < 4; c++)
            info.background[c] = int(bg >> (c == 3 ? 24 : 16 - 8 * c) & 0xff);
    }
    takeChunk("ICCP", info.hasIcc, info.icc);
    takeChunk("EXIF", info.hasExif, info.exif);
    takeChunk("XMP ", info.hasXmp, info.xmp);
    return parseFrames(info);
}

void kelWEBPReader::takeChunk(const char* fourcc, int& has, std::vector<unsigned char>& to) const
{
    WebPChunkIterator chunk;
    has = WebPDemuxGetChunk(demux, fourcc, 1, &chunk);
    if (has)
        to.assign(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
}

// Showing the frames of an animation touches the canvas once for each:
// bounded before any frame is looked at.
kelStatus kelWEBPReader::checkWork(const kelWEBPFileInfo& info, int count) const
{
    const unsigned long long canvas = (unsigned long long)info.canvasWidth * (unsigned long long)info.canvasHeight;
    kelStatus sts = kelCheckPageBytes(canvas * 4, "WebP canvas");
    if (sts != kelOKAY)
        return sts;
    if (count < 1 || count > kelWEBPMaxFrames || canvas * (unsigned long long)count > kelWEBPMaxCanvasWork)
        return kelWEBPFailure(kelBADIMGFMT, name, "reading its frames",
                              count < 1 ? "no frame" : "more frames than kel shows (see its limits)");
    return kelOKAY;
}

kelStatus kelWEBPReader::parseFrames(kelWEBPFileInfo& info)
{
    const int count = int(WebPDemuxGetI(demux, WEBP_FF_FRAME_COUNT));
    kelStatus sts = checkWork(info, count);
    if (sts != kelOKAY)
        return sts;
    try {
        frames.resize(size_t(count));
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    WebPIterator it;
    for (int i = 0; sts == kelOKAY && i < count; i++) {
        if (!WebPDemuxGetFrame(demux, i + 1, &it)) {
            sts = kelWEBPFailure(kelBADIMGFMT, name, "reading its frames", "a frame is missing");
            break;
        }
        WebPBitstreamFeatures features;
        const VP8StatusCode code = WebPGetFeatures(it.fragment.bytes, it.fragment.size, &features);
        kelWEBPFrameInfo& f = frames[size_t(i)];
        f.left = it.x_offset;
        f.top = it.y_offset;
        f.width = it.width;
        f.height = it.height;
        f.duration = info.animated ? it.duration : 0;
        f.dispose = it.dispose_method == WEBP_MUX_DISPOSE_BACKGROUND ? kelDisposeBackground : kelDisposeNone;
        f.blend = it.blend_method == WEBP_MUX_NO_BLEND ? kelBlendSource : kelBlendOver;
        // An animation's frames all have alpha: its canvas has.
        f.alpha = info.animated || it.has_alpha || features.has_alpha;
        f.lossless = features.format == 2;
        f.bytes = it.fragment.bytes;
        f.size = it.fragment.size;
        if (code != VP8_STATUS_OK)
            sts = kelWEBPFailure(decodeStatus(code), name, "reading a frame's header", decodeReason(code));
        else
            sts = kelCheckPageBytes((unsigned long long)f.width * unsigned(f.height) * (f.alpha ? 4 : 3), "WebP frame");
    }
    WebPDemuxReleaseIterator(&it);
    return sts;
}

kelStatus kelWEBPReader::decode(int i, unsigned char* out, size_t stride) const
{
    const kelWEBPFrameInfo& f = frame(i);
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        return kelWEBPFailure(kelBADIMGFMT, name, "decoding", "libwebp's version does not match");
    config.output.colorspace = f.alpha ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = out;
    config.output.u.RGBA.stride = int(stride);
    config.output.u.RGBA.size = stride * size_t(f.height);
    const VP8StatusCode code = WebPDecode(f.bytes, f.size, &config);
    WebPFreeDecBuffer(&config.output);
    if (code != VP8_STATUS_OK)
        return kelWEBPFailure(decodeStatus(code), name, "decoding a frame", decodeReason(code));
    return kelOKAY;
}
