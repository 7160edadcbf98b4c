// The "WEBP" format: RGB and RGBA bytes, lossy (VP8) or lossless (VP8L),
// still or animated, read and written with libwebp.
#ifndef KEL_WEBPFORMAT_H
#define KEL_WEBPFORMAT_H

#include "kelTableFormat.h"

class kelWEBPFormat : public kelTableFormat {
public:
    kelWEBPFormat();
    kelFile* newfileobj() override;
};

extern kelWEBPFormat theWEBPFormat;

#endif
