// Non-temporal stores for destinations much larger than the caches: their
// lines are written without being read first, and without displacing what
// the caches hold. Results are the same as with ordinary stores.
#ifndef KEL_STREAMING_H
#define KEL_STREAMING_H

#include <cstddef>

// Whether a destination block of this many bytes is written with
// non-temporal stores.
bool kelStreamsInto(size_t blockBytes);

// Bytes of the shortest run worth streaming.
const size_t kelStreamMinRun = 16384;

// memcpy with non-temporal stores; the two ranges must not overlap.
void kelStreamCopy(void* dst, const void* src, size_t n);

// Orders the non-temporal stores before all later stores; call it before
// the written memory goes back to the caller.
void kelStreamFence();

#endif
