// One entry of the format database: its lookups and the loading of the
// format's plug-in.
#ifndef KEL_DATABASE_H
#define KEL_DATABASE_H

#include <kel/kelExport.h>
#include <kel/kelList.h>

class kelFormat;

// The library's version, "major.minor".
extern KEL_API const char* libkelVersion;

class KEL_API kelDatabase {
public:
    // Each lookup loads the database on first use; null when nothing is found.
    static kelDatabase* findNext(int& index);
    static kelDatabase* findByFormatName(const char* formatName);
    static kelDatabase* findByFileName(const char* fileName, int noMatchRule);
    static kelDatabase* findByMagic(int fd);

    const char* getName() const { return name; }
    const char* getDescription() const { return description; }
    const char* getDSOName() const { return dsoname; }
    const char* getInstSubSystem() const { return subsystem; }
    const char* getDefaultSuffix() const;
    // Every suffix in database order, or null when the entry has none.
    const kelList<kelSuffixItem>* getSuffixes() const { return suffixes; }
    int accessModeIsSupported(int mode) const { return mode == access || access == 2; }

    // The entry's format object, loading its plug-in when allowed.
    kelFormat* getFormat(int openDSOifNecessary);

    kelDatabase(const kelDatabase&) = delete;
    kelDatabase& operator=(const kelDatabase&) = delete;

protected:
    friend class kelFormatDB;
    explicit kelDatabase(const char* formatName);
    ~kelDatabase() = default;

    kelFormat* registeredFormat() const;
    void registerFormat(kelFormat* fmt);
    bool loadPlugin() const;

    char* name;
    char* description;
    char* dsoname;
    char* subsystem;
    kelList<kelSuffixItem>* suffixes;
    int access;
    kelFormat* format;
    // The format once its plug-in has finished loading, for readers that
    // take no lock.
    kelFormat* published;
};

#endif
