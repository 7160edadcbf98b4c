// What kelinfo tells about one image file, as JSON.
#ifndef KEL_INFO_FILES_H
#define KEL_INFO_FILES_H

#include <nlohmann/json.hpp>

class kelToolErrorLog;

// {"file", "format", "description", "image_count", "images": [...]} and,
// for an animation, "animation" (see kelInfoAnimation) or, when
// the file cannot be opened, {"file", "error"} (the error is also reported
// through `log`). The name may carry #format, :index and %arguments; with an
// index only that image is described.
nlohmann::json kelInfoFile(const char* name, kelToolErrorLog& log);

#endif
