// Writing a WebP file: each frame is kept until the next is appended or the
// file closes, then drawn on the canvas and given to the encoder; a file of
// one frame is encoded as a still image.
#include "kelWEBPFile.h"

#include <kel/kelError.h>
#include <kel/kelFileConfig.h>
#include <kel/kelFormat.h>
#include <kel/kelLimits.h>

#include <fcntl.h>
#include <limits.h>
#include <string.h>

#include <new>

#include "kelByteWriter.h"
#include "kelWEBPLimits.h"

size_t kelWEBPFile::frameBytes() const
{
    return size_t(size.x) * size_t(size.y) * size_t(size.c);
}

// A frame starts blank at the canvas's corner, with the default timing.
kelStatus kelWEBPFile::startFrame()
{
    if (cm != (size.c == 4 ? kelRGBA : kelRGB))
        return kelBADPARAMS;
    frame = kelWEBPFrameInfo();
    frame.width = size.x;
    frame.height = size.y;
    frame.alpha = size.c == 4;
    kelStatus sts = kelCheckPageBytes(frameBytes(), "WebP frame");
    if (sts != kelOKAY)
        return sts;
    try {
        pixels.assign(frameBytes(), 0);
    } catch (const std::bad_alloc&) {
        return kelComposeStatus(kelMALLOCFAILED, 1, ENOMEM);
    }
    return kelOKAY;
}

kelWEBPPicture kelWEBPFile::currentPicture() const
{
    return {pixels.data(), size.x, size.y, size.c, size_t(size.x) * size_t(size.c)};
}

kelStatus kelWEBPFile::setPage(const void* data, int x, int y, int, int, int nx, int ny, int, int)
{
    if (!creating)
        return kelREADONLY;
    if (!isWholePage(x, y, nx, ny))
        return kelBADPARAMS;
    memcpy(pixels.data(), data, frameBytes());
    return kelOKAY;
}

// The canvas is the items' or, when they are not set, reaches to the first
// frame's far edges.
kelStatus kelWEBPFile::encodeFrame()
{
    kelStatus sts = kelOKAY;
    if (!encoder.started()) {
        const int w = info.canvasWidth > 0 ? info.canvasWidth : frame.left + size.x;
        const int h = info.canvasHeight > 0 ? info.canvasHeight : frame.top + size.y;
        if (w > kelWEBPMaxExtent || h > kelWEBPMaxExtent)
            return kelWEBPFailure(kelBADPARAMS, filename ? filename : "", "encoding", "the canvas is too large");
        sts = canvas.start(w, h);
        if (sts == kelOKAY)
            sts = encoder.start(w, h, info);
    }
    if (sts == kelOKAY)
        sts = canvas.draw(currentPicture(), frame);
    if (sts == kelOKAY)
        sts = encoder.add(canvas.picture(), int(timestamp), compression == kelWEBPLossless, settings);
    timestamp += frame.duration;
    if (sts == kelOKAY && timestamp > INT_MAX)
        sts = kelWEBPFailure(kelBADPARAMS, filename ? filename : "", "encoding", "the animation is too long");
    return sts;
}

// A frame that covers the canvas goes to the encoder as it is.
kelStatus kelWEBPFile::encodeStill(std::vector<unsigned char>& out)
{
    const int w = info.canvasWidth > 0 ? info.canvasWidth : frame.left + size.x;
    const int h = info.canvasHeight > 0 ? info.canvasHeight : frame.top + size.y;
    const int lossless = compression == kelWEBPLossless;
    if (w == size.x && h == size.y && frame.left == 0 && frame.top == 0)
        return encoder.still(currentPicture(), lossless, settings, out);
    kelStatus sts = canvas.start(w, h);
    if (sts == kelOKAY)
        sts = canvas.draw(currentPicture(), frame);
    return sts == kelOKAY ? encoder.still(canvas.picture(), lossless, settings, out) : sts;
}

kelStatus kelWEBPFile::finishFile()
{
    std::vector<unsigned char> out;
    kelStatus sts = writeStatus;
    beginFileIO();
    if (sts == kelOKAY && frames == 0)
        sts = encodeStill(out);
    else if (sts == kelOKAY && (sts = encodeFrame()) == kelOKAY)
        sts = encoder.finish(int(timestamp), out);
    if (sts == kelOKAY)
        sts = encoder.addChunks(out, info);
    if (sts == kelOKAY)
        sts = writeOut(out);
    endFileIO();
    writeStatus = sts;
    return sts;
}

kelStatus kelWEBPFile::writeOut(const std::vector<unsigned char>& bytes)
{
    kelByteWriter output;
    output.attach(fd);
    output.write(bytes.data(), bytes.size());
    kelStatus sts = output.flush();
    if (sts != kelOKAY)
        kelError(kelSeverityWarning, "Error writing WebP file: %s", filename ? filename : "");
    return sts;
}

kelStatus kelWEBPFile::takeConfig(kelFile* src, kelFileConfig* cfg)
{
    kelFileConfig config;
    if (cfg)
        config = *cfg;
    kelStatus sts = format->applyDefaults(src, config);
    if (sts != kelOKAY)
        return sts;
    config.getSize(size);
    config.getPageSize(pageSize);
    dtype = config.getDataType();
    order = config.getOrder();
    cm = config.getColorModel();
    orientation = config.getOrientation();
    compression = config.getCompression();
    return kelOKAY;
}

// The frame before is final now: it goes to the encoder.
kelStatus kelWEBPFile::appendImg(kelFile* src, kelFileConfig* cfg)
{
    if (!creating)
        return kelREADONLY;
    if (writeStatus != kelOKAY)
        return writeStatus;
    beginFileIO();
    writeStatus = encodeFrame();
    endFileIO();
    if (writeStatus != kelOKAY)
        return writeStatus;
    frames++;
    imgidx = frames;
    kelStatus sts = takeConfig(src, cfg);
    if (sts == kelOKAY)
        sts = startFrame();
    writeStatus = sts;
    markAttributesChanged();
    return sts;
}
