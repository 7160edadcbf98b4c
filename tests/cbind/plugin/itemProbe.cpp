// The ItemProbe test format: read-only files whose items exercise every
// kind of item argument.
#include <kel/kelReadOnlyFormat.h>

#include <new>

#include "itemProbeFile.h"

namespace {

class ItemProbeFormat : public kelReadOnlyFormat {
public:
    ItemProbeFormat() : kelReadOnlyFormat("ItemProbe") {}
    kelFile* newfileobj() override { return new (std::nothrow) ItemProbeFile; }
};

ItemProbeFormat theItemProbeFormat;

} // namespace
