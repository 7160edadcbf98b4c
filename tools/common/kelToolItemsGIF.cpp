// The items of GIF files: per image its placement, timing, disposal,
// transparency and interlacing; per file the logical screen, its
// background and aspect, and the loop count. kelcp carries what a GIF file
// can be given; the colors are read-only.
#include <kel/kelGIFFile.h>

#include "kelToolItems.h"

kelToolItem kelToolGIFItems[] = {
    {"screen_width", {kelGIFscreenWidth, 0x11, nullptr, "Screen width", nullptr, nullptr}, kelToolItemFile, true},
    {"screen_height", {kelGIFscreenHeight, 0x11, nullptr, "Screen height", nullptr, nullptr}, kelToolItemFile, true},
    {"background_index", {kelGIFbackgroundIndex, 0x11, nullptr, "Background index", nullptr, nullptr},
     kelToolItemFile, true},
    {"background_color", {kelGIFbackgroundColor, 0x13, nullptr, "Background color", nullptr, nullptr},
     kelToolItemFile, false},
    {"aspect_ratio", {kelGIFaspectRatio, 0x21, nullptr, "Pixel aspect ratio", nullptr, nullptr}, kelToolItemFile,
     true},
    {"loop_count", {kelGIFloopCount, 0x11, nullptr, "Loop count", nullptr, nullptr}, kelToolItemFile, true},
    {"left", {kelGIFleftPosition, 0x11, nullptr, "Left position", nullptr, nullptr}, kelToolItemImage, true},
    {"top", {kelGIFtopPosition, 0x11, nullptr, "Top position", nullptr, nullptr}, kelToolItemImage, true},
    {"delay", {kelGIFdelayTime, 0x11, nullptr, "Delay time", nullptr, nullptr}, kelToolItemImage, true},
    {"disposal", {kelGIFdisposalMethod, 0x61, nullptr, "Disposal method", nullptr, kelGIFDisposalNames},
     kelToolItemImage, true},
    {"user_input", {kelGIFuserInput, 0x41, nullptr, "User input", nullptr, nullptr}, kelToolItemImage, true},
    {"interlace", {kelGIFinterlace, 0x41, nullptr, "Interlace", nullptr, nullptr}, kelToolItemImage, true},
    {"transparent_index", {kelGIFtransparentIndex, 0x11, nullptr, "Transparent index", nullptr, nullptr},
     kelToolItemImage, true, "-1"},
    {"transparent_color", {kelGIFtransparentColor, 0x13, nullptr, "Transparent color", nullptr, nullptr},
     kelToolItemImage, false},
};

const int kelToolGIFItemCount = int(sizeof kelToolGIFItems / sizeof kelToolGIFItems[0]);
