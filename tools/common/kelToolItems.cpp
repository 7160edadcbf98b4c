#include "kelToolItems.h"

#include <kel/kelFile.h>
#include <kel/kelFormat.h>

static bool isAlphanumeric(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string kelToolItemKey(const char* name)
{
    std::string key;
    bool gap = false;
    for (const char* p = name ? name : ""; *p; ++p) {
        if (!isAlphanumeric(*p)) {
            gap = true;
            continue;
        }
        if (gap)
            key += '_';
        gap = false;
        key += char(*p >= 'A' && *p <= 'Z' ? *p - 'A' + 'a' : *p);
    }
    return gap ? key + '_' : key;
}

kelTagDescription* kelToolItemsOf(kelFormat* format, int& count)
{
    count = 0;
    kelTagDescription* rows = format ? format->getTagDescriptions(count) : nullptr;
    if (!rows || count < 0)
        count = 0;
    return count ? rows : nullptr;
}

kelTagDescription* kelToolItemsOf(const kelFile& file, int& count)
{
    return kelToolItemsOf(file.getFormat(), count);
}

template <typename Wanted> static kelTagDescription* firstItem(kelFormat* format, Wanted wanted)
{
    int count = 0;
    kelTagDescription* rows = kelToolItemsOf(format, count);
    for (int i = 0; i < count; ++i)
        if (wanted(rows[i]))
            return &rows[i];
    return nullptr;
}

kelTagDescription* kelToolFindItem(kelFormat* format, const std::string& key)
{
    return firstItem(format, [&key](const kelTagDescription& d) { return kelToolItemKey(d.name) == key; });
}

kelTagDescription* kelToolFindRole(kelFormat* format, kelTagRole role)
{
    return firstItem(format, [role](const kelTagDescription& d) { return kelTagRoleOf(d.flags) == role; });
}

std::string kelToolSettableItemKeys(kelFormat* format)
{
    int count = 0;
    kelTagDescription* rows = kelToolItemsOf(format, count);
    std::string keys;
    for (int i = 0; i < count; ++i)
        if (!kelToolItemIsReadOnly(rows[i]))
            keys += (keys.empty() ? "" : ", ") + kelToolItemKey(rows[i].name);
    return keys.empty() ? "none" : keys;
}
