// Lookup tables, and colormaps through their lookup-table part.
#include <kel/ckel.h>
#include <kel/kelLut.h>

#include "ckelNew.h"

kelLut* kelLutCreate(int numChan, kelDataType dtype, double min, double max, int length)
{
    return ckelNew<kelLut>(numChan, dtype, min, max, length);
}

kelLut* kelLutNoAlloc(void* table, int numChan, kelDataType dtype, double min, double max, int length)
{
    return ckelNew<kelLut>(table, numChan, dtype, min, max, length);
}

kelLut* kelLutCopy(const kelLut* other)
{
    return ckelNew<kelLut>(*other);
}

// The destructor is virtual: colormaps go as what they are.
void kelLutDelete(kelLut* _x)
{
    delete _x;
}

int kelLutGetNumChans(kelLut* _x)
{
    return _x->getNumChans();
}

kelDataType kelLutGetDataType(kelLut* _x)
{
    return _x->getDataType();
}

int kelLutGetLength(kelLut* _x)
{
    return _x->getLength();
}

void* kelLutGetData(kelLut* _x)
{
    return _x->getData();
}

void kelLutSetData(kelLut* _x, void* data)
{
    _x->setData(data);
}

void* kelLutGetChan(kelLut* _x, int chan)
{
    return _x->getChan(chan);
}

void* kelLutGetOrigin(kelLut* _x, int chan)
{
    return _x->getOrigin(chan);
}

void kelLutGetDomain(kelLut* _x, double* min, double* max)
{
    _x->getDomain(*min, *max);
}

double kelLutGetDomainMin(kelLut* _x)
{
    return _x->getDomainMin();
}

double kelLutGetDomainMax(kelLut* _x)
{
    return _x->getDomainMax();
}

double kelLutGetDomainStep(kelLut* _x)
{
    return _x->getDomainStep();
}

kelStatus kelLutSetDomain(kelLut* _x, double min, double max)
{
    return _x->setDomain(min, max);
}

void kelLutGetRange(kelLut* _x, double* min, double* max)
{
    _x->getRange(*min, *max);
}

double kelLutGetVal(kelLut* _x, double domainIdx, int chan)
{
    return _x->getVal(domainIdx, chan);
}

kelStatus kelLutSetVal(kelLut* _x, double val, double domainIdx, int chan)
{
    return _x->setVal(val, domainIdx, chan);
}

int kelLutIsDiff(kelLut* _x, const kelLut* from)
{
    return _x->isDiff(*from);
}
