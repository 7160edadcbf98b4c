// The format items of an image file, as JSON.
#ifndef KEL_INFO_ITEMS_H
#define KEL_INFO_ITEMS_H

#include <nlohmann/json.hpp>

class kelFile;

// {key: value} for every item that the format describes and the file holds,
// the file-wide ones or those of the current image (numbers, booleans,
// enumeration names, strings, blocks of bytes as base64; several values as
// an array). Keys are kelToolItemKey of the descriptions' names.
nlohmann::json kelInfoItems(kelFile& file, bool fileWide);

#endif
