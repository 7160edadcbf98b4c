#include "kelDbGenSettings.h"

#ifndef KEL_DBSOURCE_DIR
#error "KEL_DBSOURCE_DIR must name the installed database source directory"
#endif

const char* const kel_dbdir = KEL_DBSOURCE_DIR;
const char* const kel_dbname = KEL_DBGEN_OUTPUT;
const char* const kel_dbnameold = KEL_DBGEN_OUTPUT ".O";

std::string dbRoot = "/";
std::string dbName = kel_dbname;
std::string progName = "keldbgen";

void kelDbSetProgName(const char* argv0)
{
    std::string s(argv0 ? argv0 : "");
    size_t slash = s.rfind('/');
    progName = slash == std::string::npos ? s : s.substr(slash + 1);
}

// The root, "/" and the path; surplus slashes at the seam are dropped so that
// the default root yields the path itself.
std::string kelDbRootJoin(const std::string& path)
{
    size_t rootEnd = dbRoot.find_last_not_of('/');
    std::string root = rootEnd == std::string::npos ? std::string() : dbRoot.substr(0, rootEnd + 1);
    size_t pathStart = path.find_first_not_of('/');
    return root + "/" + (pathStart == std::string::npos ? std::string() : path.substr(pathStart));
}

std::string kelDbBanner()
{
    return std::string("! The following file has been generated automatically by the\n"
                       "! " KEL_DBGEN_PROGRAM " program from the database(s) in\n"
                       "! ") +
           kel_dbdir +
           ".\n"
           "! Although changes to this file may be reflected in the generated \n"
           "! kel_database, such changes are not recommended. See\n"
           "! " KEL_DBGEN_DOC "\n"
           "! for more information on the proper method for adding new\n"
           "! formats to this file.";
}
