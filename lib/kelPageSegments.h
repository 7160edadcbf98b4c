// One page as pieces of memory: the part of the page that a caller's buffer
// holds in the page's own byte layout lies in that buffer, the rest in the
// page buffer at its own offsets. The page then moves between the file and
// the caller's buffer without a copy through the page buffer.
#ifndef KEL_PAGESEGMENTS_H
#define KEL_PAGESEGMENTS_H

#include <sys/uio.h>

#include <vector>

#include <kel/kelConverter.h>

#include "kelInternal.h"

class KEL_INTERNAL kelPageSegments {
public:
    // Whether the caller's block holds the page's elements byte for byte:
    // the same data type and channels, rows of the same element runs, no
    // mirroring in x and no transposition (mirroring in y reorders rows only).
    static bool fits(const kelConverter& caller, const kelConverter& page);

    // False when no plan can be worth moving: the page's rows are short and
    // do not join into longer pieces of the caller's buffer.
    static bool mayBeWorthMoving(const kelConverter& caller, const kelConverter& page);

    // The pieces of the page that `page` describes: its area the whole page,
    // its clip the part inside the image, its data the page buffer. Together
    // they hold the page's bytes in page-buffer order.
    void plan(const kelConverter& caller, const kelConverter& page);

    // Whether the caller's pieces are long enough that moving them one by
    // one costs less than a copy through the page buffer: the system takes
    // a piece much more slowly than memcpy copies a short row.
    bool worthMoving() const;

    const iovec* data() const { return segs.data(); }
    int count() const { return int(segs.size()); }

private:
    struct Run {
        long start; // page element of the run's first element
        int y, z, k; // page row, slice and channel (0 for whole pixels)
    };

    void pageRuns(const kelConverter& page, bool pixels);
    void add(const void* base, size_t len);
    void addCaller(const void* base, size_t len);

    std::vector<Run> runs;
    std::vector<iovec> segs;
    size_t callerPieces = 0, callerBytes = 0;
};

#endif
