#include "DbFileInfo.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "kelDbGenSettings.h"

DbFileInfo::DbFileInfo(const char* fileName, long modTime) : name(strdup(fileName)), mtim(modTime) {}

DbFileInfo::~DbFileInfo()
{
    free(name);
}

DbFileList::~DbFileList()
{
    while (DbFileInfo* f = head()) {
        unlink(f);
        delete f;
    }
}

namespace {

bool isRegularFile(const std::string& path, long* modTime)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    *modTime = long(st.st_mtime);
    return true;
}

// The regular files of the source directory in listing order.
bool listSources(std::vector<DbFileInfo*>& found)
{
    DIR* dir = opendir(kelDbRootJoin(kel_dbdir).c_str());
    if (!dir)
        return false;
    while (struct dirent* d = readdir(dir)) {
        std::string name = std::string(kel_dbdir) + d->d_name;
        long modTime;
        if (!isRegularFile(kelDbRootJoin(name), &modTime))
            continue;
        if (strcmp(d->d_name, "kel_database") == 0)
            modTime = 0;
        found.push_back(new DbFileInfo(name.c_str(), modTime));
    }
    closedir(dir);
    return true;
}

} // namespace

bool kelDbListInputs(DbFileList& files)
{
    std::vector<DbFileInfo*> found;
    if (!listSources(found))
        return false;
    // Files of equal age come in name order, so that the output does not
    // depend on the directory's own order.
    std::sort(found.begin(), found.end(),
              [](const DbFileInfo* a, const DbFileInfo* b) { return strcmp(a->name, b->name) < 0; });
    std::stable_sort(found.begin(), found.end(),
                     [](const DbFileInfo* a, const DbFileInfo* b) { return a->mtim < b->mtim; });
    for (DbFileInfo* f : found)
        files.append(f);
    long modTime;
    if (isRegularFile(kelDbRootJoin(kel_dbname), &modTime))
        files.append(new DbFileInfo(kel_dbname, 0));
    return true;
}
