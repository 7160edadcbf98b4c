// The format database as Python sees it, and the configuration of a new
// image chosen from an array and the format's preferences, as kelcp chooses.
#ifndef KEL_PY_FORMATS_H
#define KEL_PY_FORMATS_H

#include <pybind11/pybind11.h>

#include <kel/kelFileConfig.h>

class kelFormat;

// One dict per database entry: name, description, suffixes, writable,
// loadable (whether its plug-in loads).
pybind11::list kelPyFormats();

// The format to write: the named one, else the one whose suffix the path
// has; ValueError when none is, or when it cannot write or does not load.
kelFormat* kelPyWriteFormat(const std::string& name, const std::string& path);

// What the caller's array is and what the caller asks for; 0 leaves a
// choice to the format.
struct kelPyLayout {
    int width, height, channels;
    kelDataType arrayType;
    kelDataType dtype;
    kelColorModel colorModel;
    kelOrder order;
    kelOrientation orientation;
    kelCompression compression;
};

// ValueError naming the argument that the format cannot store.
kelFileConfig kelPyChooseConfig(kelFormat* format, const kelPyLayout& layout);



// A configuration as a dict of kel's codes: width, height, channels, dtype,
// order, color_model, orientation, compression; and back.
pybind11::dict kelPyConfigDict(const kelFileConfig& config);
kelFileConfig kelPyConfigOf(const pybind11::dict& config);

#endif
