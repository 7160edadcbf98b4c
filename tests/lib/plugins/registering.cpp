// Registers a stand-in format object with the entry "TestRegistered" while
// the library loads, as a plug-in's static format object does.
#include <kel/kelDatabase.h>

#include "kelFormatDB.h"

namespace {

struct Registration {
    Registration()
    {
        kelDatabase* entry = kelDatabase::findByFormatName("TestRegistered");
        if (entry)
            static_cast<kelFormatDB*>(entry)->setFormat(reinterpret_cast<kelFormat*>(&marker));
    }
    int marker = 0;
};

Registration registration;

} // namespace
