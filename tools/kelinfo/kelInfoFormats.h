// The formats of the database, as one JSON array.
#ifndef KEL_INFO_FORMATS_H
#define KEL_INFO_FORMATS_H

#include <nlohmann/json.hpp>

class kelToolErrorLog;

// One object per database entry: name, description, suffixes, access,
// library, loadable (and why not). Loads every plug-in to find out.
nlohmann::json kelInfoFormats(kelToolErrorLog& log);

#endif
