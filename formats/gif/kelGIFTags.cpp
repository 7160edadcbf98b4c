// The descriptions of the GIF items; the global colormap has none. The
// colors are read-only: they follow from the indices and the tables. GIF's
// disposal methods are the values of kelFrameDisposal, so the item takes the
// common role. An image without transparency has index -1.
#include <kel/kelGIFFile.h>
#include <kel/kelTag.h>

namespace {

const unsigned fileWide = kelTagFileWide;
const unsigned readOnly = kelTagReadOnly;

} // namespace

kelTagDescription kelGIFTagDescriptions[] = {
    {kelGIFtransparentIndex, 0x6311, "Index value that is considered transparent", "Transparent index", "-1",
     nullptr},
    {kelGIFtransparentColor, 0x14113 | readOnly, "R,G,B value that is considered transparent", "Transparent color",
     nullptr, nullptr},
    {kelGIFinterlace, 0x6341, "The image is stored in interlaced format", "Interlace", "false", nullptr},
    {kelGIFdelayTime, 0x6311 | kelTagRoleFlags(kelTagRoleDelayCs),
     "Delay time in 1/100th's of a second for current frame", "Delay time", "0", nullptr},
    {kelGIFdisposalMethod, 0x6361 | kelTagRoleFlags(kelTagRoleDisposal),
     "How the graphic is treated after being displayed", "Disposal method", "Unspecified", kelGIFDisposalNames},
    {kelGIFuserInput, 0x6341, "User input is expected before continuing after this image", "User input", "false",
     nullptr},
    {kelGIFleftPosition, 0x6311 | kelTagRoleFlags(kelTagRoleLeft),
     "Position of left edge of this image in the logical screen", "Left position", "0", nullptr},
    {kelGIFtopPosition, 0x6311 | kelTagRoleFlags(kelTagRoleTop),
     "Position of top edge of this image in the logical screen", "Top position", "0", nullptr},
    {kelGIFscreenWidth, 0x6311 | fileWide | kelTagRoleFlags(kelTagRoleCanvasWidth),
     "Logical screen width for all sub-images", "Screen width", nullptr, nullptr},
    {kelGIFscreenHeight, 0x6311 | fileWide | kelTagRoleFlags(kelTagRoleCanvasHeight),
     "Logical screen height for all sub-images", "Screen height", nullptr, nullptr},
    {kelGIFaspectRatio, 0x6321 | fileWide, "Quotient of pixel's width over its height", "Pixel aspect ratio", "1",
     nullptr},
    {kelGIFbackgroundIndex, 0x12311 | fileWide, "Background color index for the logical screen", "Background index",
     nullptr, nullptr},
    {kelGIFbackgroundColor, 0x14113 | fileWide | readOnly,
     "R,G,B value that is used for background of logical screen", "Background color", nullptr, nullptr},
    {kelGIFloopCount, 0x6311 | fileWide | kelTagRoleFlags(kelTagRoleLoopCount),
     "The number of iterations an animated file should execute", "Loop count", nullptr, nullptr},
};

extern const int kelGIFTagCount = int(sizeof kelGIFTagDescriptions / sizeof kelGIFTagDescriptions[0]);

static_assert(int(kelGIFdisposalUnspecified) == int(kelDisposeUnspecified) &&
                  int(kelGIFdisposalLeaveImage) == int(kelDisposeNone) &&
                  int(kelGIFdisposalRestoreBackground) == int(kelDisposeBackground) &&
                  int(kelGIFdisposalRestorePrevious) == int(kelDisposePrevious),
              "GIF's disposal methods are the common ones");
