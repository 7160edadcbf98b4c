// The bytes of a WebP file, taken apart by libwebp's demuxer: the canvas,
// looping, background and metadata chunks, and each frame's place, timing
// and bitstream, which decodes whole into the caller's memory.
#ifndef KEL_WEBPREADER_H
#define KEL_WEBPREADER_H

#include <kel/kelStatus.h>

#include <stddef.h>

#include <string>
#include <vector>

struct WebPDemuxer;

// One frame's items; a still image is a frame that covers the canvas.
struct kelWEBPFrameInfo {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int duration = 100;
    int dispose = 1; // a kelFrameDisposal
    int blend = 0;   // a kelFrameBlend
    int alpha = 0;
    int lossless = 0;
    const unsigned char* bytes = nullptr;
    size_t size = 0;
};

// The whole file's items.
struct kelWEBPFileInfo {
    int canvasWidth = 0;
    int canvasHeight = 0;
    int loopCount = 0;
    int background[4] = {255, 255, 255, 255};
    int animated = 0;
    int hasExif = 0;
    int hasXmp = 0;
    int hasIcc = 0;
    std::vector<unsigned char> exif;
    std::vector<unsigned char> xmp;
    std::vector<unsigned char> icc;
};

// The messages that go with libwebp's failures: `what` failed in file
// `name`, for the reason `why`.
kelStatus kelWEBPFailure(kelStatus sts, const std::string& name, const char* what, const char* why);

class kelWEBPReader {
public:
    explicit kelWEBPReader(const char* fileName);
    ~kelWEBPReader();
    kelWEBPReader(const kelWEBPReader&) = delete;
    kelWEBPReader& operator=(const kelWEBPReader&) = delete;

    // The file's bytes, then the chunks and frames in them, checked against
    // the limits (kelWEBPLimits.h) before anything is decoded.
    kelStatus load(int fd);
    kelStatus parse(kelWEBPFileInfo& info);

    int frameCount() const { return int(frames.size()); }
    const kelWEBPFrameInfo& frame(int i) const { return frames[size_t(i)]; }
    // Frame i as RGB or RGBA (its `alpha`), rows `stride` bytes apart.
    kelStatus decode(int i, unsigned char* out, size_t stride) const;

private:
    kelStatus parseFrames(kelWEBPFileInfo& info);
    kelStatus checkWork(const kelWEBPFileInfo& info, int count) const;
    void takeChunk(const char* fourcc, int& has, std::vector<unsigned char>& to) const;

    std::string name;
    std::vector<unsigned char> bytes;
    WebPDemuxer* demux;
    std::vector<kelWEBPFrameInfo> frames;
};

#endif
