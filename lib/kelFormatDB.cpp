#include "kelFormatDB.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <mutex>
#include <new>

#include <kel/kelError.h>
#include <kel/kelStatus.h>

#include "kelFormatInput.h"
#include "kelFormatLex.h"
#include "kelPlatform.h"

kelDictionary* kelFormatDB::fmtDict = nullptr;
int kelFormatDB::maxNeed = 0;
std::vector<kelFormatDB*>* kelFormatDB::removed = nullptr;
char kelFormatDB::foreignOnly[1] = "";

FILE* kelFormatDB::dbFile[maxIncludeLevels] = {};
int kelFormatDB::incLevel = 0;
int kelFormatDB::includeCount = 0;
char kelFormatDB::line[linePieceSize + 1] = "";
int kelFormatDB::lineLen = 0;
int kelFormatDB::lineIndex = 0;
int kelFormatDB::lineNo = 1;
bool kelFormatDB::lineEndedInLF = false;
char kelFormatDB::dbnameBuf[260] = "";

kelFormatDB::kelFormatDB(const char* name)
    : kelDatabase(name), kelName(name), match(nullptr), major(0), minor(0), sameName(nullptr), lastSameName(nullptr)
{
    KEL_ASSERT(fmtDict != NULL);
    if (place(this))
        inserted().push_back(this);
    else
        setAside(this);
}

std::vector<kelFormatDB*>& kelFormatDB::inserted()
{
    static std::vector<kelFormatDB*>* entries = new std::vector<kelFormatDB*>;
    return *entries;
}

// Only the first entry of a name takes a slot; later ones follow it in a
// chain, so that many entries of one name do not make one long probe run
// that every insertion walks. Lookups by name find the first anyway.
bool kelFormatDB::place(kelFormatDB* entry)
{
    kelFormatDB* first = static_cast<kelFormatDB*>(fmtDict->find(entry->kelName::name, 0));
    if (!first)
        return fmtDict->insert(entry) != 0;
    kelFormatDB* last = first->lastSameName ? first->lastSameName : first;
    last->sameName = entry;
    first->lastSameName = entry;
    return true;
}

// Every entry in slot order, each name's later entries right after its
// first.
std::vector<kelFormatDB*> kelFormatDB::slotOrder()
{
    std::vector<kelFormatDB*> entries;
    int index = 0;
    while (kelHashElem* e = fmtDict->next(index))
        for (kelFormatDB* entry = static_cast<kelFormatDB*>(static_cast<kelName*>(e)); entry; entry = entry->sameName)
            entries.push_back(entry);
    return entries;
}

kelDatabase* kelFormatDB::listed(int& index)
{
    if (index < 0)
        index = 0;
    return size_t(index) < listing().size() ? listing()[size_t(index++)] : nullptr;
}

std::vector<kelFormatDB*>& kelFormatDB::listing()
{
    static std::vector<kelFormatDB*>* entries = new std::vector<kelFormatDB*>;
    return *entries;
}

// Fields of the kelDatabase part live as long as the process; only the
// dictionary key is released here.
kelFormatDB::~kelFormatDB() = default;

kelFormatDB* kelFormatDB::newEntry(char* name)
{
    kelFormatDB* entry = new kelFormatDB(name);
    free(name);
    return entry;
}

void kelFormatDB::setMatch(kelDbMatch* m)
{
    delete match;
    match = m;
}

void kelFormatDB::setDescription(char* s)
{
    free(description);
    description = s;
}

void kelFormatDB::setDll(char* s)
{
    if (isLibraryName(dsoname))
        free(dsoname);
    dsoname = s;
}

// The name of another platform's library is of no use here; it only marks
// the format as known, and never overrides a "dll" name.
void kelFormatDB::setDso(char* s)
{
    free(s);
    if (!dsoname)
        dsoname = foreignOnly;
}

void kelFormatDB::setSubSystem(char* s)
{
    free(subsystem);
    subsystem = s;
}

void kelFormatDB::setSuffixes(kelList<kelSuffixItem>* list)
{
    kelDeleteSuffixList(suffixes);
    suffixes = list;
}

void kelFormatDB::setAccess(int tokenCode)
{
    access = kelAccessModeOf(tokenCode, access);
}

int kelFormatDB::eval(const void* data, int len) const
{
    return match && match->need <= len && match->eval(data).i != 0;
}

