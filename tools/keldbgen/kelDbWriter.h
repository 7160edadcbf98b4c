// The text of one entry of the generated database.
#ifndef KELDBGEN_WRITER_H
#define KELDBGEN_WRITER_H

#include <string>

class kelDbMatch;
class kelFormatDB;

// The match expression, broken over lines that start with three tabs when
// it grows long.
std::string kelDbMatchText(const kelDbMatch* m);
// The clauses of `e`, each on its own line.
std::string kelDbEntryText(const kelFormatDB* e);

#endif
