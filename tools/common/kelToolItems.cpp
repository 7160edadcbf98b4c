#include "kelToolItems.h"

#include <string.h>

#include <kel/kelFile.h>
#include <kel/kelFormat.h>

// Each format's table lives in a source of its own (kelToolItems<Format>.cpp);
// the list ends with a row without a name.
static const kelToolFormatItems formats[] = {
    {"GIF", kelToolGIFItems, kelToolGIFItemCount},
    {"BMP", kelToolBMPItems, kelToolBMPItemCount},
    {"FIT", kelToolFITItems, kelToolFITItemCount},
    {"XBM", kelToolXBMItems, kelToolXBMItemCount},
    {nullptr, nullptr, 0}
};

kelToolItem* kelToolItemsOf(const kelFile& file, int& count)
{
    const char* name = file.getFormat() ? file.getFormat()->getName() : nullptr;
    for (const kelToolFormatItems* f = formats; name && f->formatName; ++f)
        if (strcmp(name, f->formatName) == 0) {
            count = f->count;
            return f->items;
        }
    count = 0;
    return nullptr;
}
