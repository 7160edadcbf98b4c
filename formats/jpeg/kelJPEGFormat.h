// The "JPEG" format: luminance, RGB and CMYK photographs of one image,
// read and written with libjpeg-turbo.
#ifndef KEL_JPEGFORMAT_H
#define KEL_JPEGFORMAT_H

#include "kelTableFormat.h"

// Pages of an open file are as wide as kelJPEGPageWidth (a multiple of
// every iMCU width), those of a new file as wide as kelJPEGNewPageWidth, so
// that tiles of 128, 256 or 512 columns cover whole pages; both as high as
// two MCU rows of 4:2:0, and never larger than the image.
enum { kelJPEGPageWidth = 512, kelJPEGNewPageWidth = 256, kelJPEGPageHeight = 16 };

class kelJPEGFormat : public kelTableFormat {
public:
    kelJPEGFormat();
    // Pages of one plane that hold every channel; a page beyond the image
    // would only cost memory.
    int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc,
                            kelOrientation orientation) override;
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation orientation) override;
    kelFile* newfileobj() override;
};

extern kelJPEGFormat theJPEGFormat;

#endif
