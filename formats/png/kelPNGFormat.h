// The "PNG" format: one deflate-compressed image of gray, gray and alpha,
// RGB, RGBA or palette pixels per file, read and written through libspng.
#ifndef KEL_PNGFORMAT_H
#define KEL_PNGFORMAT_H

#include "kelTableFormat.h"

class kelPNGFormat : public kelTableFormat {
public:
    kelPNGFormat();
    // Any box of one plane and every channel.
    int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc,
                            kelOrientation orientation) override;
    // At most 256 x 32, and never larger than the image.
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation orientation) override;
    kelFile* newfileobj() override;
};

extern kelPNGFormat thePNGformat;

#endif
