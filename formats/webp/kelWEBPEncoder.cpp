#include "kelWEBPEncoder.h"

#include <errno.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <new>

namespace {

kelStatus encodeStatus(WebPEncodingError code)
{
    switch (code) {
    case VP8_ENC_ERROR_OUT_OF_MEMORY:
    case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY:
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    case VP8_ENC_ERROR_BAD_WRITE:
        return kelWRITEFAILED;
    default:
        return kelBADPARAMS;
    }
}

const char* encodeReason(WebPEncodingError code)
{
    static const char* const reasons[] = {
        "no error",          "out of memory",       "out of memory for the bitstream", "no pixels",
        "invalid settings",  "bad dimensions",      "partition too big (lower the quality)",
        "partition too big", "write failed",        "file too big", "aborted"};
    return unsigned(code) < sizeof reasons / sizeof reasons[0] ? reasons[code] : "unknown error";
}

bool makeConfig(WebPConfig& config, int lossless, const kelWEBPSettings& s)
{
    if (!WebPConfigInit(&config))
        return false;
    config.lossless = lossless;
    config.quality = float(s.quality);
    config.method = s.method;
    config.exact = s.exact;
    return WebPValidateConfig(&config) != 0;
}

bool importPicture(WebPPicture& pic, const kelWEBPPicture& from, int argb)
{
    if (!WebPPictureInit(&pic))
        return false;
    pic.width = from.width;
    pic.height = from.height;
    pic.use_argb = argb;
    return from.channels == 4 ? WebPPictureImportRGBA(&pic, from.pixels, int(from.stride))
                              : WebPPictureImportRGB(&pic, from.pixels, int(from.stride));
}

// Takes the bytes that libwebp allocated.
kelStatus takeData(WebPData& data, std::vector<unsigned char>& out)
{
    kelStatus sts = kelOKAY;
    try {
        out.assign(data.bytes, data.bytes + data.size);
    } catch (const std::bad_alloc&) {
        sts = kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    WebPDataClear(&data);
    return sts;
}

} // namespace

kelWEBPEncoder::kelWEBPEncoder(const char* fileName) : name(fileName ? fileName : ""), anim(nullptr) {}

kelWEBPEncoder::~kelWEBPEncoder()
{
    WebPAnimEncoderDelete(anim);
}

kelStatus kelWEBPEncoder::still(const kelWEBPPicture& picture, int lossless, const kelWEBPSettings& settings,
                                std::vector<unsigned char>& out) const
{
    WebPConfig config;
    WebPPicture pic;
    if (!makeConfig(config, lossless, settings))
        return kelWEBPFailure(kelBADPARAMS, name, "encoding", "invalid settings");
    if (!importPicture(pic, picture, lossless)) {
        WebPPictureFree(&pic);
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    pic.writer = WebPMemoryWrite;
    pic.custom_ptr = &writer;
    const int ok = WebPEncode(&config, &pic);
    const WebPEncodingError code = pic.error_code;
    WebPPictureFree(&pic);
    WebPData data = {writer.mem, writer.size};
    kelStatus sts = takeData(data, out);
    if (!ok)
        return kelWEBPFailure(encodeStatus(code), name, "encoding", encodeReason(code));
    return sts;
}

kelStatus kelWEBPEncoder::animFailure(const char* what) const
{
    const char* why = anim ? WebPAnimEncoderGetError(anim) : nullptr;
    return kelWEBPFailure(kelBADPARAMS, name, what, why && *why ? why : "out of memory");
}

kelStatus kelWEBPEncoder::start(int width, int height, const kelWEBPFileInfo& info)
{
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options))
        return kelWEBPFailure(kelBADPARAMS, name, "encoding", "libwebp's version does not match");
    options.anim_params.loop_count = info.loopCount;
    // Stored B, G, R, A from the lowest byte.
    const int* bg = info.background;
    options.anim_params.bgcolor = uint32_t(bg[3]) << 24 | uint32_t(bg[0]) << 16 | uint32_t(bg[1]) << 8 | uint32_t(bg[2]);
    anim = WebPAnimEncoderNew(width, height, &options);
    return anim ? kelOKAY : kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
}

kelStatus kelWEBPEncoder::add(const kelWEBPPicture& canvas, int timestamp, int lossless,
                              const kelWEBPSettings& settings)
{
    WebPConfig config;
    WebPPicture pic;
    if (!makeConfig(config, lossless, settings))
        return kelWEBPFailure(kelBADPARAMS, name, "encoding", "invalid settings");
    if (!importPicture(pic, canvas, 1)) {
        WebPPictureFree(&pic);
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    const int ok = WebPAnimEncoderAdd(anim, &pic, timestamp, &config);
    WebPPictureFree(&pic);
    return ok ? kelOKAY : animFailure("encoding a frame");
}

kelStatus kelWEBPEncoder::finish(int end, std::vector<unsigned char>& out)
{
    WebPData data;
    WebPDataInit(&data);
    if (!WebPAnimEncoderAdd(anim, nullptr, end, nullptr) || !WebPAnimEncoderAssemble(anim, &data))
        return animFailure("assembling the animation");
    return takeData(data, out);
}

kelStatus kelWEBPEncoder::addChunks(std::vector<unsigned char>& image, const kelWEBPFileInfo& info) const
{
    if (!info.hasIcc && !info.hasExif && !info.hasXmp)
        return kelOKAY;
    const WebPData in = {image.data(), image.size()};
    WebPMux* mux = WebPMuxCreate(&in, 0);
    if (!mux)
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    const struct {
        const char* fourcc;
        int has;
        const std::vector<unsigned char>& bytes;
    } chunks[] = {{"ICCP", info.hasIcc, info.icc}, {"EXIF", info.hasExif, info.exif}, {"XMP ", info.hasXmp, info.xmp}};
    WebPMuxError err = WEBP_MUX_OK;
    for (const auto& c : chunks) {
        const WebPData data = {c.bytes.data(), c.bytes.size()};
        if (c.has && err == WEBP_MUX_OK)
            err = WebPMuxSetChunk(mux, c.fourcc, &data, 0);
    }
    WebPData out;
    WebPDataInit(&out);
    if (err == WEBP_MUX_OK)
        err = WebPMuxAssemble(mux, &out);
    WebPMuxDelete(mux);
    if (err != WEBP_MUX_OK) {
        WebPDataClear(&out);
        return kelWEBPFailure(err == WEBP_MUX_MEMORY_ERROR ? kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM) : kelBADPARAMS,
                              name, "adding the metadata chunks", "rejected by libwebp's muxer");
    }
    return takeData(out, image);
}
