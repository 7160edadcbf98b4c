// The library's database entry and the loader of the database file.
//
// The scanner and parser (kelFormatLex.cpp, kelFormatParser.cpp) are shared
// with keldbgen, which compiles them against its own kelFormatDB class. Both
// classes provide the members the parser calls: newEntry (the header rule),
// the set* clause actions, getInput, error, processInclude and scannerFatal.
#ifndef KEL_FORMATDB_H
#define KEL_FORMATDB_H

#include <stdio.h>

#include <kel/kelDatabase.h>
#include <kel/kelDictionary.h>
#include <kel/kelList.h>

#include "kelDbMatch.h"

class kelFormatDB : public kelDatabase, public kelName {
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

    kelList<kelSuffixItem>* getSuffixes() const { return suffixes; }
    int hasMatchRule() const { return match != nullptr; }
    static int getMaxNeeded() { return maxNeed; }
    // Non-zero when the entry's rule needs at most `len` bytes and accepts `data`.
    int eval(const void* data, int len) const;

    // Registration of a plug-in's format object (interface version 1.3).
    void setFormat(kelFormat* fmt);
    int haveDSOVersion(int wantMajor, int wantMinor) const;

    // The loaded dictionary; null when the database file cannot be opened on
    // the first call.
    static kelDictionary* getDictionary();

    // Scanner input, one character per call; 0 at the end of the input.
    static int getInput(char* buf, int max);
    static int parse();
    static void error(const char* msg);
    static void processInclude(char* line);
    static void scannerFatal(const char* msg);

    kelDbMatch* match;
    int major;
    int minor;

private:
    static kelDictionary* fmtDict;
    static int maxNeed;
};

#endif
