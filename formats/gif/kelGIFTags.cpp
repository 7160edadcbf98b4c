// The descriptions of the GIF items; the global colormap has none.
#include <kel/kelGIFFile.h>
#include <kel/kelTag.h>


kelTagDescription kelGIFTagDescriptions[] = {
    {kelGIFtransparentIndex, 0x6311, "Index value that is considered transparent", "Transparent index", nullptr,
     nullptr},
    {kelGIFtransparentColor, 0x14113, "R,G,B value that is considered transparent", "Transparent color", nullptr,
     nullptr},
    {kelGIFinterlace, 0x6341, "The image is stored in interlaced format", "Interlace", "false", nullptr},
    {kelGIFdelayTime, 0x6311, "Delay time in 1/100th's of a second for current frame", "Delay time", "0", nullptr},
    {kelGIFdisposalMethod, 0x6361, "How the graphic is treated after being displayed", "Disposal method",
     "Unspecified", kelGIFDisposalNames},
    {kelGIFuserInput, 0x6341, "User input is expected before continuing after this image", "User input", "false",
     nullptr},
    {kelGIFleftPosition, 0x6311, "Position of left edge of this image in the logical screen", "Left position", "0",
     nullptr},
    {kelGIFtopPosition, 0x6311, "Position of top edge of this image in the logical screen", "Top position", "0",
     nullptr},
    {kelGIFscreenWidth, 0x6311, "Logical screen width for all sub-images", "Screen width", nullptr, nullptr},
    {kelGIFscreenHeight, 0x6311, "Logical screen height for all sub-images", "Screen height", nullptr, nullptr},
    {kelGIFaspectRatio, 0x6321, "Quotient of pixel's width over its height", "Pixel aspect ratio", "1", nullptr},
    {kelGIFbackgroundIndex, 0x12311, "Background color index for the logical screen", "Background index", nullptr,
     nullptr},
    {kelGIFbackgroundColor, 0x14113, "R,G,B value that is used for background of logical screen",
     "Background color", nullptr, nullptr},
    {kelGIFloopCount, 0x6311, "The number of iterations an animated file should execute", "Loop count", nullptr,
     nullptr},
};

extern const int kelGIFTagCount = int(sizeof kelGIFTagDescriptions / sizeof kelGIFTagDescriptions[0]);
