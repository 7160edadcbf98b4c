#include "kelFrameItems.h"

#include <kel/kelFile.h>
#include <kel/kelFormat.h>
#include <kel/kelTag.h>

static kelTagDescription* describedRole(kelFile& file, kelTagRole role)
{
    int count = 0;
    kelTagDescription* rows = file.getFormat() ? file.getFormat()->getTagDescriptions(count) : nullptr;
    for (int i = 0; rows && i < count; ++i)
        if (kelTagRoleOf(rows[i].flags) == role)
            return &rows[i];
    return nullptr;
}

bool kelReadRole(kelFile& file, kelTagRole role, int* values, int count)
{
    kelTagDescription* desc = describedRole(file, role);
    if (!desc)
        return false;
    kelTag tag(desc);
    if (!tag.getValue() || tag.getCount() < count || tag.read(&file) != kelOKAY)
        return false;
    const int type = tag.getType();
    for (int i = 0; i < count; ++i) {
        if (type == kelTagShort || type == kelTagEnumShort)
            values[i] = static_cast<const short*>(tag.getValue())[i];
        else if (type == kelTagInt || type == kelTagLong || type == kelTagEnumInt || type == kelTagBoolean)
            values[i] = static_cast<const int*>(tag.getValue())[i];
        else
            return false;
    }
    return true;
}
