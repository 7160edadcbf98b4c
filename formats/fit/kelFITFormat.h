// The "FIT" format: kel's own tiled format, which stores every data type,
// order, orientation and color model, uncompressed.
#ifndef KEL_FITFORMAT_H
#define KEL_FITFORMAT_H

#include "kelTableFormat.h"

class kelFITFormat : public kelTableFormat {
public:
    kelFITFormat();
    kelFile* newfileobj() override;
};

extern kelFITFormat theFITFormat;

#endif
