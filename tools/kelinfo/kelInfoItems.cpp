#include "kelInfoItems.h"

#include <kel/kelTag.h>

static nlohmann::json element(const kelTag& tag, int n)
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

// Enumerated values go by their names where the item names them.
static nlohmann::json value(const kelTag& tag, const kelTagDescription& desc)
{
    bool named = (tag.getType() == kelTagEnumShort || tag.getType() == kelTagEnumInt) && desc.spec;
    char text[256];
    if (named && tag.getCount() == 1 && tag.encode(text, sizeof text) == kelOKAY)
        return text;
    if (tag.getCount() == 1)
        return element(tag, 0);
    nlohmann::json values = nlohmann::json::array();
    for (int n = 0; n < tag.getCount(); ++n)
        values.push_back(element(tag, n));
    return values;
}

nlohmann::json kelInfoItems(kelFile& file, kelToolItemScope scope)
{
    nlohmann::json items = nlohmann::json::object();
    int count = 0;
    kelToolItem* table = kelToolItemsOf(file, count);
    for (int i = 0; i < count; ++i) {
        if (table[i].scope != scope)
            continue;
        kelTag tag(&table[i].desc);
        if (tag.read(&file) == kelOKAY)
            items[table[i].key] = value(tag, table[i].desc);
    }
    return items;
}
