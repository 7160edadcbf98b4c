// File configurations.
#include <kel/ckel.h>
#include <kel/kelFileConfig.h>

#include "ckelNew.h"

kelFileConfig* kelFileConfigCreate(const kelSize* imagedims, kelDataType datatype, kelOrder dimensionorder,
                                   kelColorModel colormodel, kelOrientation orientation,
                                   kelCompression compression, const kelSize* pagedims)
{
    return ckelNew<kelFileConfig>(imagedims, datatype, dimensionorder, colormodel, orientation, compression,
                                  pagedims);
}

kelFileConfig* kelFileConfigFile(kelFile* file)
{
    return ckelNew<kelFileConfig>(file);
}

void kelFileConfigDelete(kelFileConfig* _x)
{
    delete _x;
}

void kelFileConfigReset(kelFileConfig* _x)
{
    _x->reset();
}

void kelFileConfigSetDimensions(kelFileConfig* _x, const kelSize* imagedims)
{
    _x->setDimensions(*imagedims);
}

void kelFileConfigSetDataType(kelFileConfig* _x, kelDataType datatype)
{
    _x->setDataType(datatype);
}

void kelFileConfigSetOrder(kelFileConfig* _x, kelOrder dimensionorder)
{
    _x->setOrder(dimensionorder);
}

void kelFileConfigSetColorModel(kelFileConfig* _x, kelColorModel colormodel)
{
    _x->setColorModel(colormodel);
}

void kelFileConfigSetOrientation(kelFileConfig* _x, kelOrientation orientation)
{
    _x->setOrientation(orientation);
}

void kelFileConfigSetCompression(kelFileConfig* _x, kelCompression compression)
{
    _x->setCompression(compression);
}

void kelFileConfigSetPageDimensions(kelFileConfig* _x, const kelSize* pagedims)
{
    _x->setPageDimensions(*pagedims);
}

void kelFileConfigGetDimensions(kelFileConfig* _x, kelSize* imagedims)
{
    _x->getDimensions(*imagedims);
}

void kelFileConfigGetPageDimensions(kelFileConfig* _x, kelSize* pagedims)
{
    _x->getPageDimensions(*pagedims);
}

const kelSize* kelFileConfigGetDimensionsPtr(kelFileConfig* _x)
{
    return &_x->getDimensions();
}

const kelSize* kelFileConfigGetPageDimensionsPtr(kelFileConfig* _x)
{
    return &_x->getPageDimensions();
}

void kelFileConfigGetSize(kelFileConfig* _x, kelSize* imagesize)
{
    _x->getSize(*imagesize);
}

void kelFileConfigGetPageSize(kelFileConfig* _x, kelSize* pagesize)
{
    _x->getPageSize(*pagesize);
}

kelDataType kelFileConfigGetDataType(kelFileConfig* _x)
{
    return _x->getDataType();
}

kelOrder kelFileConfigGetOrder(kelFileConfig* _x)
{
    return _x->getOrder();
}

kelColorModel kelFileConfigGetColorModel(kelFileConfig* _x)
{
    return _x->getColorModel();
}

kelOrientation kelFileConfigGetOrientation(kelFileConfig* _x)
{
    return _x->getOrientation();
}

kelCompression kelFileConfigGetCompression(kelFileConfig* _x)
{
    return _x->getCompression();
}

int kelFileConfigAreDimensionsDefaulted(kelFileConfig* _x)
{
    return _x->areDimensionsDefaulted();
}

int kelFileConfigArePageDimensionsDefaulted(kelFileConfig* _x)
{
    return _x->arePageDimensionsDefaulted();
}

int kelFileConfigIsDataTypeDefaulted(kelFileConfig* _x)
{
    return _x->isDataTypeDefaulted();
}

int kelFileConfigIsOrderDefaulted(kelFileConfig* _x)
{
    return _x->isOrderDefaulted();
}

int kelFileConfigIsColorModelDefaulted(kelFileConfig* _x)
{
    return _x->isColorModelDefaulted();
}

int kelFileConfigIsOrientationDefaulted(kelFileConfig* _x)
{
    return _x->isOrientationDefaulted();
}

int kelFileConfigIsCompressionDefaulted(kelFileConfig* _x)
{
    return _x->isCompressionDefaulted();
}
