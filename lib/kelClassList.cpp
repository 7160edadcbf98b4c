#include <kel/kelClassList.h>

const char* kelClassList::find(int parentIdx) const
{
    const kelClassList* l = this;
    for (; l && parentIdx > 0; parentIdx--)
        l = l->parent;
    return l && parentIdx == 0 ? l->className : nullptr;
}

int kelClassList::find(const kelClassList* classID) const
{
    int depth = 1;
    for (const kelClassList* l = this; l; l = l->parent, depth++)
        if (l == classID)
            return depth;
    return 0;
}
