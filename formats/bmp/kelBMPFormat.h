// The "BMP" format: device-independent bitmaps of 1, 4, 8 or 24 bits per
// pixel, read uncompressed or run-length encoded, written uncompressed.
#ifndef KEL_FORMATS_BMP_FORMAT_H
#define KEL_FORMATS_BMP_FORMAT_H

#include <kel/kelFormat.h>

class kelBMPFormat : public kelFormat {
public:
    kelBMPFormat();

    int typeIsSupported(kelDataType type) override;
    int orderIsSupported(kelOrder order) override;
    int orientationIsSupported(kelOrientation orientation) override;
    int colorModelIsSupported(kelColorModel cm) override;
    int compressionIsSupported(kelCompression compression) override;
    int sizeIsSupported(int x, int y, int z, int c, kelOrientation orientation) override;
    int pagingIsSupported() override;
    int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc,
                            kelOrientation orientation) override;
    int randomAccessReadIsSupported() override;
    int randomAccessWriteIsSupported() override;
    kelDataType getPreferredType() override;
    kelOrder getPreferredOrder() override;
    kelOrientation getPreferredOrientation() override;
    kelColorModel getPreferredColorModel(int nc) override;
    kelCompression getPreferredCompression() override;
    // A page is the whole image.
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation orientation) override;
    kelFile* newfileobj() override;

protected:
    kelTagDescription* _getTagDescriptions(int& count) override;
};

extern kelBMPFormat theBMPFormat;

#endif
