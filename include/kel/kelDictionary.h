// A hash table of named elements, and the process-wide name dictionary.
#ifndef KEL_DICTIONARY_H
#define KEL_DICTIONARY_H

#include <kel/kelExport.h>
#include <kel/kelHashTable.h>

class KEL_API kelName : public kelHashElem {
public:
    explicit kelName(const char* s = nullptr);
    virtual ~kelName();
    kelName(const kelName&) = delete;
    kelName& operator=(const kelName&) = delete;

    const char* getID() const { return name; }
    void setID(const char* id);

    char* name;
};

class KEL_API kelDictionary : public kelHashTable {
public:
    // Names compare without regard to ASCII letter case when `flag` is 0.
    kelDictionary(int maxEntries, int flag);

    unsigned hash(const char* s) const;
    int insert(kelName* elem);
    kelName* find(const char* s, int insertIfNeeded);
    int match(const void* key, const kelHashElem* elem) const override;

    using kelHashTable::find;
    using kelHashTable::insert;

    int ignoreCase;
};

KEL_API kelDictionary* kelGlobalDict();
KEL_API kelName* kelGlobalName(const char* s);
KEL_API kelName* kelGlobalName(kelName* nm);

#endif
