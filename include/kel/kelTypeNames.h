/* Printable names of the enumerations; static text, never null. */
#ifndef KEL_TYPENAMES_H
#define KEL_TYPENAMES_H

#include <kel/kelTypes.h>

#ifdef __cplusplus
extern "C" {
#endif

const char* kelDataTypeName(kelDataType type);
const char* kelOrientationName(kelOrientation orientation);
const char* kelOrderName(kelOrder order);
const char* kelColorModelName(kelColorModel cm);
const char* kelCompressionName(kelCompression compress);

#ifdef __cplusplus
}
#endif

#endif
