#include <kel/kelDataSize.h>

#include <math.h>

extern "C" unsigned int kelDataSize(kelDataType type, int count)
{
    switch (type) {
    case kelBit:
        return unsigned((count + 7) / 8);
    case kelUChar:
    case kelChar:
        return unsigned(count);
    case kelUShort:
    case kelShort:
        return 2u * unsigned(count);
    case kelUInt:
    case kelInt:
    case kelFloat:
        return 4u * unsigned(count);
    case kelDouble:
        return 8u * unsigned(count);
    default:
        return 0;
    }
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
        while (t > 0 && !(t & candidates) && t <= kelDouble)
            t <<= 1;
    if (t & candidates)
        return kelDataType(t);

    int pool = (allowed & signSet) ? (allowed & signSet) : allowed;
    while (!(t & pool) && t > 0)
        t >>= 1;
    return kelDataType(t);
}
