// One link of a class identity chain, for run-time class queries.
#ifndef KEL_CLASSLIST_H
#define KEL_CLASSLIST_H

#include <kel/kelExport.h>

class KEL_API kelClassList {
public:
    kelClassList(const char* name, const kelClassList* parentList)
        : className(name), parent(parentList) {}

    // The class name `parentIdx` steps up the chain (0: this class), or null.
    const char* find(int parentIdx) const;
    // 1-based position of `classID` on this chain, 0 when absent.
    int find(const kelClassList* classID) const;

    const char* className;
    const kelClassList* parent;
};

#endif
