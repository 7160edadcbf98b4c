/* The frames of an animation as they are shown: each image of a
   multi-image file drawn at its place on the canvas over what the frames
   before it left, after the previous frame's disposal. Formats are known
   only through the roles of their tag descriptions (kelTagRole): canvas
   size, left, top, delay, disposal, blend, loop count. Canvases start
   transparent, and restoring to the background makes a rectangle
   transparent, as browsers do. Frames outside the canvas are clipped;
   empty frames change nothing. */
#ifndef KEL_FRAMECOMPOSER_H
#define KEL_FRAMECOMPOSER_H

#include <kel/kelExport.h>
#include <kel/kelStatus.h>
#include <kel/kelTagDescription.h>

/* One frame of the timeline. */
typedef struct kelFrameInfo {
    int left, top;      /* the frame's rectangle on the canvas, before clipping */
    int width, height;
    int delayMs;        /* -1 when the format gives no delay */
    kelFrameDisposal disposal;
    kelFrameBlend blend;
    int hasAlpha;       /* some of its pixels may be transparent */
} kelFrameInfo;

#ifdef __cplusplus
class kelFile;

class KEL_API kelFrameComposer {
public:
    // The file stays the caller's and must outlive the composer, whose
    // reads move the file's current image.
    explicit kelFrameComposer(kelFile& file);
    ~kelFrameComposer();

    // Reads the timeline. kelBADPARAMS for an empty canvas, kelMALLOCFAILED
    // for one beyond the page limit (kelGetMaxPageBytes).
    kelStatus init();

    int getNumFrames() const;
    int getCanvasWidth() const;
    int getCanvasHeight() const;
    // -1 when the format gives none; 0 plays forever.
    int getLoopCount() const;
    kelStatus getFrameInfo(int frame, kelFrameInfo& info) const;
    // Whether some composed pixel may be less than opaque (else RGB will do).
    int hasTransparency() const;

    // Frame `frame` as shown: width x height x 4 bytes (R, G, B, A), top row
    // first. Frames asked for in order cost one frame each; going back
    // composes again from the first.
    kelStatus compose(int frame, unsigned char* rgba);

    kelFrameComposer(const kelFrameComposer&) = delete;
    kelFrameComposer& operator=(const kelFrameComposer&) = delete;

    struct State;

private:
    State* st;
};
#endif

#endif
