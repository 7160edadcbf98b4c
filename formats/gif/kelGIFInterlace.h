// Interlaced images store rows 0, 8, 16, ..., then 4, 12, ..., then 2, 6,
// ..., then 1, 3, 5, ...: pass p starts at row kelGIFPassStart[p] and
// steps by kelGIFPassStep[p].
#ifndef KEL_GIFINTERLACE_H
#define KEL_GIFINTERLACE_H

enum { kelGIFPasses = 4 };
constexpr int kelGIFPassStart[kelGIFPasses] = {0, 4, 2, 1};
constexpr int kelGIFPassStep[kelGIFPasses] = {8, 8, 4, 2};

#endif
