#include <kel/kelPixel.h>

#include <kel/kelDataSize.h>

#include <stdlib.h>
#include <string.h>

#include "kelElement.h"

void kelPixel::init()
{
    dtype = kelDataType(0);
    nchans = 0;
    data = nullptr;
}

kelPixel::kelPixel(kelDataType tp, int c, const void* d)
{
    init();
    set(tp, c, d);
}

kelPixel::kelPixel(const kelPixel& p)
{
    init();
    set(p.dtype, p.nchans, p.data);
}

kelPixel::~kelPixel()
{
    free(data);
}

unsigned int kelPixel::byteSize() const
{
    return data ? kelDataSize(dtype, nchans) : 0;
}

void kelPixel::set(kelDataType tp, int nc, const void* dat)
{
    unsigned int newSize = nc > 0 ? kelDataSize(tp, nc) : 0;
    if (newSize == 0) {
        // No type, no components or no data type at all: nothing to store.
        free(data);
        data = nullptr;
        dtype = tp;
        nchans = tp && nc > 0 ? nc : 0;
        return;
    }
    void* store = data;
    if (!store || newSize > byteSize()) {
        store = calloc(newSize, 1);
        if (!store)
            return;
    }
    // dat may point into the current storage (a pixel assigned to itself).
    if (dat)
        memmove(store, dat, newSize);
    if (store != data)
        free(data);
    data = store;
    dtype = tp;
    nchans = nc;
}

kelPixel& kelPixel::operator=(const kelPixel& p)
{
    set(p.dtype, p.nchans, p.data);
    return *this;
}

void kelPixel::convert(const kelPixel& pix, kelDataType toType, int nc, int* chans)
{
    kelPixel copy;
    const kelPixel* from = &pix;
    if (from == this) {
        copy = pix;
        from = &copy;
    }
    set(toType, nc ? nc : from->nchans, nullptr);
    if (data)
        memset(data, 0, kelDataSize(dtype, nchans)); // defined padding bits for comparison
    for (int k = 0; k < nchans; k++)
        setElem(from->getElem(chans ? chans[k] : k), k);
}

double kelPixel::getElem(int index) const
{
    double v = 0.0;
    if (!data || nchans < 1)
        return v;
    long i = index < 0 ? 0 : index >= nchans ? nchans - 1 : index;
    kelWithType(dtype, [&](auto tag) {
        using T = typename decltype(tag)::type;
        v = kelConvertElem<double>(kelLoadElem<T>(data, i));
    });
    return v;
}

void kelPixel::setElem(double eval, int index)
{
    if (index < 0 || (dtype && kelDataSize(dtype, 1) == 0))
        return;
    if (index >= nchans) {
        if (index == 0x7fffffff)
            return;
        kelDataType tp = dtype ? dtype : kelDouble;
        void* grown = calloc(kelDataSize(tp, index + 1), 1);
        if (!grown)
            return;
        if (data)
            memcpy(grown, data, kelDataSize(dtype, nchans));
        free(data);
        data = grown;
        dtype = tp;
        nchans = index + 1;
    }
    kelWithType(dtype, [&](auto tag) {
        using T = typename decltype(tag)::type;
        kelStoreElem<T>(data, index, kelConvertElem<T>(eval));
    });
}

double kelPixel::min() const
{
    double m = getElem(0);
    for (int k = 1; k < nchans; k++)
        if (getElem(k) < m)
            m = getElem(k);
    return m;
}

double kelPixel::max() const
{
    double m = getElem(0);
    for (int k = 1; k < nchans; k++)
        if (getElem(k) > m)
            m = getElem(k);
    return m;
}

int kelPixel::operator==(const kelPixel& p) const
{
    if (dtype != p.dtype || nchans != p.nchans)
        return 0;
    unsigned int n = byteSize();
    if (n != p.byteSize())
        return 0;
    return n == 0 || memcmp(data, p.data, n) == 0;
}
