// Pixel values.
#include <kel/ckel.h>
#include <kel/kelPixel.h>

#include "ckelNew.h"

kelPixel* kelPixelCreate(kelDataType type, int nc, const void* data)
{
    return ckelNew<kelPixel>(type, nc, data);
}

kelPixel* kelPixelPixCreate(const kelPixel* pix)
{
    return ckelNew<kelPixel>(*pix);
}

// The pixel's destructor frees its value buffer; freeing it here as well
// would free it twice.
void kelPixelDelete(kelPixel* _x)
{
    delete _x;
}

void kelPixelSet(kelPixel* _x, kelDataType type, int nc, const void* data)
{
    _x->set(type, nc, data);
}

void kelPixelConvert(kelPixel* _x, const kelPixel* pix, kelDataType toType, int nc, int* chanList)
{
    _x->convert(*pix, toType, nc, chanList);
}

double kelPixelGetElem(kelPixel* _x, int index)
{
    return _x->getElem(index);
}

void kelPixelSetElem(kelPixel* _x, double val, int index)
{
    _x->setElem(val, index);
}

double kelPixelMin(kelPixel* _x)
{
    return _x->min();
}

double kelPixelMax(kelPixel* _x)
{
    return _x->max();
}

int kelPixelGetNumChans(kelPixel* _x)
{
    return _x->getNumChans();
}

kelDataType kelPixelGetDataType(kelPixel* _x)
{
    return _x->getDataType();
}

void* kelPixelGetData(kelPixel* _x)
{
    return _x->getData();
}
