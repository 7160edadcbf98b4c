// Element access and the one conversion rule between data types, shared by
// pixel values and the conversion iterator. No clamping, no scaling, no
// rounding to nearest integer.
#ifndef KEL_ELEMENT_H
#define KEL_ELEMENT_H

#include <cstdint>
#include <type_traits>

#include <kel/kelTypes.h>

// Packed bit elements: element b is bit 7 - b % 8 of byte b / 8.
struct kelBitElem {
};

template <class T>
struct kelElemValue {
    using type = T;
};
template <>
struct kelElemValue<kelBitElem> {
    using type = uint8_t;
};
template <class T>
using kelElemValueT = typename kelElemValue<T>::type;

template <class T>
inline kelElemValueT<T> kelLoadElem(const void* p, long i)
{
    if constexpr (std::is_same_v<T, kelBitElem>)
        return uint8_t((static_cast<const uint8_t*>(p)[i >> 3] >> (7 - (i & 7))) & 1);
    else
        return static_cast<const T*>(p)[i];
}

template <class T>
inline void kelStoreElem(void* p, long i, kelElemValueT<T> v)
{
    if constexpr (std::is_same_v<T, kelBitElem>) {
        uint8_t& byte = static_cast<uint8_t*>(p)[i >> 3];
        uint8_t bit = uint8_t(0x80u >> (i & 7));
        byte = v ? uint8_t(byte | bit) : uint8_t(byte & ~bit);
    } else {
        static_cast<T*>(p)[i] = v;
    }
}

// Truncation toward zero to 64 bits. NaN and values outside the 64-bit range
// give INT64_MIN, the x86 conversion result, whose low 32 bits are all zero.
template <class F>
inline int64_t kelTruncInt64(F v)
{
    constexpr F lim = F(9223372036854775808.0);
    return (v >= -lim && v < lim) ? static_cast<int64_t>(v) : INT64_MIN;
}

// Converts a source value (a bit reads as the integer 0 or 1) to the
// destination element type D.
template <class D, class S>
inline kelElemValueT<D> kelConvertElem(S v)
{
    if constexpr (std::is_same_v<D, kelBitElem>) {
        if constexpr (std::is_floating_point_v<S>)
            return uint32_t(kelTruncInt64(v)) != 0;
        else
            return v != 0;
    } else if constexpr (std::is_floating_point_v<D> || !std::is_floating_point_v<S>) {
        // Integer to integer is reduced modulo 2^w (sign- or zero-extended).
        return static_cast<D>(v);
    } else {
        return static_cast<D>(static_cast<uint64_t>(kelTruncInt64(v)));
    }
}

template <class T>
struct kelTypeTag {
    using type = T;
};

// Calls f with the tag of the element type of t; false for no data type.
template <class F>
inline bool kelWithType(kelDataType t, F&& f)
{
    switch (t) {
    case kelBit:
        f(kelTypeTag<kelBitElem>());
        return true;
    case kelUChar:
        f(kelTypeTag<uint8_t>());
        return true;
    case kelChar:
        f(kelTypeTag<int8_t>());
        return true;
    case kelUShort:
        f(kelTypeTag<uint16_t>());
        return true;
    case kelShort:
        f(kelTypeTag<int16_t>());
        return true;
    case kelUInt:
        f(kelTypeTag<uint32_t>());
        return true;
    case kelInt:
        f(kelTypeTag<int32_t>());
        return true;
    case kelFloat:
        f(kelTypeTag<float>());
        return true;
    case kelDouble:
        f(kelTypeTag<double>());
        return true;
    default:
        return false;
    }
}

#endif
