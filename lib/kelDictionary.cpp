#include <kel/kelDictionary.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <mutex>
#include <new>

kelName::kelName(const char* s) : name(nullptr)
{
    setID(s);
}

kelName::~kelName()
{
    free(name);
}

void kelName::setID(const char* id)
{
    // Copy first: `id` may be this very name.
    char* copy = id ? strdup(id) : nullptr;
    free(name);
    name = copy;
}

// Names fold ASCII letters only, whatever the locale, so that hashing and
// matching always agree.
static int foldAscii(int c)
{
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

static int equalIgnoringAsciiCase(const char* a, const char* b)
{
    for (; *a && foldAscii(*a) == foldAscii(*b); a++, b++)
        ;
    return foldAscii(*a) == foldAscii(*b);
}

kelDictionary::kelDictionary(int maxEntries, int flag) : kelHashTable(maxEntries), ignoreCase(flag == 0) {}

unsigned kelDictionary::hash(const char* s) const
{
    uint32_t h = 0;
    int shift = 0;
    for (; s && *s; s++) {
        int c = static_cast<signed char>(*s);
        if (ignoreCase)
            c = foldAscii(c);
        h ^= uint32_t(int32_t(c)) << shift;
        shift += 17;
        if (shift >= 24)
            shift -= 24;
    }
    return h;
}

int kelDictionary::insert(kelName* elem)
{
    elem->hashIndex = hash(elem->name);
    return kelHashTable::insert(elem);
}

kelName* kelDictionary::find(const char* s, int insertIfNeeded)
{
    unsigned h = hash(s);
    kelName* found = static_cast<kelName*>(kelHashTable::find(h, s));
    if (!found && insertIfNeeded) {
        found = new (std::nothrow) kelName(s);
        if (!found)
            return nullptr;
        found->hashIndex = h;
        kelHashTable::insert(found);
    }
    return found;
}

int kelDictionary::match(const void* key, const kelHashElem* elem) const
{
    const char* s = static_cast<const char*>(key);
    const char* name = static_cast<const kelName*>(elem)->name;
    if (!s || !name)
        return s == name;
    return ignoreCase ? equalIgnoringAsciiCase(s, name) : strcmp(s, name) == 0;
}

kelDictionary* kelGlobalDict()
{
    static kelDictionary* dict = new kelDictionary(0, 1);
    return dict;
}

// The process-wide dictionary grows from any thread.
static std::mutex& globalLock()
{
    static std::mutex* lock = new std::mutex;
    return *lock;
}

kelName* kelGlobalName(const char* s)
{
    std::lock_guard<std::mutex> guard(globalLock());
    return kelGlobalDict()->find(s, 1);
}

kelName* kelGlobalName(kelName* nm)
{
    std::lock_guard<std::mutex> guard(globalLock());
    kelDictionary* dict = kelGlobalDict();
    if (dict->holds(nm))
        return nm;
    if (dict->find(nm->name, 0))
        return nullptr;
    // A full dictionary refuses the name: it is not registered.
    return dict->insert(nm) ? nm : nullptr;
}
