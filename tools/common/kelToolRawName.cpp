#include "kelToolRawName.h"

#include <string.h>

#include <kel/kelFile.h>

#include "kelToolNames.h"
#include "kelToolOptions.h"

// The Raw format knows orientations by two letters only.
static const char* rawOrientation(kelOrientation o)
{
    for (const kelToolName* row = kelToolOrientations; row->name; ++row)
        if (row->value == o && strlen(row->name) == 2)
            return row->name;
    return "tl";
}

static const char* rawColorModel(kelColorModel cm)
{
    return cm == kelLuminanceAlpha ? "la" : kelToolNameOf(kelToolColorModels, cm);
}

// The color model comes first: when a file is created it also resets the
// channel counts, which the size and page size given after it then override.
std::string kelToolRawArguments(const kelToolRawLayout& l)
{
    std::string args = std::string("colormodel=") + rawColorModel(l.cm);
    args += "%size=" + kelToolSizeText(l.size, ',');
    if (int(l.pageSize) != 0)
        args += "%pagesize=" + kelToolSizeText(l.pageSize, ',');
    args += std::string("%type=") + kelToolNameOf(kelToolDataTypes, l.dtype);
    args += std::string("%order=") + kelToolNameOf(kelToolOrders, l.order);
    args += std::string("%orientation=") + rawOrientation(l.orientation);
    return args;
}

std::string kelToolRawArguments(const kelFile& file)
{
    kelToolRawLayout layout;
    file.getDimensions(layout.size);
    file.getPageDimensions(layout.pageSize);
    layout.dtype = file.getDataType();
    layout.order = file.getOrder();
    layout.orientation = file.getOrientation();
    layout.cm = file.getColorModel();
    return kelToolRawArguments(layout);
}
