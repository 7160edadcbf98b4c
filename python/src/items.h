// A file's items: the format's tag descriptions walked one by one, each
// known by the key the tools use ("Delay time" is "delay_time"), so that a
// new plug-in's items reach Python without a change here.
#ifndef KEL_PY_ITEMS_H
#define KEL_PY_ITEMS_H

#include <string>

#include <pybind11/pybind11.h>

class kelFile;
class kelFormat;

// The values the file holds, per image or file-wide; an item the file
// lacks is left out. One value is a scalar, several a tuple; enumerated
// values come as their names, bytes as bytes.
pybind11::dict kelPyGetItems(kelFile& file, bool fileWide);
// Sets an item from its text (as kelcp --item takes it); ValueError for an
// unknown or read-only key and for a value the item cannot take.
void kelPySetItem(kelFile& file, const std::string& key, const std::string& text);
// (key, read-only, file-wide) of every item of the format.
pybind11::list kelPyItemKeys(kelFormat* format);

#endif
