// The "FIT" format: kel's own tiled format, which stores every data type,
// order, orientation and color model, uncompressed.
#ifndef KEL_FITFORMAT_H
#define KEL_FITFORMAT_H

#include <kel/kelFormat.h>

class kelFITFormat : public kelFormat {
public:
    kelFITFormat();

    int typeIsSupported(kelDataType) override;
    int orderIsSupported(kelOrder) override;
    int orientationIsSupported(kelOrientation) override;
    int colorModelIsSupported(kelColorModel) override;
    int compressionIsSupported(kelCompression compression) override;
    int sizeIsSupported(int, int, int, int, kelOrientation) override;
    int pagingIsSupported() override;
    int pageSizeIsSupported(int, int, int, int, int, int, int, int, kelOrientation) override;
    int randomAccessReadIsSupported() override;
    int randomAccessWriteIsSupported() override;
    kelDataType getPreferredType() override;
    kelOrder getPreferredOrder() override;
    kelOrientation getPreferredOrientation() override;
    kelColorModel getPreferredColorModel(int nc) override;
    kelCompression getPreferredCompression() override;
    // Pages of 128 x 128 x 1 with every channel; components already chosen
    // are kept.
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation) override;
    kelFile* newfileobj() override;
};

extern kelFITFormat theFITFormat;

#endif
