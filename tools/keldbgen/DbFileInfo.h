// The input files of one generator run, in priority order.
#ifndef KELDBGEN_DBFILEINFO_H
#define KELDBGEN_DBFILEINFO_H

#include <kel/kelList.h>

class DbFileInfo : public kelListItem {
public:
    DbFileInfo(const char* fileName, long modTime);
    ~DbFileInfo();
    DbFileInfo(const DbFileInfo&) = delete;
    DbFileInfo& operator=(const DbFileInfo&) = delete;

    char* name; // relative to the root
    long mtim;  // modification time in seconds; 0 puts the file first
};

// A list of input files that destroys whatever it still holds when it goes.
class DbFileList : public kelList<DbFileInfo> {
public:
    DbFileList() = default;
    ~DbFileList();
};

// Appends the regular files of the source directory, oldest first (a file
// named kel_database counts as oldest), then the old generated database when
// it exists. False when the source directory cannot be listed.
bool kelDbListInputs(DbFileList& files);

#endif
