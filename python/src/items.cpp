#include "items.h"

#include <kel/kelFile.h>
#include <kel/kelFormat.h>
#include <kel/kelTag.h>

#include "errors.h"
#include "kelToolItems.h"

namespace py = pybind11;

namespace {

const char* enumName(const kelTagDescription& d, int v)
{
    for (const kelEnumSpec* row = static_cast<const kelEnumSpec*>(d.spec); row && row->name; ++row)
        if (row->value == v)
            return row->name;
    return nullptr;
}

py::object integer(const kelTagDescription& d, int v)
{
    int type = int(d.flags & kelTagTypeMask);
    if (type == kelTagBoolean)
        return py::bool_(v != 0);
    const char* name = (type == kelTagEnumShort || type == kelTagEnumInt) ? enumName(d, v) : nullptr;
    return name ? py::object(py::str(name)) : py::object(py::int_(v));
}

py::object element(const kelTagDescription& d, const void* values, int n)
{
    switch (int(d.flags & kelTagTypeMask)) {
    case kelTagShort:
    case kelTagEnumShort:
        return integer(d, static_cast<const short*>(values)[n]);
    case kelTagFloat:
    case kelTagReal:
        return py::float_(static_cast<const float*>(values)[n]);
    case kelTagDouble:
    case kelTagLongDouble:
        return py::float_(static_cast<const double*>(values)[n]);
    case kelTagString: {
        const char* s = static_cast<char* const*>(values)[n];
        return s ? py::object(py::str(s)) : py::object(py::none());
    }
    case kelTagBytes: {
        const kelTagByteBlock* b = static_cast<const kelTagByteBlock*>(values);
        return py::bytes(static_cast<const char*>(b->data), b->data ? size_t(b->size) : 0);
    }
    default:
        return integer(d, static_cast<const int*>(values)[n]);
    }
}

py::object valueOf(const kelTagDescription& d, const kelTag& tag)
{
    int count = tag.getCount();
    if (count == 1)
        return element(d, tag.getValue(), 0);
    py::tuple values(count);
    for (int n = 0; n < count; ++n)
        values[n] = element(d, tag.getValue(), n);
    return std::move(values);
}

kelTagDescription& settable(kelFile& file, const std::string& key)
{
    kelFormat* format = file.getFormat();
    kelTagDescription* d = kelToolFindItem(format, key);
    if (!d)
        throw py::value_error(std::string("items: format ") + format->getName() + " has no item '" + key +
                              "'; its items: " +
                              kelToolSettableItemKeys(format));
    if (kelToolItemIsReadOnly(*d))
        throw py::value_error("items: item '" + key + "' is read-only; settable items: " +
                              kelToolSettableItemKeys(format));
    return *d;
}

} // namespace

py::dict kelPyGetItems(kelFile& file, bool fileWide)
{
    py::dict items;
    int count = 0;
    kelTagDescription* rows = kelToolItemsOf(file, count);
    kelPyMessages messages;
    for (int i = 0; i < count; ++i) {
        kelTagDescription& d = rows[i];
        if (kelToolItemIsFileWide(d) != fileWide)
            continue;
        kelTag tag(&d);
        if (tag.read(&file) == kelOKAY)
            items[py::str(kelToolItemKey(d.name))] = valueOf(d, tag);
    }
    kelPyMessages::take(); // an item the file lacks is no news
    return items;
}

void kelPySetItem(kelFile& file, const std::string& key, const std::string& text)
{
    kelTagDescription& d = settable(file, key);
    kelPyMessages messages;
    kelTag tag(&d);
    if (tag.decode(text.c_str()) != kelOKAY || kelPyMessages::any()) {
        std::string detail = kelPyMessages::take();
        throw py::value_error("items: invalid value '" + text + "' for item '" + key + "'" +
                              (detail.empty() ? "" : " (" + detail + ")"));
    }
    messages.check(tag.write(&file), "setting item '" + key + "'");
}

py::list kelPyItemKeys(kelFormat* format)
{
    py::list keys;
    int count = 0;
    kelTagDescription* rows = kelToolItemsOf(format, count);
    for (int i = 0; i < count; ++i)
        keys.append(py::make_tuple(kelToolItemKey(rows[i].name), kelToolItemIsReadOnly(rows[i]),
                                   kelToolItemIsFileWide(rows[i])));
    return keys;
}
