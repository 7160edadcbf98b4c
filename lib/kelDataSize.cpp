#include <kel/kelDataSize.h>

#include <limits.h>
#include <math.h>

// Bytes per component, in eighths of a byte (a bit takes one eighth).
static unsigned long long eighthsPerComponent(kelDataType type)
{
    switch (type) {
    case kelBit:
        return 1;
    case kelUChar:
    case kelChar:
        return 8;
    case kelUShort:
    case kelShort:
        return 16;
    case kelUInt:
    case kelInt:
    case kelFloat:
        return 32;
    case kelDouble:
        return 64;
    default:
        return 0;
    }
}

// A negative count occupies nothing; a size beyond the result's range is
// reported as the largest value, so that a caller's allocation fails instead
// of coming out too small.
extern "C" unsigned int kelDataSize(kelDataType type, int count)
{
    if (count <= 0)
        return 0;
    unsigned long long bytes = (eighthsPerComponent(type) * unsigned(count) + 7) / 8;
    return bytes > UINT_MAX ? UINT_MAX : unsigned(bytes);
}

extern "C" double kelDataMin(kelDataType type)
{
    switch (type) {
    case kelChar:
        return -128.0;
    case kelShort:
        return -32768.0;
    case kelInt:
        return -2147483648.0;
    case kelFloat:
        return -3.4028234663852886e38;
    case kelDouble:
        return -1.7976931348623157e308;
    default: // the unsigned types, and 0 for a value that is no type
        return 0.0;
    }
}

extern "C" double kelDataMax(kelDataType type)
{
    switch (type) {
    case kelBit:
        return 1.0;
    case kelUChar:
        return 255.0;
    case kelChar:
        return 127.0;
    case kelUShort:
        return 65535.0;
    case kelShort:
        return 32767.0;
    case kelUInt:
        return 4294967295.0;
    case kelInt:
        return 2147483647.0;
    case kelFloat:
        return 3.4028234663852886e38;
    case kelDouble:
        return 1.7976931348623157e308;
    default:
        return 0.0;
    }
}

extern "C" int kelDataIsSigned(kelDataType type)
{
    return type & kelSignedTypes;
}

extern "C" int kelDataIsIntegral(kelDataType type)
{
    return type & ~kelFloatingTypes;
}

extern "C" kelDataType kelDataTypeFromRange(double minVal, double maxVal, int typeMask)
{
    static const kelDataType order[] = {kelBit, kelUChar, kelChar, kelUShort, kelShort,
                                        kelUInt, kelInt, kelFloat, kelDouble};
    double lo = trunc(minVal), hi = trunc(maxVal);
    for (kelDataType t : order) {
        if (!(typeMask & t))
            continue;
        if (t == kelDouble || (lo >= kelDataMin(t) && hi <= kelDataMax(t)))
            return t;
    }
    return kelDataType(0);
}

// The types that can hold every value of `desired`.
static int holdingSet(kelDataType desired)
{
    switch (desired) {
    case kelBit:
        return kelAllTypes;
    case kelUChar:
        return kelUChar | kelUShort | kelShort | kelUInt | kelInt | kelFloat | kelDouble;
    case kelChar:
        return kelChar | kelShort | kelInt | kelFloat | kelDouble;
    case kelUShort:
        return kelUShort | kelUInt | kelInt | kelFloat | kelDouble;
    case kelShort:
        return kelShort | kelInt | kelFloat | kelDouble;
    case kelUInt:
        return kelUInt | kelFloat | kelDouble;
    case kelInt:
        return kelInt | kelFloat | kelDouble;
    case kelFloat:
        return kelFloat | kelDouble;
    default:
        return kelDouble;
    }
}

// Non-zero when `t` is one data type (a single bit) and a member of `set`.
static int isMember(int t, int set)
{
    return t > 0 && (t & (t - 1)) == 0 && (t & set) != 0;
}

extern "C" kelDataType kelDataClosestType(kelDataType desired, int allowed, int flags)
{
    int signSet;
    if (flags & kelDataAnySign)
        signSet = kelAllTypes;
    else if ((flags & kelDataWantSigned) || kelDataIsSigned(desired))
        signSet = kelSignedTypes;
    else
        signSet = kelUnsignedTypes;
    int candidates = allowed & holdingSet(desired) & signSet;

    int t = desired;
    if (candidates && !(flags & kelDataDemote))
        while (t > 0 && !isMember(t, candidates) && t <= kelDouble)
            t <<= 1;
    if (isMember(t, candidates))
        return kelDataType(t);

    int pool = (allowed & signSet) ? (allowed & signSet) : allowed;
    while (t > 0 && !isMember(t, pool))
        t >>= 1;
    return kelDataType(t > 0 ? t : 0);
}
