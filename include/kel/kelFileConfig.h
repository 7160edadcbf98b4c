// The attributes of a file to create, or of an open file. A field of 0 (a
// size component of 0) is not chosen yet. Sizes are held upright, as seen in
// kelLowerLeftOrigin.
#ifndef KEL_FILECONFIG_H
#define KEL_FILECONFIG_H

#include <kel/kelCoord.h>
#include <kel/kelExport.h>
#include <kel/kelTypes.h>

class kelFile;

class KEL_API kelFileConfig {
public:
    kelFileConfig(const kelSize* imagedims = nullptr, kelDataType datatype = kelDataType(0),
                  kelOrder dimensionorder = kelOrder(0), kelColorModel colormodel = kelColorModel(0),
                  kelOrientation orientation = kelOrientation(0), kelCompression compression = kelCompression(0),
                  const kelSize* pagedims = nullptr);
    // The attributes of an open file, its sizes turned upright; null: reset.
    explicit kelFileConfig(kelFile* file);

    void reset();

    void setDimensions(const kelSize& s) { imageDims = s; }
    void setDataType(kelDataType t) { dtype = t; }
    void setOrder(kelOrder o) { order = o; }
    void setColorModel(kelColorModel m) { cm = m; }
    void setOrientation(kelOrientation o) { orient = o; }
    void setCompression(kelCompression c) { compress = c; }
    void setPageDimensions(const kelSize& s) { pageDims = s; }
    void setSpecified(int s) { specified = s; }

    // Upright sizes, or sizes as seen in the configuration's orientation.
    void getDimensions(kelSize& s) const { s = imageDims; }
    void getPageDimensions(kelSize& s) const { s = pageDims; }
    // The stored sizes themselves, valid as long as the configuration.
    const kelSize& getDimensions() const { return imageDims; }
    const kelSize& getPageDimensions() const { return pageDims; }
    void getSize(kelSize& s) const;
    void getPageSize(kelSize& s) const;
    kelDataType getDataType() const { return dtype; }
    kelOrder getOrder() const { return order; }
    kelColorModel getColorModel() const { return cm; }
    kelOrientation getOrientation() const { return orient; }
    kelCompression getCompression() const { return compress; }
    int getSpecified() const { return specified; }

    int areDimensionsDefaulted() const { return hasZero(imageDims); }
    int isDataTypeDefaulted() const { return dtype == 0; }
    int isOrderDefaulted() const { return order == 0; }
    int isColorModelDefaulted() const { return cm == 0; }
    int isOrientationDefaulted() const { return orient == 0; }
    int isCompressionDefaulted() const { return compress == 0; }
    int arePageDimensionsDefaulted() const { return hasZero(pageDims); }

private:
    static int hasZero(const kelSize& s) { return s.x == 0 || s.y == 0 || s.z == 0 || s.c == 0; }

    kelSize imageDims;
    kelDataType dtype;
    kelOrder order;
    kelColorModel cm;
    kelOrientation orient;
    kelCompression compress;
    kelSize pageDims;
    int specified;
};

#endif
