// The items (tags) of a file's format as the tools show and carry them: the
// format's own tag descriptions, each known by a key made from its name, so
// that a new plug-in's items reach the tools without a change here.
#ifndef KEL_TOOL_ITEMS_H
#define KEL_TOOL_ITEMS_H

#include <string>

#include <kel/kelTagDescription.h>

class kelFile;
class kelFormat;

// The key of an item: its description's name lowercased, every run of
// characters other than ASCII letters and digits turned into one '_'
// ("Delay time" is "delay_time"). kelinfo's JSON keys, kelcp's --item names.
std::string kelToolItemKey(const char* name);

// The format's descriptions; null and count 0 when it has none.
kelTagDescription* kelToolItemsOf(kelFormat* format, int& count);
kelTagDescription* kelToolItemsOf(const kelFile& file, int& count);

inline bool kelToolItemIsFileWide(const kelTagDescription& d)
{
    return (d.flags & kelTagFileWide) != 0;
}

inline bool kelToolItemIsReadOnly(const kelTagDescription& d)
{
    return (d.flags & kelTagReadOnly) != 0;
}

// The description of the format whose key is `key`, or null.
kelTagDescription* kelToolFindItem(kelFormat* format, const std::string& key);

// The first description of the format with the role, or null.
kelTagDescription* kelToolFindRole(kelFormat* format, kelTagRole role);

// "a, b, c": the keys of the items that can be set ("none" when there are none).
std::string kelToolSettableItemKeys(kelFormat* format);

#endif
