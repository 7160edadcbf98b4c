#include <kel/kelLut.h>

#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <kel/kelDataSize.h>

#include "kelNearestFloat.h"
#include "kelORNTable.h"

namespace {

const double intLimit = 2147483647.0;

// Bytes of `components` entries of type t; 0 when the count does not fit
// in memory at all (no allocation could ever hold it).
size_t bytesFor(kelDataType t, unsigned long long components)
{
    unsigned long long bytes;
    if (t == kelBit)
        bytes = components / 8 + (components % 8 != 0);
    else if (__builtin_mul_overflow(components, (unsigned long long)kelDataSize(t, 1), &bytes))
        return 0;
    return bytes > (unsigned long long)PTRDIFF_MAX ? 0 : (size_t)bytes;
}

// Integer entries: rounded half away from zero, then the low `bits` bits.
uint64_t wrapInt(double val, int bits)
{
    double r = round(val);
    if (!isfinite(r))
        return 0;
    double m = ldexp(1.0, bits);
    r = fmod(r, m);
    if (r < 0)
        r += m;
    return (uint64_t)r;
}

template <typename T> double load(const void* base, long long element)
{
    T v;
    memcpy(&v, (const char*)base + element * (long long)sizeof(T), sizeof(T));
    return (double)v;
}

template <typename T> void store(void* base, long long element, T v)
{
    memcpy((char*)base + element * (long long)sizeof(T), &v, sizeof(T));
}

} // namespace

kelLut::kelLut(void* table, int tabChannels, kelDataType tabType, double min, double max, int length)
{
    init(table, tabChannels, tabType, min, max, length);
}

kelLut::kelLut(int tabChannels, kelDataType tabType, double min, double max, int length)
{
    init(nullptr, tabChannels, tabType, min, max, length);
}

kelLut::kelLut()
{
    init(nullptr, 0, kelDataType(0), 0.0, 0.0, 0);
}

kelLut::kelLut(const kelLut& from)
{
    copyFrom(from);
}

kelLut::~kelLut()
{
    free(allocFlg);
}

void kelLut::init(void* table, int tabChannels, kelDataType tabType, double min, double max, int length)
{
    void* owned = allocFlg;
    if (length < 1) {
        min = clampToInt(min);
        max = clampToInt(max);
        double len = floor(max) - floor(min) + 1;
        if (!(len >= 0 && len <= intLimit)) {
            len = 0;
            min = max = 0;
        }
        length = (int)len;
    }
    setup(table, tabChannels, tabType, min, max, length);
    if (owned && owned == table)
        allocFlg = owned;
    else
        free(owned);
}

// init without deriving the length: copies keep an empty table empty.
void kelLut::setup(void* table, int tabChannels, kelDataType tabType, double min, double max, int length)
{
    setNumChans(tabChannels);
    setType(tabType);
    tabLength = length;
    setDomain(min, max);
    allocFlg = nullptr;
    data = table;
    if (table || tabLength == 0)
        return;
    unsigned long long components = (unsigned long long)tabLength * (unsigned long long)numChannels;
    size_t bytes = bytesFor(type, components);
    if (bytes == 0 && components != 0 && tabWidth != 0) {
        tabLength = 0;
        setDomain(0, 0);
        return;
    }
    if (bytes == 0)
        return;
    data = allocFlg = malloc(bytes);
    if (!data) {
        tabLength = 0;
        setDomain(0, 0);
    }
}

void kelLut::setType(kelDataType t)
{
    type = t;
    tabWidth = kelDataSize(t, 1);
}

// A negative channel count means no channels.
void kelLut::setNumChans(int n)
{
    numChannels = n < 0 ? 0 : n;
}

double kelLut::clampToInt(double v)
{
    return v < -intLimit ? -intLimit : v > intLimit ? intLimit : v;
}

size_t kelLut::byteSize() const
{
    return bytesFor(type, (unsigned long long)tabLength * (unsigned long long)numChannels);
}

void kelLut::getDomain(double& min, double& max) const
{
    min = domainMin;
    max = domainMax;
}

kelStatus kelLut::setDomain(double min, double max)
{
    domainMin = min;
    domainMax = max;
    scale = (min == max || tabLength == 1) ? 1.0 : (tabLength - 1) / (max - min);
    bias = 0.5 - min * scale;
    return kelOKAY;
}

int kelLut::hasEntries() const
{
    return data && tabLength > 0 && numChannels > 0 && tabWidth > 0;
}

// Kept as a double: a domain value far outside the table has no int index.
double kelLut::entryIndex(double domainIdx) const
{
    return trunc(domainIdx * scale + bias);
}

