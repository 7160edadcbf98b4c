// The descriptions of the WebP items. Placement, duration, disposal, blend,
// canvas, looping, background and quality carry the common roles, through
// which other formats' frames and tools meet them; the encoder's settings,
// canvas, looping and metadata are the whole file's.
#include <kel/kelTag.h>
#include <kel/kelWEBPFile.h>

#include "kelWEBPLimits.h"

namespace {

const kelIntRangeSpec qualities = {0, 100};
const kelIntRangeSpec methods = {0, 6};
const kelIntRangeSpec offsets = {0, kelWEBPMaxExtent};
const kelIntRangeSpec extents = {0, kelWEBPMaxExtent};
const kelIntRangeSpec durations = {0, kelWEBPMaxDuration};
const kelIntRangeSpec loops = {0, kelWEBPMaxLoopCount};
const kelIntRangeSpec bytes = {0, 255};

constexpr unsigned frame(unsigned type, kelTagRole role)
{
    return 1 | type | kelTagRoleFlags(role);
}

constexpr unsigned file(unsigned type, kelTagRole role = kelTagRoleNone)
{
    return 1 | type | kelTagFileWide | kelTagRoleFlags(role);
}

} // namespace

kelTagDescription kelWEBPTagDescriptions[] = {
    {kelWEBPquality, file(kelTagInt, kelTagRoleQuality), "Encoder quality of lossy frames, 100 best (not stored)",
     "Quality", "75", &qualities},
    {kelWEBPmethod, file(kelTagInt), "Encoder effort, 0 fastest, 6 smallest (not stored)", "Method", "4", &methods},
    {kelWEBPexact, file(kelTagBoolean), "Keep the colors under transparent pixels (not stored)", "Exact", "false",
     nullptr},
    {kelWEBPleft, frame(kelTagInt, kelTagRoleLeft), "Left edge of the frame on the canvas", "Left", "0", &offsets},
    {kelWEBPtop, frame(kelTagInt, kelTagRoleTop), "Top edge of the frame on the canvas", "Top", "0", &offsets},
    {kelWEBPduration, frame(kelTagInt, kelTagRoleDelayMs), "Time the frame shows, in milliseconds", "Duration",
     "100", &durations},
    {kelWEBPdispose, frame(kelTagEnumInt, kelTagRoleDisposal), "What becomes of the frame before the next",
     "Dispose", "None", kelWEBPDisposalNames},
    {kelWEBPblend, frame(kelTagEnumInt, kelTagRoleBlend), "How the frame meets the canvas", "Blend", "Over",
     kelWEBPBlendNames},
    {kelWEBPcanvasWidth, file(kelTagInt, kelTagRoleCanvasWidth), "Width of the canvas that frames are placed on",
     "Canvas width", nullptr, &extents},
    {kelWEBPcanvasHeight, file(kelTagInt, kelTagRoleCanvasHeight), "Height of the canvas", "Canvas height", nullptr,
     &extents},
    {kelWEBPloopCount, file(kelTagInt, kelTagRoleLoopCount), "Times the animation plays, 0 forever", "Loop count",
     "0", &loops},
    {kelWEBPbackground, 4 | kelTagInt | kelTagFileWide | kelTagRoleFlags(kelTagRoleBackground),
     "R, G, B, A of the canvas's background (a hint to viewers)", "Background", "255, 255, 255, 255", &bytes},
    {kelWEBPexif, file(kelTagBytes), "EXIF chunk (a TIFF structure)", "EXIF", nullptr, nullptr},
    {kelWEBPxmp, file(kelTagBytes), "XMP chunk", "XMP", nullptr, nullptr},
};

extern const int kelWEBPTagCount = int(sizeof kelWEBPTagDescriptions / sizeof kelWEBPTagDescriptions[0]);
