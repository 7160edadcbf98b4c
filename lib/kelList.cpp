#include <kel/kelList.h>

#include <stdlib.h>
#include <string.h>

kelSuffixItem::kelSuffixItem(const char* s) : suffix(s ? strdup(s) : nullptr) {}

kelSuffixItem::~kelSuffixItem()
{
    free(suffix);
}
