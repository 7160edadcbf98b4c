#include <kel/kelFile.h>
#include <kel/kelFileConfig.h>
#include <kel/kelOrientation.h>

kelFileConfig::kelFileConfig(const kelSize* imagedims, kelDataType datatype, kelOrder dimensionorder,
                             kelColorModel colormodel, kelOrientation orientation, kelCompression compression,
                             const kelSize* pagedims)
    : imageDims(imagedims ? *imagedims : kelSize()), dtype(datatype), order(dimensionorder), cm(colormodel),
      orient(orientation), compress(compression), pageDims(pagedims ? *pagedims : kelSize()), specified(0)
{
}

kelFileConfig::kelFileConfig(kelFile* file) : specified(0)
{
    if (!file) {
        reset();
        return;
    }
    file->getDimensions(imageDims);
    file->getPageDimensions(pageDims);
    dtype = file->getDataType();
    order = file->getOrder();
    cm = file->getColorModel();
    orient = file->getOrientation();
    compress = file->getCompression();
}

void kelFileConfig::reset()
{
    imageDims = kelSize();
    pageDims = kelSize();
    dtype = kelDataType(0);
    order = kelOrder(0);
    cm = kelColorModel(0);
    orient = kelOrientation(0);
    compress = kelCompression(0);
}

void kelFileConfig::getSize(kelSize& s) const
{
    s = imageDims;
    kelMapSize(kelLowerLeftOrigin, s, orient);
}

void kelFileConfig::getPageSize(kelSize& s) const
{
    s = pageDims;
    kelMapSize(kelLowerLeftOrigin, s, orient);
}
