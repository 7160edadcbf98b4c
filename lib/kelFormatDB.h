// The library's database entry and the loader of the database file.
//
// The scanner and parser (kelFormatLex.cpp, kelFormatParser.cpp) are shared
// with keldbgen, which compiles them against its own kelFormatDB class. Both
// classes provide the members the parser calls: newEntry (the header rule),
// the set* clause actions, getInput, error, processInclude and scannerFatal.
#ifndef KEL_FORMATDB_H
#define KEL_FORMATDB_H

#include <stdio.h>

#include <string>
#include <vector>

#include <kel/kelDatabase.h>
#include <kel/kelDictionary.h>
#include <kel/kelList.h>

#include "kelDbMatch.h"
#include "kelInternal.h"

class KEL_INTERNAL kelFormatDB : public kelDatabase, public kelName {
public:
    explicit kelFormatDB(const char* name);
    ~kelFormatDB() override;

    // Parser actions. Strings and trees passed in become the entry's own.
    static kelFormatDB* newEntry(char* name);
    void setMatch(kelDbMatch* m);
    void setDescription(char* s);
    void setDll(char* s);
    void setDso(char* s);
    void setSubSystem(char* s);
    void setSuffixes(kelList<kelSuffixItem>* list);
    void setAccess(int tokenCode);

    int hasMatchRule() const { return match != nullptr; }
    static int getMaxNeeded() { return maxNeed; }
    // Non-zero when the entry's rule needs at most `len` bytes and accepts `data`.
    int eval(const void* data, int len) const;

    // Registration of a plug-in's format object, with the interface version
    // the plug-in implements.
    void setFormat(kelFormat* fmt, int interfaceMajor = 1, int interfaceMinor = 3);
    int haveDSOVersion(int wantMajor, int wantMinor) const;

    // The loaded dictionary; null when the database file cannot be opened on
    // the first call.
    static kelDictionary* getDictionary();
    // The loaded entries one after another, from index 0; null after the
    // last. Entries of one name come together, the first one first.
    static kelDatabase* listed(int& index);
    // Frees the loaded database, so that the next lookup loads it again:
    // for programs that load many databases in turn. Registered formats are
    // forgotten, and no other thread may use the database meanwhile.
    static void unload();

    // Scanner input, one character per call; 0 at the end of the input.
    static int getInput(char* buf, int max);
    static int parse();
    static void error(const char* msg);
    static void processInclude(char* line);
    static void scannerFatal(const char* msg);

    // Makes `path` the level-0 input of the scanner, from its first line;
    // false (errno set) when it cannot be opened. closeInput closes every
    // level still open.
    static bool openInput(const char* path);
    static void closeInput();

    // Non-zero when `dsoname` names a library file: neither null nor the
    // mark of a format implemented only on another platform.
    static int isLibraryName(const char* dsoname);
    // The file name a debug build loads for `dsoname`: "_d" inserted before
    // the extension of the base name, the directory part kept.
    static std::string debugLibraryName(const char* dsoname);

    kelDbMatch* match;
    int major;
    int minor;

private:
    // Includes are bounded in count as well as in depth, so that a few
    // files including each other many times cannot multiply the text read.
    enum { maxIncludeLevels = 8, maxIncludes = 256, linePieceSize = 255 };

    static kelDictionary* load();
    void release();
    static void validate(const char* dbname);
    static int validationErrors(kelFormatDB* entry, const char* dbname);
    static void setAside(kelFormatDB* entry);
    // The entries that went into the dictionary, in the order read.
    static std::vector<kelFormatDB*>& inserted();
    static std::vector<kelFormatDB*>& listing();
    static bool place(kelFormatDB* entry);
    static std::vector<kelFormatDB*> slotOrder();
    bool isRemoved() const;

    // Later entries of the same name, in reading order: the next one, and
    // (in the first entry) the last one.
    kelFormatDB* sameName;
    kelFormatDB* lastSameName;
    static bool nextLine();
    static bool readLinePiece(FILE* fp);
    static bool isBeingRead(FILE* fp);

    static kelDictionary* fmtDict;
    static int maxNeed;
    // Entries that a full dictionary refused; they stay alive, never used.
    static std::vector<kelFormatDB*>* removed;
    static char foreignOnly[1];

    static FILE* dbFile[maxIncludeLevels];
    static int incLevel;
    static int includeCount;
    static char line[linePieceSize + 1];
    static int lineLen;
    static int lineIndex;
    static int lineNo;
    static bool lineEndedInLF;
    static char dbnameBuf[260];
};

#endif
