// Reading one database source into the generator's entry lists.
#ifndef KELDBGEN_MERGE_H
#define KELDBGEN_MERGE_H

// Reads the source `name` (below the root): its entries join the kept or
// the dropped list. A source that is not a valid database contributes
// nothing, and entries that lost to one of its entries go with it.
void kelDbReadSource(const char* name);

#endif
