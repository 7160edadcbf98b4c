#include "kelToolItems.h"

#include <kel/kelXBMFile.h>

kelToolItem kelToolXBMItems[] = {
    {"hot_spot", {kelXBMhotSpot, 0x6312, "Location of hot spot in image", "Hot spot", nullptr, nullptr},
     kelToolItemImage, true},
};

const int kelToolXBMItemCount = int(sizeof kelToolXBMItems / sizeof kelToolXBMItems[0]);
