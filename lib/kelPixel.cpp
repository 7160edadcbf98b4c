#include <kel/kelPixel.h>

#include <kel/kelDataSize.h>

#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "kelElement.h"

// kelDataSize's answer for sizes past its range: more than a pixel can hold
// (no int count of components of any type comes to that many bytes).
static const unsigned int kelTooLarge = UINT_MAX;

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
    if (newSize == kelTooLarge) // as an allocation that fails: the pixel stays as it was
        return;
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
        if (index == INT_MAX)
            return;
        kelDataType tp = dtype ? dtype : kelDouble;
        unsigned int size = kelDataSize(tp, index + 1);
        void* grown = size == kelTooLarge ? nullptr : calloc(size, 1);
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

// The component that `better` prefers to every other one, each read once.
template <class Better>
static double kelPickElem(const kelPixel& p, Better better)
{
    double m = p.getElem(0);
    for (int k = 1; k < p.getNumChans(); k++) {
        double v = p.getElem(k);
        if (better(v, m))
            m = v;
    }
    return m;
}

double kelPixel::min() const
{
    return kelPickElem(*this, [](double a, double b) { return a < b; });
}

double kelPixel::max() const
{
    return kelPickElem(*this, [](double a, double b) { return a > b; });
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