void kelFormatDB::setFormat(kelFormat* fmt, int interfaceMajor, int interfaceMinor)
{
    major = interfaceMajor;
    minor = interfaceMinor;
    registerFormat(fmt);
}

int kelFormatDB::haveDSOVersion(int wantMajor, int wantMinor) const
{
    return major > wantMajor || (major == wantMajor && minor >= wantMinor);
}

int kelFormatDB::isLibraryName(const char* dsoname)
{
    return dsoname != nullptr && dsoname != foreignOnly;
}

std::string kelFormatDB::debugLibraryName(const char* dsoname)
{
    std::string path(dsoname);
    size_t baseStart = path.rfind('/');
    baseStart = baseStart == std::string::npos ? 0 : baseStart + 1;
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < baseStart)
        dot = path.size();
    return path.substr(0, dot) + "_d" + path.substr(dot);
}

// The system's text for the error of a failed open (errno).
static const char* openFailureText(char (&text)[1024])
{
    return kelStatusToString(kelComposeStatus(kelDBOPENFAILED, 1, errno), text, sizeof text);
}

// The dictionary once loading has finished, for lock-free lookups; the
// lock serialises the first load. It is recursive so that an error handler
// that looks formats up while the database loads sees the entries read so
// far, as it did before threads were considered.
static std::atomic<kelDictionary*> loadedDict{nullptr};

