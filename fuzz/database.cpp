// The format database language: the input is a database file, loaded,
// looked up in every way and unloaded again.
#include <fcntl.h>
#include <unistd.h>

#include "fuzz_image.h"
#include "kelFormatDB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = kelFuzzWriteFile("db", data, size);
    setenv("KEL_DATABASE", path.c_str(), 1);
    kelFormatDB::getDictionary();
    int index = 0;
    while (kelDatabase* entry = kelDatabase::findNext(index)) {
        entry->getDefaultSuffix();
        kelDatabase::findByFormatName(entry->getName());
    }
    kelDatabase::findByFileName("picture.gif", 0);
    kelDatabase::findByFileName("picture.raw", 1);
    // The match rules evaluated over the database's own bytes.
    int fd = open(path.c_str(), O_RDONLY);
    kelDatabase::findByMagic(fd);
    close(fd);
    kelFormatDB::unload();
    return 0;
}
