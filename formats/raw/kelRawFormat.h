// The "Raw" format: headerless pixel data whose geometry and layout come
// from the format arguments of the file name.
#ifndef KEL_RAWFORMAT_H
#define KEL_RAWFORMAT_H

#include "kelTableFormat.h"

class kelRawFormat : public kelTableFormat {
public:
    kelRawFormat();
    kelFile* newfileobj() override;
};

extern kelRawFormat theRawFormat;

#endif
