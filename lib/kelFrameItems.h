// Reading a file's items by their common roles, whatever its format.
#ifndef KEL_FRAMEITEMS_H
#define KEL_FRAMEITEMS_H

#include <kel/kelTagDescription.h>

class kelFile;

// The first `count` values of the item of the file's format that has
// `role`, as ints; false when the format has none or the image lacks it.
bool kelReadRole(kelFile& file, kelTagRole role, int* values, int count = 1);

#endif
