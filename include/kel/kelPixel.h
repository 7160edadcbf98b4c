// One pixel value: a few components of one data type in owned storage.
// Components are read and written as doubles.
#ifndef KEL_PIXEL_H
#define KEL_PIXEL_H

#include <kel/kelExport.h>
#include <kel/kelTypes.h>

class KEL_API kelPixel {
public:
    kelPixel() { init(); }
    kelPixel(kelDataType tp, int c, const void* d);
    kelPixel(const kelPixel& p);
    ~kelPixel();

    void set(kelDataType tp, int nc, const void* dat);
    kelPixel& operator=(const kelPixel& p);
    // Makes this pixel the conversion of pix; component k takes pix's
    // component chans[k] (or k), its last one where pix has fewer.
    void convert(const kelPixel& pix, kelDataType toType, int nc, int* chans);

    double getElem(int index) const;
    void setElem(double eval, int index);
    double min() const;
    double max() const;

    int operator==(const kelPixel& p) const;
    int operator!=(const kelPixel& p) const { return !(*this == p); }

    int getNumChans() const { return nchans; }
    kelDataType getDataType() const { return dtype; }
    void* getData() const { return data; }
    double operator[](int i) const { return getElem(i); }

private:
    void init();
    unsigned int byteSize() const;

    kelDataType dtype;
    int nchans;
    void* data;
};

#endif
