// Keywords for the library's enumerations, as the tools read them from the
// command line and print them. The first row of a value is its printed name;
// later rows of the same value are accepted aliases.
#ifndef KEL_TOOL_NAMES_H
#define KEL_TOOL_NAMES_H

#include <string>

struct kelToolName {
    int value;
    const char* name;
};

// Each table ends with a row whose name is null.
extern const kelToolName kelToolDataTypes[];
extern const kelToolName kelToolOrders[];
extern const kelToolName kelToolOrientations[];
extern const kelToolName kelToolColorModels[];
extern const kelToolName kelToolCompressions[];

// The value of a keyword (any letter case), or 0 when the table has none.
int kelToolLookup(const kelToolName* table, const char* keyword);
// The printed name of a value; "unknown" when the table has none.
const char* kelToolNameOf(const kelToolName* table, int value);
// The printed names of a table, "a, b, c", for help texts and messages.
std::string kelToolKeywords(const kelToolName* table);

#endif
