// kel's data types as numpy's. A bit image is read as bool, one byte per
// pixel holding 0 or 1, and bool arrays are written as bits.
#ifndef KEL_PY_DTYPES_H
#define KEL_PY_DTYPES_H

#include <pybind11/numpy.h>

#include <kel/kelTypes.h>

pybind11::dtype kelPyNumpyType(kelDataType type);
// 0 when numpy's type has no kel type.
kelDataType kelPyKelType(const pybind11::dtype& type);
// The type of the caller's buffer for a transfer of `type`: a byte per bit.
kelDataType kelPyBufferType(kelDataType type);

#endif
