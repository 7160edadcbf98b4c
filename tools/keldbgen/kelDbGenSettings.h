// keldbgen's compiled-in paths, its command-line settings and the joining of
// every path it opens to the root directory.
#ifndef KELDBGEN_SETTINGS_H
#define KELDBGEN_SETTINGS_H

#include <string>

// The installation's source directory (ending in "/"), the default output
// (also the old generated database read back) and its backup.
extern const char* const kel_dbdir;
extern const char* const kel_dbname;
extern const char* const kel_dbnameold;

// Prefix of every path opened ("/" unless -r is given) and the output path
// (kel_dbname unless -o is given).
extern std::string dbRoot;
extern std::string dbName;
// The invocation name after its last "/", for messages.
extern std::string progName;

void kelDbSetProgName(const char* argv0);
// `path` below `dbRoot`.
std::string kelDbRootJoin(const std::string& path);
// The banner written at the top of the output, without a final line feed.
std::string kelDbBanner();

#endif
