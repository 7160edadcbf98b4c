#include "kelInfoItems.h"

#include <string.h>

#include <vector>

#include <kel/kelTag.h>

#include "kelToolItems.h"

namespace {

// The text kelTag gives, whatever its length; null when it has none.
nlohmann::json encoded(const kelTag& tag)
{
    std::vector<char> text(256);
    kelStatus sts;
    while ((sts = tag.encode(text.data(), text.size())) == kelBADPARAMS && strlen(text.data()) + 1 == text.size())
        text.resize(text.size() * 2);
    return sts == kelOKAY ? nlohmann::json(text.data()) : nlohmann::json(nullptr);
}

nlohmann::json element(const kelTag& tag, int n)
{
    const void* v = tag.getValue();
    switch (tag.getType()) {
    case kelTagShort:
    case kelTagEnumShort:
        return static_cast<const short*>(v)[n];
    case kelTagInt:
    case kelTagLong:
    case kelTagEnumInt:
        return static_cast<const int*>(v)[n];
    case kelTagBoolean:
        return static_cast<const int*>(v)[n] != 0;
    case kelTagFloat:
    case kelTagReal:
        return static_cast<const float*>(v)[n];
    case kelTagString: {
        const char* s = static_cast<const char* const*>(v)[n];
        return s ? nlohmann::json(s) : nlohmann::json(nullptr);
    }
    default:
        return static_cast<const double*>(v)[n];
    }
}

// Enumerated values go by their names where the item names them (a value
// without a name by its number), blocks of bytes by their text.
nlohmann::json value(const kelTag& tag, const kelTagDescription& desc)
{
    bool named = (tag.getType() == kelTagEnumShort || tag.getType() == kelTagEnumInt) && desc.spec;
    if (tag.getType() == kelTagBytes)
        return encoded(tag);
    nlohmann::json name = named && tag.getCount() == 1 ? encoded(tag) : nlohmann::json(nullptr);
    if (!name.is_null())
        return name;
    if (tag.getCount() == 1)
        return element(tag, 0);
    nlohmann::json values = nlohmann::json::array();
    for (int n = 0; n < tag.getCount(); ++n)
        values.push_back(element(tag, n));
    return values;
}

} // namespace

nlohmann::json kelInfoItems(kelFile& file, bool fileWide)
{
    nlohmann::json items = nlohmann::json::object();
    int count = 0;
    kelTagDescription* rows = kelToolItemsOf(file, count);
    for (int i = 0; i < count; ++i) {
        if (kelToolItemIsFileWide(rows[i]) != fileWide)
            continue;
        kelTag tag(&rows[i]);
        if (tag.getValue() && tag.read(&file) == kelOKAY)
            items[kelToolItemKey(rows[i].name)] = value(tag, rows[i]);
    }
    return items;
}
