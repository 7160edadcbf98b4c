// The "XBM" format: X bitmaps, monochrome pictures kept as C source text.
#ifndef KEL_XBMFORMAT_H
#define KEL_XBMFORMAT_H

#include <kel/kelFormat.h>

class kelXBMFormat : public kelFormat {
public:
    kelXBMFormat();

    int typeIsSupported(kelDataType type) override;
    int orderIsSupported(kelOrder order) override;
    int orientationIsSupported(kelOrientation orientation) override;
    int colorModelIsSupported(kelColorModel cm) override;
    int compressionIsSupported(kelCompression compression) override;
    int sizeIsSupported(int x, int y, int z, int c, kelOrientation) override;
    int pagingIsSupported() override;
    int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc, kelOrientation) override;
    int randomAccessReadIsSupported() override;
    int randomAccessWriteIsSupported() override;
    kelDataType getPreferredType() override;
    kelOrder getPreferredOrder() override;
    kelOrientation getPreferredOrientation() override;
    kelColorModel getPreferredColorModel(int nc) override;
    kelCompression getPreferredCompression() override;
    // One page holds the whole image, its rows padded to whole bytes.
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation) override;
    kelFile* newfileobj() override;

protected:
    kelTagDescription* _getTagDescriptions(int& count) override;
};

extern kelXBMFormat theXBMformat;

#endif
