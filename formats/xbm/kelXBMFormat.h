// The "XBM" format: X bitmaps, monochrome pictures kept as C source text.
#ifndef KEL_XBMFORMAT_H
#define KEL_XBMFORMAT_H

#include "kelTableFormat.h"

class kelXBMFormat : public kelTableFormat {
public:
    kelXBMFormat();
    // An empty bitmap or one too large for a page could not be read back.
    int sizeIsSupported(int x, int y, int z, int c, kelOrientation orientation) override;
    // One page holds the whole image, its rows padded to whole bytes.
    int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc,
                            kelOrientation orientation) override;
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation orientation) override;
    kelFile* newfileobj() override;
};

extern kelXBMFormat theXBMformat;

#endif
