// FIT stores every number big-endian: header fields, and each sample of a
// page (2-, 4- and 8-byte samples reversed on a little-endian machine,
// single bytes as they are).
#ifndef KEL_FITBYTEORDER_H
#define KEL_FITBYTEORDER_H

#include <stddef.h>
#include <stdint.h>

// Turns the samples of `bytes` bytes of data, each `sampleBytes` long,
// between big-endian and the machine's order in place.
void kelFITSwapSamples(void* data, size_t bytes, unsigned sampleBytes);

// The same, from `src` into `dst` (which must not overlap); single bytes, and
// every sample on a big-endian machine, are copied as they are.
void kelFITCopySwapped(void* dst, const void* src, size_t bytes, unsigned sampleBytes);

uint32_t kelFITGet32(const unsigned char* p);
void kelFITPut32(unsigned char* p, uint32_t v);
double kelFITGetDouble(const unsigned char* p);
void kelFITPutDouble(unsigned char* p, double v);

#endif
