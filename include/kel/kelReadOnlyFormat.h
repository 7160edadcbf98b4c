// Base of formats that can only be read: every capability and preference
// answers 0, so files of such a format can be opened but never created.
#ifndef KEL_READONLYFORMAT_H
#define KEL_READONLYFORMAT_H

#include <kel/kelExport.h>
#include <kel/kelFormat.h>

class KEL_API kelReadOnlyFormat : public kelFormat {
public:
    int typeIsSupported(kelDataType) override;
    int orderIsSupported(kelOrder) override;
    int orientationIsSupported(kelOrientation) override;
    int colorModelIsSupported(kelColorModel) override;
    int compressionIsSupported(kelCompression) override;
    int sizeIsSupported(int, int, int, int, kelOrientation) override;
    int pagingIsSupported() override;
    int pageSizeIsSupported(int, int, int, int, int, int, int, int, kelOrientation) override;
    int randomAccessReadIsSupported() override;
    int randomAccessWriteIsSupported() override;
    kelDataType getPreferredType() override;
    kelOrder getPreferredOrder() override;
    kelOrientation getPreferredOrientation() override;
    kelColorModel getPreferredColorModel(int) override;
    kelCompression getPreferredCompression() override;
    void getPreferredPageSize(int, int, int, int, int&, int&, int&, int&, kelOrientation) override;

protected:
    explicit kelReadOnlyFormat(const char* formatName) : kelFormat(formatName) {}
};

#endif
