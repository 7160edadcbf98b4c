#include <kel/kelDatabase.h>

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <new>
#include <string>
#include <vector>

#include <kel/kelError.h>

#include "kelFormatDB.h"
#include "kelPlatform.h"

const char* libkelVersion = KEL_VERSION_STRING;

kelDatabase::kelDatabase(const char* formatName)
    : name(formatName ? strdup(formatName) : nullptr),
      description(nullptr),
      dsoname(nullptr),
      subsystem(nullptr),
      suffixes(nullptr),
      access(2),
      format(nullptr),
      published(nullptr)
{
}

static kelFormatDB* entryOf(kelHashElem* elem)
{
    return static_cast<kelFormatDB*>(static_cast<kelName*>(elem));
}

kelDatabase* kelDatabase::findNext(int& index)
{
    return kelFormatDB::getDictionary() ? kelFormatDB::listed(index) : nullptr;
}

kelDatabase* kelDatabase::findByFormatName(const char* formatName)
{
    kelDictionary* dict = kelFormatDB::getDictionary();
    if (!dict || !formatName)
        return nullptr;
    return entryOf(dict->find(formatName, 0));
}

// A suffix fits when it is shorter than the name and ends it exactly.
static bool endsWithSuffix(const char* fileName, size_t nameLen, const kelList<kelSuffixItem>& suffixes)
{
    kelListIter<kelSuffixItem> it(suffixes);
    while (kelSuffixItem* item = it.next()) {
        size_t len = item->suffix ? strlen(item->suffix) : nameLen;
        if (len < nameLen && memcmp(fileName + nameLen - len, item->suffix, len) == 0)
            return true;
    }
    return false;
}

kelDatabase* kelDatabase::findByFileName(const char* fileName, int noMatchRule)
{
    if (!fileName || !kelFormatDB::getDictionary())
        return nullptr;
    size_t nameLen = strlen(fileName);
    int index = 0;
    while (kelDatabase* db = findNext(index)) {
        kelFormatDB* entry = static_cast<kelFormatDB*>(db);
        if (!entry->suffixes || (noMatchRule && entry->hasMatchRule()))
            continue;
        if (endsWithSuffix(fileName, nameLen, *entry->suffixes))
            return entry;
    }
    return nullptr;
}

// Up to `want` bytes from the start of the file into `buf`, never more than
// a regular file holds; the count read, or -1 when the file cannot be read.
// A descriptor that cannot be positioned (a pipe) is not read at all: the
// caller could not get the bytes back. The buffer grows with the bytes that
// arrive, so that a rule's large need costs memory only for files that
// provide the bytes.
static int readLeadingBytes(int fd, std::vector<unsigned char>& buf, int want)
{
    enum { chunk = 65536 };
    buf.resize(1);
    struct stat st;
    if (fstat(fd, &st) < 0)
        return -1;
    if (lseek(fd, 0, SEEK_SET) < 0)
        return 0;
    if (S_ISREG(st.st_mode) && st.st_size < want)
        want = int(st.st_size);
    int total = 0;
    while (total < want) {
        int ask = want - total < chunk ? want - total : chunk;
        buf.resize(size_t(total) + size_t(ask) + 1);
        ssize_t n = read(fd, buf.data() + total, size_t(ask));
        if (n < 0)
            return total > 0 ? total : -1;
        if (n == 0)
            break;
        total += int(n);
    }
    return total;
}

kelDatabase* kelDatabase::findByMagic(int fd)
{
    if (!kelFormatDB::getDictionary())
        return nullptr;
    std::vector<unsigned char> buf;
    int len;
    try {
        len = readLeadingBytes(fd, buf, kelFormatDB::getMaxNeeded());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    int index = 0;
    while (kelDatabase* db = findNext(index)) {
        kelFormatDB* entry = static_cast<kelFormatDB*>(db);
        if (entry->eval(buf.data(), len))
            return entry;
    }
    return nullptr;
}

const char* kelDatabase::getDefaultSuffix() const
{
    if (!suffixes || suffixes->isEmpty())
        return nullptr;
    return suffixes->head()->suffix;
}

static void reportMissingLibrary(const char* dsoname, const char* name, const char* subsystem)
{
    if (subsystem)
        kelError(kelSeverityError,
                 "Dynamic shared object \"%s\" version %s not found\n\tfor run-time linking %s-format-specific "
                 "code.\n\tThis file can be found in the appropriate\n\tversion of the product %s.",
                 dsoname, libkelVersion, name, subsystem);
    else
        kelError(kelSeverityError,
                 "Dynamic shared object \"%s\" version %s not found\n\tfor run-time linking %s-format-specific "
                 "code.\n",
                 dsoname, libkelVersion, name);
}

// Plug-ins load one at a time; the lock is recursive because a plug-in's
// static initialisation may itself ask for a format.
static std::recursive_mutex& pluginLock()
{
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

// A format is read without the lock only once its plug-in has loaded: it
// registers from the base class's constructor, before its own constructor
// has run.
kelFormat* kelDatabase::registeredFormat() const
{
    return __atomic_load_n(&published, __ATOMIC_ACQUIRE);
}

void kelDatabase::registerFormat(kelFormat* fmt)
{
    format = fmt;
}

kelFormat* kelDatabase::getFormat(int openDSOifNecessary)
{
    if (kelFormat* fmt = registeredFormat())
        return fmt;
    std::lock_guard<std::recursive_mutex> guard(pluginLock());
    if (!format) {
        // Entries left unchecked by a failed parse may name no usable library.
        if (!openDSOifNecessary || !kelFormatDB::isLibraryName(dsoname))
            return nullptr;
        if (!loadPlugin()) {
            reportMissingLibrary(dsoname, name, subsystem);
            return nullptr;
        }
        if (!format) {
            kelError(kelSeverityError,
                     "The dynamic shared object %s failed to register\n\ta file format called \"%s\"", dsoname, name);
            return nullptr;
        }
    }
    __atomic_store_n(&published, format, __ATOMIC_RELEASE);
    return format;
}

bool kelDatabase::loadPlugin() const
{
    try {
#ifdef KEL_DEBUG_BUILD
        std::string libraryName = kelFormatDB::debugLibraryName(dsoname);
#else
        std::string libraryName(dsoname);
#endif
        return kelPlatformLoadLibrary(libraryName.c_str()) != nullptr;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
