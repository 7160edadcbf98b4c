#include <kel/kelColormap.h>

// A length of 0 derives last - first + 1 entries from the domain.
kelColormap::kelColormap(void* data, int numChan, kelDataType dtype, int min, int max)
    : kelLut(data, numChan, dtype, min, max, 0)
{
}

kelColormap::kelColormap(int numChan, kelDataType dtype, int min, int max)
    : kelLut(numChan, dtype, min, max, 0)
{
}

kelColormap::kelColormap() = default;

kelColormap::kelColormap(const kelColormap& from) = default;

kelColormap::~kelColormap() = default;

kelColormap& kelColormap::operator=(const kelColormap& from)
{
    kelLut::operator=(from);
    return *this;
}
