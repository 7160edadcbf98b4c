// keldbgen's database entry: the record the shared parser fills while the
// generator reads its sources, and the generator's reader, include handling
// and error reports that the shared scanner and parser call.
#ifndef KELDBGEN_FORMATDB_H
#define KELDBGEN_FORMATDB_H

#include <kel/kelList.h>

#include "kelDbMatch.h"

class kelFormatDB;

// A list of entries that destroys whatever it still holds when it goes.
class FormatList : public kelList<kelFormatDB> {
public:
    FormatList() = default;
    ~FormatList();
    // Unlinks and destroys every entry.
    void destroyAll();
};

class kelFormatDB : public kelListItem {
public:
    // `filename`: the top-level source being read; `name` becomes the entry's.
    kelFormatDB(const char* filename, char* name);
    ~kelFormatDB();
    kelFormatDB(const kelFormatDB&) = delete;
    kelFormatDB& operator=(const kelFormatDB&) = delete;

    // The header rule: a new entry, kept in `entries` unless an entry of the
    // same name is kept already, in which case it goes to `badEntries`.
    static kelFormatDB* newEntry(char* name);

    // Clause actions; every argument becomes the entry's own.
    void setMatch(kelDbMatch* m);
    void setDescription(char* s);
    void setDll(char* s);
    // Libraries of other platforms are of no use to the generator.
    void setDso(char* s);
    void setSubSystem(char* s);
    void setSuffixes(kelList<kelSuffixItem>* list);
    void setAccess(int tokenCode);

    // The first kept entry named exactly `name`, or null.
    static kelFormatDB* findKept(const char* name);
    // Unlinks a kept entry and destroys it.
    static void dropKept(kelFormatDB* e);
    // Destroys every entry read so far, kept or dropped.
    static void dropAll();

    // Scanner input, one character per call; 0 at the end of the input.
    static int getInput(char* buf, int max);
    static int parse();
    static void error(const char* msg);
    static void processInclude(char* line);
    [[noreturn]] static void scannerFatal(const char* msg);

    // Makes the top-level file `name` (opened at `path`) the input, closing
    // whatever was open before; false when it cannot be opened.
    static bool openInput(const char* name, const char* path);
    // Closes every open input file.
    static void closeInput();

    char* filename;
    char* name;
    char* description;
    char* dsoname;
    char* subsystem;
    kelList<kelSuffixItem>* suffixes;
    int access;
    kelDbMatch* match;
    kelFormatDB* succ;

    static FormatList entries;
    static FormatList badEntries;
};

#endif
