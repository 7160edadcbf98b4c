// keldbgen's reading of a database source, and its writing: what it writes
// of the entries it kept must read back to the same text.
#include <stdlib.h>

#include <string>

#include "fuzz_files.h"
#include "kelDbGenSettings.h"
#include "kelDbMerge.h"
#include "kelDbWriter.h"
#include "kelFormatDB.h"

static std::string keptText()
{
    std::string text;
    kelListIter<kelFormatDB> it(kelFormatDB::entries);
    while (kelFormatDB* e = it.next())
        text += kelDbEntryText(e) + "\n";
    return text;
}

// The sources are read below the scratch directory, as below a root.
static std::string readBack(const char* name, const std::string& text)
{
    kelFuzzWriteFile(name, text.data(), text.size());
    kelDbReadSource((std::string("/") + name).c_str());
    std::string kept = keptText();
    kelFormatDB::dropAll();
    return kept;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool ready = [] {
        kelDbSetProgName("keldbgen");
        dbRoot = kelFuzzPath("");
        return true;
    }();
    (void)ready;
    std::string written = readBack("in.db", std::string(reinterpret_cast<const char*>(data), size));
    if (readBack("out.db", written) != written)
        abort();
    return 0;
}
