// The "Raw" format: headerless pixel data whose geometry and layout come
// from the format arguments of the file name.
#ifndef KEL_RAWFORMAT_H
#define KEL_RAWFORMAT_H

#include <kel/kelFormat.h>

class kelRawFormat : public kelFormat {
public:
    kelRawFormat();

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
    // A page is the whole image.
    void getPreferredPageSize(int x, int y, int z, int c, int& px, int& py, int& pz, int& pc,
                              kelOrientation) override;
    kelFile* newfileobj() override;
};

extern kelRawFormat theRawFormat;

#endif
