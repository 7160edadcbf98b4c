/* Printable names of the enumerations; static text, never null. */
#ifndef KEL_TYPENAMES_H
#define KEL_TYPENAMES_H

#include <kel/kelExport.h>
#include <kel/kelTypes.h>

#ifdef __cplusplus
extern "C" {
#endif

KEL_API const char* kelDataTypeName(kelDataType type);
KEL_API const char* kelOrientationName(kelOrientation orientation);
KEL_API const char* kelOrderName(kelOrder order);
KEL_API const char* kelColorModelName(kelColorModel cm);
KEL_API const char* kelCompressionName(kelCompression compress);

#ifdef __cplusplus
}
#endif

#endif