double kelLut::readEntry(long long element) const
{
    if (!data)
        return 0.0;
    switch (type) {
    case kelBit:
        return (((const unsigned char*)data)[element / 8] >> (7 - element % 8)) & 1;
    case kelUChar:
        return load<uint8_t>(data, element);
    case kelChar:
        return load<int8_t>(data, element);
    case kelUShort:
        return load<uint16_t>(data, element);
    case kelShort:
        return load<int16_t>(data, element);
    case kelUInt:
        return load<uint32_t>(data, element);
    case kelInt:
        return load<int32_t>(data, element);
    case kelFloat:
        return load<float>(data, element);
    case kelDouble:
        return load<double>(data, element);
    default:
        return 0.0;
    }
}

void kelLut::writeEntry(long long element, double val)
{
    switch (type) {
    case kelBit: {
        unsigned char* byte = (unsigned char*)data + element / 8;
        unsigned char mask = (unsigned char)(0x80 >> (element % 8));
        *byte = (unsigned char)(val != 0 ? *byte | mask : *byte & ~mask);
        break;
    }
    case kelUChar:
    case kelChar:
        store<uint8_t>(data, element, (uint8_t)wrapInt(val, 8));
        break;
    case kelUShort:
    case kelShort:
        store<uint16_t>(data, element, (uint16_t)wrapInt(val, 16));
        break;
    case kelUInt:
    case kelInt:
        store<uint32_t>(data, element, (uint32_t)wrapInt(val, 32));
        break;
    case kelFloat:
        store<float>(data, element, kelNearestFloat(val));
        break;
    default:
        store<double>(data, element, val);
        break;
    }
}

double kelLut::getVal(double domainIdx, int chan) const
{
    if (chan < 0 || chan >= numChannels || !hasEntries())
        return 0.0;
    double idx = entryIndex(domainIdx);
    if (!(idx > 0))
        idx = 0;
    else if (idx > tabLength - 1)
        idx = tabLength - 1;
    return readEntry((long long)chan * tabLength + (long long)idx);
}

kelStatus kelLut::setVal(double val, double domainIdx, int chan)
{
    double idx = entryIndex(domainIdx);
    if (!(idx >= 0 && idx < tabLength) || chan < 0 || chan >= numChannels || !hasEntries())
        return kelBADPARAMS;
    if (!allocFlg && _kelORNIsSharedTable(data)) {
        makePrivate();
        if (!data)
            return kelMALLOCFAILED;
    }
    writeEntry((long long)chan * tabLength + (long long)idx, val);
    return kelOKAY;
}

// Copy on write: the table takes its own copy of storage it must not change.
void kelLut::makePrivate()
{
    size_t bytes = byteSize();
    void* copy = malloc(bytes);
    if (copy)
        memcpy(copy, data, bytes);
    data = allocFlg = copy;
}

// An address as an integer: the origin may lie outside the table.
void* kelLut::entryAddress(double element) const
{
    double offset = type == kelBit ? floor(element / 8) : element * tabWidth;
    if (!(fabs(offset) <= 0x1p62))
        return nullptr;
    return (void*)((uintptr_t)data + (uintptr_t)(intptr_t)offset);
}

void* kelLut::getChan(int chan) const
{
    if (chan < 0 || chan >= numChannels || !data)
        return nullptr;
    return entryAddress((double)chan * tabLength);
}

void* kelLut::getOrigin(int chan) const
{
    if (chan < 0 || chan >= numChannels || !data)
        return nullptr;
    return entryAddress((double)chan * tabLength + floor(bias));
}

void kelLut::getRange(double& min, double& max) const
{
    min = kelDataMax(type);
    max = kelDataMin(type);
    if (!hasEntries())
        return;
    long long count = (long long)numChannels * tabLength;
    for (long long e = 0; e < count; e++) {
        double v = readEntry(e);
        if (v < min)
            min = v;
        if (v > max)
            max = v;
    }
}

void kelLut::freeStorage()
{
    free(allocFlg);
    allocFlg = nullptr;
    data = nullptr;
}

void kelLut::setData(void* dataPnt)
{
    freeStorage();
    data = dataPnt;
}

// A source without data copies as zero entries, which it also reads as.
void kelLut::copyFrom(const kelLut& from)
{
    setup(nullptr, from.numChannels, from.type, from.domainMin, from.domainMax, from.tabLength);
    if (!data)
        return;
    if (from.data)
        memcpy(data, from.data, byteSize());
    else
        memset(data, 0, byteSize());
}

kelLut& kelLut::operator=(const kelLut& from)
{
    if (this != &from) {
        freeStorage();
        copyFrom(from);
    }
    return *this;
}

int kelLut::isDiff(const kelLut& from) const
{
    if (numChannels != from.numChannels || tabLength != from.tabLength)
        return 1;
    long long count = (long long)numChannels * tabLength;
    for (long long e = 0; e < count; e++) {
        double a = readEntry(e), b = from.readEntry(e);
        if (a != b && !(isnan(a) && isnan(b)))
            return 1;
    }
    return 0;
}
