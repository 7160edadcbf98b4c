// The format items of an image file, as JSON.
#ifndef KEL_INFO_ITEMS_H
#define KEL_INFO_ITEMS_H

#include <nlohmann/json.hpp>

#include "kelToolItems.h"

class kelFile;

// {key: value} for every item of this scope that the file holds (numbers,
// booleans, enumeration names, strings; several values as an array).
nlohmann::json kelInfoItems(kelFile& file, kelToolItemScope scope);

#endif
