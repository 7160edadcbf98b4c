// A hash table of named elements, and the process-wide name dictionary.
#ifndef KEL_DICTIONARY_H
#define KEL_DICTIONARY_H

#include <kel/kelHashTable.h>

class kelName : public kelHashElem {
public:
    explicit kelName(const char* s = nullptr);
    virtual ~kelName();
    kelName(const kelName&) = delete;
    kelName& operator=(const kelName&) = delete;

    const char* getID() const { return name; }
    void setID(const char* id);

    char* name;
};

class kelDictionary : public kelHashTable {
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

kelDictionary* kelGlobalDict();
kelName* kelGlobalName(const char* s);
kelName* kelGlobalName(kelName* nm);

#endif
