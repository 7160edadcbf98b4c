// Open-addressing hash table of intrusive elements, which it never owns.
#ifndef KEL_HASHTABLE_H
#define KEL_HASHTABLE_H

#include <kel/kelExport.h>

#include <stdint.h>

class KEL_API kelHashElem {
public:
    uint32_t hashIndex = 0;
};

#define kelDefaultHashFullFraction 0.5f

class KEL_API kelHashTable {
public:
    explicit kelHashTable(int maxEntries);
    virtual ~kelHashTable();
    kelHashTable(const kelHashTable&) = delete;
    kelHashTable& operator=(const kelHashTable&) = delete;

    // Non-zero when `elem` is the element for `key`.
    virtual int match(const void* key, const kelHashElem* elem) const = 0;

    static int pickSize(int maxEntries);
    void clear();
    int insert(kelHashElem* elem);
    int remove(kelHashElem* elem);
    kelHashElem* find(unsigned hashIndex, const void* key);
    kelHashElem* next(int& index) const;
    // Non-zero when `elem` itself (not merely an equal element) is stored.
    int holds(const kelHashElem* elem);

    int getNumEntries() const { return count; }
    float getFullFraction() const { return fullFraction; }
    void setFullFraction(float f) { fullFraction = f; }
    void clearStats() { lookCount = totalLook = maxLook = 0; }
    int getSize() const { return size; }

    int lookCount;
    int totalLook;
    int maxLook;

protected:
    kelHashElem** table;
    int size;
    int count;
    float fullFraction;

private:
    int locate(const kelHashElem* elem);
    void noteProbes(int n);
    void grow();
    int growthTarget() const;
};

#endif
