// The "GIF" format: LZW-compressed color-index images, one page per image,
// several images per file.
#ifndef KEL_GIFFORMAT_H
#define KEL_GIFFORMAT_H

#include "kelTableFormat.h"

class kelGIFFormat : public kelTableFormat {
public:
    kelGIFFormat();
    kelFile* newfileobj() override;
};

extern kelGIFFormat theGIFformat;

#endif
