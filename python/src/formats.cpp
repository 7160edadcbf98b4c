#include "formats.h"

#include <fcntl.h>

#include <string>

#include <kel/kelColor.h>
#include <kel/kelDatabase.h>
#include <kel/kelFormat.h>
#include <kel/kelTypeNames.h>

#include "errors.h"

namespace py = pybind11;

namespace {

py::list suffixesOf(const kelDatabase& db)
{
    py::list out;
    if (db.getSuffixes()) {
        kelListIter<kelSuffixItem> it(*db.getSuffixes());
        while (kelSuffixItem* item = it.next())
            out.append(item->suffix);
    }
    return out;
}

void require(bool supported, const char* argument, const char* value, kelFormat* format)
{
    if (!supported)
        throw py::value_error(std::string(argument) + ": format " + format->getName() + " cannot store " + value);
}

// Explicit choices the format cannot store, named one by one.
void checkChoices(kelFormat* f, const kelPyLayout& l)
{
    if (l.dtype)
        require(f->typeIsSupported(l.dtype), "dtype", kelDataTypeName(l.dtype), f);
    if (l.colorModel)
        require(f->colorModelIsSupported(l.colorModel), "color_model", kelColorModelName(l.colorModel), f);
    if (l.order)
        require(f->orderIsSupported(l.order), "order", kelOrderName(l.order), f);
    if (l.orientation)
        require(f->orientationIsSupported(l.orientation), "orientation", kelOrientationName(l.orientation), f);
    if (l.compression)
        require(f->compressionIsSupported(l.compression), "compression", kelCompressionName(l.compression), f);
}

} // namespace

py::list kelPyFormats()
{
    py::list out;
    int index = 0;
    kelPyMessages messages;
    while (kelDatabase* db = kelDatabase::findNext(index)) {
        py::dict entry;
        entry["name"] = db->getName() ? db->getName() : "";
        entry["description"] = db->getDescription() ? db->getDescription() : "";
        entry["suffixes"] = suffixesOf(*db);
        entry["writable"] = py::bool_(db->accessModeIsSupported(O_RDWR));
        entry["loadable"] = db->getFormat(1) != nullptr;
        out.append(entry);
    }
    messages.check(kelOKAY, "formats"); // a broken database or plug-in is said as a warning
    return out;
}

kelFormat* kelPyWriteFormat(const std::string& name, const std::string& path)
{
    kelDatabase* db = !name.empty() ? kelDatabase::findByFormatName(name.c_str())
                                    : kelDatabase::findByFileName(path.c_str(), 0);
    if (!db)
        throw py::value_error(!name.empty() ? "format: unknown format '" + name + "' (kel.formats() lists them)"
                                            : "format: no format claims the name '" + path + "'; give format=");
    if (!db->accessModeIsSupported(O_RDWR))
        throw py::value_error(std::string("format: format ") + db->getName() + " cannot write files");
    kelPyMessages messages;
    kelFormat* format = db->getFormat(1);
    if (!format)
        throw py::value_error(std::string("format: the plug-in of format ") + db->getName() +
                              " cannot be loaded (" + kelPyMessages::take() + ")");
    return format;
}

kelFileConfig kelPyChooseConfig(kelFormat* format, const kelPyLayout& l)
{
    checkChoices(format, l);
    kelColorModel arrayModel = l.colorModel ? l.colorModel : kelColorModelFromChans(l.channels);
    kelSize size(l.width, l.height, 1, l.channels);
    kelFileConfig array(&size, l.arrayType, kelInterleaved, arrayModel, kelUpperLeftOrigin, kelNoCompression);
    kelFileConfig chosen(nullptr, l.dtype, l.order, l.colorModel, l.orientation, l.compression);
    if (format->applyDefaults(&array, chosen) != kelOKAY)
        throw py::value_error(std::string("array: format ") + format->getName() + " cannot store a " +
                              std::to_string(l.width) + " x " + std::to_string(l.height) + " image of " +
                              std::to_string(l.channels) + " channels as " + kelDataTypeName(chosen.getDataType()));
    return chosen;
}

py::dict kelPyConfigDict(const kelFileConfig& c)
{
    const kelSize& size = c.getDimensions();
    py::dict d;
    d["width"] = size.x;
    d["height"] = size.y;
    d["channels"] = size.c;
    d["dtype"] = int(c.getDataType());
    d["order"] = int(c.getOrder());
    d["color_model"] = int(c.getColorModel());
    d["orientation"] = int(c.getOrientation());
    d["compression"] = int(c.getCompression());
    return d;
}

// The page size is left to the format.
kelFileConfig kelPyConfigOf(const py::dict& d)
{
    kelSize size(d["width"].cast<int>(), d["height"].cast<int>(), 1, d["channels"].cast<int>());
    return kelFileConfig(&size, kelDataType(d["dtype"].cast<int>()), kelOrder(d["order"].cast<int>()),
                         kelColorModel(d["color_model"].cast<int>()), kelOrientation(d["orientation"].cast<int>()),
                         kelCompression(d["compression"].cast<int>()));
}
