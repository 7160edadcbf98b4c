// kel._kel: the C++ layer under the kel package. Arguments arrive checked
// by kel/__init__.py, which is the documented interface.
#include <pybind11/stl.h>

#include <kel/kelFormat.h>

#include "errors.h"
#include "file.h"
#include "formats.h"

namespace py = pybind11;

namespace {

py::dict chooseConfig(const std::string& format, const std::string& path, const py::dict& want)
{
    kelPyLayout l;
    l.width = want["width"].cast<int>();
    l.height = want["height"].cast<int>();
    l.channels = want["channels"].cast<int>();
    l.arrayType = kelDataType(want["array_dtype"].cast<int>());
    l.dtype = kelDataType(want["dtype"].cast<int>());
    l.colorModel = kelColorModel(want["color_model"].cast<int>());
    l.order = kelOrder(want["order"].cast<int>());
    l.orientation = kelOrientation(want["orientation"].cast<int>());
    l.compression = kelCompression(want["compression"].cast<int>());
    kelFormat* fmt = kelPyWriteFormat(format, path);
    py::dict chosen = kelPyConfigDict(kelPyChooseConfig(fmt, l));
    chosen["format"] = fmt->getName();
    return chosen;
}

kelPyTile tileOf(int x, int y, int width, int height, std::vector<int> channels, bool separate)
{
    return kelPyTile{x, y, width, height, std::move(channels), separate};
}

} // namespace

PYBIND11_MODULE(_kel, m)
{
    m.doc() = "The C++ layer of kel; use the kel package.";
    kelPyInstallErrors(m);

    m.def("formats", &kelPyFormats);
    m.def("choose_config", &chooseConfig, py::arg("format"), py::arg("path"), py::arg("want"));

    py::class_<kelPyFile>(m, "File")
        .def_static("open", &kelPyFile::open, py::arg("path"), py::arg("fd"), py::arg("format"))
        .def_static("create", &kelPyFile::create, py::arg("path"), py::arg("fd"), py::arg("format"),
                    py::arg("config"), py::arg("args"))
        .def("close", &kelPyFile::close)
        .def_property_readonly("closed", &kelPyFile::closed)
        .def("info", &kelPyFile::info)
        .def("select", &kelPyFile::select)
        .def("append", &kelPyFile::append)
        .def(
            "read",
            [](kelPyFile& f, int x, int y, int w, int h, std::vector<int> channels, bool separate, int dtype) {
                return f.read(tileOf(x, y, w, h, std::move(channels), separate), dtype);
            })
        .def("write",
             [](kelPyFile& f, const py::array& pixels, int x, int y, int w, int h, std::vector<int> channels,
                bool separate) { f.write(pixels, tileOf(x, y, w, h, std::move(channels), separate)); })
        .def("colormap", &kelPyFile::colormap)
        .def("set_colormap", &kelPyFile::setColormap)
        .def("icc_profile", &kelPyFile::iccProfile)
        .def("set_icc_profile", &kelPyFile::setIccProfile)
        .def("items", &kelPyFile::items)
        .def("set_item", &kelPyFile::setItem)
        .def("item_keys", &kelPyFile::itemKeys);
}
