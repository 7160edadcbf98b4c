// Encoding with libwebp: a still picture, or an animation from whole
// canvases and their start times; then the ICC profile, EXIF and XMP
// chunks join the encoded bytes.
#ifndef KEL_WEBPENCODER_H
#define KEL_WEBPENCODER_H

#include <kel/kelStatus.h>

#include <string>
#include <vector>

#include "kelWEBPCanvas.h"

struct WebPAnimEncoder;

struct kelWEBPSettings {
    int quality = 75;
    int method = 4;
    int exact = 0;
};

class kelWEBPEncoder {
public:
    explicit kelWEBPEncoder(const char* fileName = nullptr);
    ~kelWEBPEncoder();
    kelWEBPEncoder(const kelWEBPEncoder&) = delete;
    kelWEBPEncoder& operator=(const kelWEBPEncoder&) = delete;

    void setName(const char* fileName) { name = fileName ? fileName : ""; }

    kelStatus still(const kelWEBPPicture& picture, int lossless, const kelWEBPSettings& settings,
                    std::vector<unsigned char>& out) const;

    // An animation: start, a canvas per frame at its start time (ms), and
    // finish at the end of the last frame.
    kelStatus start(int width, int height, const kelWEBPFileInfo& info);
    kelStatus add(const kelWEBPPicture& canvas, int timestamp, int lossless, const kelWEBPSettings& settings);
    kelStatus finish(int end, std::vector<unsigned char>& out);
    bool started() const { return anim != nullptr; }

    // The file's metadata chunks added to the encoded bytes in `image`.
    kelStatus addChunks(std::vector<unsigned char>& image, const kelWEBPFileInfo& info) const;

private:
    kelStatus animFailure(const char* what) const;

    std::string name;
    WebPAnimEncoder* anim;
};

#endif
