// A WebP file: a still image, or an animation whose every frame is one
// image of one page, with its place on the canvas, duration, disposal and
// blend as items. Pixels are RGB or RGBA bytes.
//
// Reading holds the file's bytes and decodes a frame whole when its page is
// read. Writing keeps the current frame until the next is appended or the
// file closes: then its items are final, and it is drawn on the canvas and
// given to the animation encoder (see kelWEBPCanvas.h). A file of one frame
// is encoded as a still image at close; the ICC profile, EXIF and XMP join
// the encoded bytes there.
#ifndef KEL_WEBPFILE_PRIVATE_H
#define KEL_WEBPFILE_PRIVATE_H

#include <kel/kelFile.h>
#include <kel/kelWEBPFile.h>

#include <memory>
#include <vector>

#include "kelWEBPCanvas.h"
#include "kelWEBPEncoder.h"
#include "kelWEBPReader.h"

class kelWEBPFile : public kelFile {
public:
    kelWEBPFile();
    ~kelWEBPFile() override;

    // The only page is the whole current image.
    kelStatus getPage(void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    kelStatus setPage(const void* data, int x, int y, int z, int c, int nx, int ny, int nz, int nc) override;
    int getNumImgs() override;
    int getCurrentImg() override;
    kelStatus setCurrentImg(int i) override;
    kelStatus appendImg(kelFile* src, kelFileConfig* cfg) override;
    kelStatus getItem(int tag, va_list args) override;
    kelStatus setItem(int tag, va_list args) override;

protected:
    kelStatus openFile() override;
    kelStatus createFile() override;
    kelStatus closeFile() override;
    kelStatus _getICCProfile(int& size, void*& profile) override;
    kelStatus _freeICCProfile(void* profile) override;
    kelStatus _setICCProfile(int size, const void* profile) override;

private:
    // Reading (kelWEBPRead.cpp).
    kelStatus readFile();
    void describeFrame(int index);
    int isWholePage(int x, int y, int nx, int ny) const;

    // Writing (kelWEBPWrite.cpp).
    size_t frameBytes() const;
    kelStatus takeConfig(kelFile* src, kelFileConfig* cfg);
    kelStatus startFrame();
    kelStatus encodeFrame();
    kelStatus encodeStill(std::vector<unsigned char>& out);
    kelStatus finishFile();
    kelStatus writeOut(const std::vector<unsigned char>& bytes);
    kelWEBPPicture currentPicture() const;

    // Items (kelWEBPItems.cpp).
    kelStatus getFileItem(int tag, va_list args);
    kelStatus setFileItem(int tag, va_list args);
    kelStatus setFrameItem(int tag, va_list args);

    int creating;
    int imgidx;
    kelWEBPFrameInfo frame;   // the current frame's items
    kelWEBPFileInfo info;     // the whole file's items
    std::unique_ptr<kelWEBPReader> reader;

    kelWEBPSettings settings;
    kelWEBPCanvas canvas;
    kelWEBPEncoder encoder;
    std::vector<unsigned char> pixels; // the current frame being written
    int frames;                        // frames given to the encoder
    long long timestamp;               // where the next frame starts, ms
    kelStatus writeStatus;             // the first failure, which sticks
};

#endif
