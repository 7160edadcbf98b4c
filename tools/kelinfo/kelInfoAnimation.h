// The timeline of an animation, from the items of the roles that frames
// declare (kelTagRole): canvas, loop count, and per frame its delay,
// disposal, blending and rectangle.
#ifndef KEL_INFO_ANIMATION_H
#define KEL_INFO_ANIMATION_H

#include <nlohmann/json.hpp>

class kelFile;

// {"canvas": [w, h], "loop_count", "frames": [{"index", "delay_ms",
// "disposal", "blend", "rectangle": [left, top, width, height]}]}; null
// for a file of one image or one whose frames cannot be placed. The
// file's current image stays.
nlohmann::json kelInfoAnimation(kelFile& file);

#endif
