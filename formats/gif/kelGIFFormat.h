// The "GIF" format: LZW-compressed color-index images, one page per image,
// several images per file.
#ifndef KEL_GIFFORMAT_H
#define KEL_GIFFORMAT_H

#include <kel/kelFormat.h>

class kelGIFFormat : public kelFormat {
public:
    kelGIFFormat();

    int typeIsSupported(kelDataType type) override;
    int orderIsSupported(kelOrder order) override;
    int orientationIsSupported(kelOrientation orientation) override;
    int colorModelIsSupported(kelColorModel cm) override;
    int compressionIsSupported(kelCompression compression) override;
    // One channel and one plane of at most 65535 x 65535 pixels.
    int sizeIsSupported(int x, int y, int z, int c, kelOrientation orientation) override;
    int pagingIsSupported() override;
    // The page is the whole image.
    int pageSizeIsSupported(int x, int y, int z, int c, int px, int py, int pz, int pc,
                            kelOrientation orientation) override;
    int randomAccessReadIsSupported() override;
    int randomAccessWriteIsSupported() override;
    kelDataType getPreferredType() override;
    kelOrder getPreferredOrder() override;
    kelOrientation getPreferredOrientation() override;
    kelColorModel getPreferredColorModel(int nc) override;
    kelCompression getPreferredCompression() override;
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation orientation) override;
    kelFile* newfileobj() override;

protected:
    kelTagDescription* _getTagDescriptions(int& count) override;
};

extern kelGIFFormat theGIFformat;

#endif
