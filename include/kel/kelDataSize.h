/* Data types: sizes, ranges, signedness and the choice of a type. */
#ifndef KEL_DATASIZE_H
#define KEL_DATASIZE_H

#include <kel/kelTypes.h>

/* Masks of data-type sets. */
#define kelSignedTypes 0x1d4
#define kelUnsignedTypes 0x2b
#define kelFloatingTypes 0x180
#define kelAllTypes 0x1ff

#ifdef __cplusplus
extern "C" {
#endif

unsigned int kelDataSize(kelDataType type, int count);
double kelDataMin(kelDataType type);
double kelDataMax(kelDataType type);
int kelDataIsSigned(kelDataType type);
int kelDataIsIntegral(kelDataType type);
kelDataType kelDataTypeFromRange(double minVal, double maxVal, int typeMask);
kelDataType kelDataClosestType(kelDataType desired, int allowed, int flags);

#ifdef __cplusplus
}
#endif

#endif
