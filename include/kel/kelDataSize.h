/* Data types: sizes, ranges, signedness and the choice of a type. */
#ifndef KEL_DATASIZE_H
#define KEL_DATASIZE_H

#include <kel/kelExport.h>
#include <kel/kelTypes.h>

/* Masks of data-type sets. */
#define kelSignedTypes 0x1d4
#define kelUnsignedTypes 0x2b
#define kelFloatingTypes 0x180
#define kelAllTypes 0x1ff

#ifdef __cplusplus
extern "C" {
#endif

KEL_API unsigned int kelDataSize(kelDataType type, int count);
KEL_API double kelDataMin(kelDataType type);
KEL_API double kelDataMax(kelDataType type);
KEL_API int kelDataIsSigned(kelDataType type);
KEL_API int kelDataIsIntegral(kelDataType type);
KEL_API kelDataType kelDataTypeFromRange(double minVal, double maxVal, int typeMask);
KEL_API kelDataType kelDataClosestType(kelDataType desired, int allowed, int flags);

#ifdef __cplusplus
}
#endif

#endif
