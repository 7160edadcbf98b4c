#include "kelXBMGeometry.h"

#include <limits.h>

int kelXBMPageFits(long long width, long long height, int unitBits)
{
    if (width < 1 || height < 1 || width > INT_MAX || height > INT_MAX)
        return 0;
    return kelXBMPageWidth(width, unitBits) * height <= INT_MAX;
}
