#include <kel/kelHashTable.h>

#include <limits.h>
#include <string.h>

#include <new>

// All prime, none equal to the probe step, so a probe sequence visits every
// slot.
static const int hashSizes[] = {131, 257, 521, 1021, 2039, 4093, 8191, 16381, 32771, 65537, 131041, 0};
static const int probeStep = 127;

kelHashTable::kelHashTable(int maxEntries)
    : lookCount(0), totalLook(0), maxLook(0), size(pickSize(maxEntries)), count(0),
      fullFraction(kelDefaultHashFullFraction)
{
    table = new kelHashElem*[size]();
}

kelHashTable::~kelHashTable()
{
    delete[] table;
}

int kelHashTable::pickSize(int maxEntries)
{
    int i = 0;
    for (; hashSizes[i + 1] != 0; i++)
        if (hashSizes[i] >= 2LL * maxEntries)
            break;
    return hashSizes[i];
}

void kelHashTable::clear()
{
    memset(table, 0, sizeof(kelHashElem*) * size_t(size));
    count = 0;
}

// The counts stop at the largest int instead of overflowing. Lookups of
// many threads note their probes at once: the counts are updated without
// tearing, though concurrent notes may be lost.
void kelHashTable::noteProbes(int n)
{
    int looks = __atomic_load_n(&lookCount, __ATOMIC_RELAXED);
    if (looks < INT_MAX)
        __atomic_store_n(&lookCount, looks + 1, __ATOMIC_RELAXED);
    int total = __atomic_load_n(&totalLook, __ATOMIC_RELAXED);
    __atomic_store_n(&totalLook, total > INT_MAX - n ? INT_MAX : total + n, __ATOMIC_RELAXED);
    if (n > __atomic_load_n(&maxLook, __ATOMIC_RELAXED))
        __atomic_store_n(&maxLook, n, __ATOMIC_RELAXED);
}

int kelHashTable::locate(const kelHashElem* elem)
{
    int i = int(elem->hashIndex % unsigned(size));
    int n = 1;
    while (table[i] && table[i] != elem) {
        i = (i + probeStep) % size;
        n++;
    }
    noteProbes(n);
    return i;
}

// The sizing hint for growth: count / fullFraction, truncated; a fraction
// that is not positive or a quotient beyond int asks for the largest size.
int kelHashTable::growthTarget() const
{
    double hint = fullFraction > 0 ? double(count) / double(fullFraction) : double(INT_MAX);
    return hint >= double(INT_MAX) ? INT_MAX : int(hint);
}

void kelHashTable::grow()
{
    int newSize = pickSize(growthTarget());
    if (newSize <= size)
        return;
    // Without memory for a bigger table the full one stays in use.
    kelHashElem** bigger = new (std::nothrow) kelHashElem*[newSize]();
    if (!bigger)
        return;
    kelHashElem** old = table;
    int oldSize = size;
    table = bigger;
    size = newSize;
    for (int i = 0; i < oldSize; i++)
        if (old[i])
            table[locate(old[i])] = old[i];
    delete[] old;
}

int kelHashTable::insert(kelHashElem* elem)
{
    if (float(count) >= float(size) * fullFraction)
        grow();
    if (count + 1 == size)
        return holds(elem); // one slot always stays free so that probe sequences end
    int i = locate(elem);
    if (!table[i]) {
        table[i] = elem;
        count++;
    }
    return 1;
}

int kelHashTable::remove(kelHashElem* elem)
{
    int i = locate(elem);
    if (!table[i])
        return 0;
    table[i] = nullptr;
    count--;
    // Re-place the rest of the probe run so that no element is cut off from
    // its home slot by the gap.
    for (int j = (i + probeStep) % size; table[j]; j = (j + probeStep) % size) {
        kelHashElem* moved = table[j];
        table[j] = nullptr;
        table[locate(moved)] = moved;
    }
    return 1;
}

kelHashElem* kelHashTable::find(unsigned hashIndex, const void* key)
{
    int i = int(hashIndex % unsigned(size));
    int n = 1;
    kelHashElem* found = nullptr;
    for (; table[i]; i = (i + probeStep) % size, n++) {
        if (table[i]->hashIndex == hashIndex && match(key, table[i])) {
            found = table[i];
            break;
        }
    }
    noteProbes(n);
    return found;
}

int kelHashTable::holds(const kelHashElem* elem)
{
    return table[locate(elem)] == elem;
}

kelHashElem* kelHashTable::next(int& index) const
{
    if (index < 0)
        index = 0;
    for (; index < size; index++)
        if (table[index])
            return table[index++];
    return nullptr;
}