static std::recursive_mutex& loadLock()
{
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

kelDictionary* kelFormatDB::getDictionary()
{
    if (kelDictionary* dict = loadedDict.load(std::memory_order_acquire))
        return dict;
    std::lock_guard<std::recursive_mutex> guard(loadLock());
    if (fmtDict)
        return fmtDict;
    kelDictionary* dict = nullptr;
    try {
        dict = load();
    } catch (const std::bad_alloc&) {
        closeInput();
        kelError(kelSeverityError, "Out of memory while loading the KEL database");
        dict = fmtDict;
    }
    loadedDict.store(fmtDict, std::memory_order_release);
    return dict;
}

kelDictionary* kelFormatDB::load()
{
    fmtDict = new kelDictionary(0, 0);
    const char* dbname = getenv("KEL_DATABASE");
    if (!dbname) {
        snprintf(dbnameBuf, sizeof dbnameBuf, "%s/kel_database%d", kelPlatformSystemDirectory(), 0);
        dbname = dbnameBuf;
    }
    if (!openInput(dbname)) {
        char text[1024];
        kelError(kelSeverityError, "Couldn't open file format database %s:\n\t%s", dbname, openFailureText(text));
        return nullptr;
    }
    if (parse() == 0)
        validate(dbname);
    closeInput();
    listing() = slotOrder();
    return fmtDict;
}

void kelFormatDB::unload()
{
    std::lock_guard<std::recursive_mutex> guard(loadLock());
    for (kelFormatDB* entry : inserted())
        entry->release();
    inserted().clear();
    listing().clear();
    for (kelFormatDB* entry : removed ? *removed : std::vector<kelFormatDB*>())
        entry->release();
    delete removed;
    removed = nullptr;
    delete fmtDict;
    fmtDict = nullptr;
    maxNeed = 0;
    loadedDict.store(nullptr, std::memory_order_release);
}

void kelFormatDB::release()
{
    free(kelDatabase::name);
    free(description);
    if (isLibraryName(dsoname))
        free(dsoname);
    free(subsystem);
    kelDeleteSuffixList(suffixes);
    delete match;
    delete this;
}

bool kelFormatDB::openInput(const char* path)
{
    closeInput();
    dbFile[0] = kelOpenDatabaseText(path);
    lineLen = lineIndex = 0;
    includeCount = 0;
    lineNo = 1;
    lineEndedInLF = false;
    line[0] = '\0';
    return dbFile[0] != nullptr;
}

void kelFormatDB::closeInput()
{
    for (FILE*& fp : dbFile) {
        if (fp)
            fclose(fp);
        fp = nullptr;
    }
    incLevel = 0;
}

void kelFormatDB::setAside(kelFormatDB* entry)
{
    if (!removed)
        removed = new std::vector<kelFormatDB*>;
    removed->push_back(entry);
}

int kelFormatDB::validationErrors(kelFormatDB* entry, const char* dbname)
{
    int errs = 0;
    if (!entry->description) {
        kelError(kelSeverityWarning, "%s missing description for %s", dbname, entry->kelDatabase::name);
        entry->description = strdup(entry->kelDatabase::name);
    }
    if (!entry->dsoname) {
        kelError(kelSeverityWarning, "%s missing required DSO name for %s", dbname, entry->kelDatabase::name);
        errs++;
    }
    if (!entry->subsystem) {
        kelError(kelSeverityWarning, "%s missing inst sub-system name for %s", dbname, entry->kelDatabase::name);
        entry->subsystem = strdup("unknown");
    }
    return errs;
}

// Completes every entry once, in slot order, and decides which go.
// Removing one by one would re-place a probe run each time, so the kept
// entries are placed anew in the order they were read, which keeps the
// first of a name first.
void kelFormatDB::validate(const char* dbname)
{
    bool anyRemoved = false;
    for (kelFormatDB* entry : slotOrder()) {
        if (validationErrors(entry, dbname) > 0) {
            kelError(kelSeverityWarning, "%s format removed from KEL database", entry->kelDatabase::name);
            anyRemoved = true;
        } else if (entry->dsoname == foreignOnly) {
            anyRemoved = true;
        } else if (entry->match && entry->match->need != kelDbNeverMatches && entry->match->need > maxNeed) {
            maxNeed = entry->match->need;
        }
    }
    if (!anyRemoved)
        return;
    fmtDict->clear();
    for (kelFormatDB* entry : inserted())
        entry->sameName = entry->lastSameName = nullptr;
    for (kelFormatDB* entry : inserted())
        if (!entry->isRemoved())
            place(entry);
}

// Entries leave only through validation, and those it removes have either
// no usable library name or the foreign-only mark.
bool kelFormatDB::isRemoved() const
{
    return !isLibraryName(dsoname);
}

bool kelFormatDB::readLinePiece(FILE* fp)
{
    int n = kelReadLinePiece(fp, line, linePieceSize);
    if (n == 0)
        return false;
    lineLen = n;
    lineIndex = 0;
    lineEndedInLF = line[n - 1] == '\n';
    return true;
}

// The next piece of input, from the including file once an included one
// ends. Lines of all files share one count.
bool kelFormatDB::nextLine()
{
    if (lineEndedInLF) {
        lineNo++;
        lineEndedInLF = false;
    }
    for (;;) {
        if (!dbFile[incLevel])
            return false;
        if (readLinePiece(dbFile[incLevel]))
            return true;
        if (incLevel == 0)
            return false;
        fclose(dbFile[incLevel]);
        dbFile[incLevel--] = nullptr;
    }
}

int kelFormatDB::getInput(char* buf, int)
{
    if (lineIndex >= lineLen && !nextLine())
        return 0;
    buf[0] = line[lineIndex++];
    return 1;
}

void kelFormatDB::error(const char* msg)
{
    kelError(kelSeverityError, "%s in KEL database file, line %d:\n%s\n%s^", msg, lineNo, line,
             kelErrorMarker(line, lineLen, lineIndex).c_str());
}

void kelFormatDB::processInclude(char* statement)
{
    std::string name = kelIncludeFileName(statement);
    if (name.empty()) {
        kelError(kelSeverityWarning, "Malformed include statement in KEL database");
        return;
    }
    if (incLevel + 1 >= maxIncludeLevels) {
        kelError(kelSeverityWarning, "Include files nested too deep in KEL database");
        return;
    }
    if (includeCount >= maxIncludes) {
        kelError(kelSeverityWarning, "More than %d include files in KEL database", int(maxIncludes));
        return;
    }
    FILE* fp = kelOpenDatabaseText(name.c_str());
    if (!fp) {
        char text[1024];
        kelError(kelSeverityError, "Couldn't open file format database include file: %s\n\t%s", name.c_str(),
                 openFailureText(text));
        return;
    }
    if (isBeingRead(fp)) {
        fclose(fp);
        kelError(kelSeverityError, "Include file %s is already being read in KEL database file, line %d", name.c_str(),
                 lineNo);
        return;
    }
    includeCount++;
    dbFile[++incLevel] = fp;
    lineLen = lineIndex = 0;
}

bool kelFormatDB::isBeingRead(FILE* fp)
{
    for (int level = 0; level <= incLevel; level++)
        if (kelSameFile(dbFile[level], fp))
            return true;
    return false;
}

void kelFormatDB::scannerFatal(const char* msg)
{
    kelError(kelSeverityFatal, "Fatal error parsing KEL format database:\n    %s", msg);
}
