// The entries that every kelORNColormap shares: 3 channels of kelUChar for
// the indices 32 to 255, built at first use.
#ifndef KEL_ORN_TABLE_H
#define KEL_ORN_TABLE_H

void* _kelORNSharedTable();
// Whether p is the shared table, which no single table may change.
int _kelORNIsSharedTable(const void* p);

#endif
