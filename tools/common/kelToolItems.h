// The items (tags) of each format that the tools show and carry along.
// A format's plug-in exposes its items through getItem/setItem under the
// enumerators of its public header; the tools describe each item once, with
// the value type and count that kelTag reads and writes it through.
#ifndef KEL_TOOL_ITEMS_H
#define KEL_TOOL_ITEMS_H

#include <kel/kelTag.h>

class kelFile;

enum kelToolItemScope {
    kelToolItemFile,  // one value for the whole file (a logical screen, a loop count)
    kelToolItemImage  // one value per image
};

struct kelToolItem {
    // The item's name in kelinfo's output (JSON key; blanks for underscores
    // in the table).
    const char* key;
    // Tag number, value type and count (kelTagDescription flags); `name` is
    // the item's name in messages.
    kelTagDescription desc;
    kelToolItemScope scope;
    // kelcp sets it on a destination of the same format.
    bool carried;
    // What kelcp sets when a source image lacks the item (text for
    // kelTag::decode), so that it does not keep the image before's value;
    // null: nothing is set.
    const char* absentValue = nullptr;
};

// One format's items.
struct kelToolFormatItems {
    const char* formatName;
    kelToolItem* items;
    int count;
};

// The items the tools know for the file's format; count 0 (and null) when
// they know none.
kelToolItem* kelToolItemsOf(const kelFile& file, int& count);

// Each format's table, in kelToolItems<Format>.cpp.
extern kelToolItem kelToolGIFItems[];
extern const int kelToolGIFItemCount;
extern kelToolItem kelToolBMPItems[];
extern const int kelToolBMPItemCount;
extern kelToolItem kelToolXBMItems[];
extern const int kelToolXBMItemCount;
extern kelToolItem kelToolFITItems[];
extern const int kelToolFITItemCount;

// Copies the user area of a FIT source, free bytes that no item value
// holds, into a FIT destination that has no pages yet; other sources have
// nothing to copy.
kelStatus kelToolCarryFITUserArea(kelFile& src, kelFile& dst);

#endif
