// A block of pixel memory described as a region of an image, or one pixel
// value standing for every pixel. Assigning one converter to another
// converts the pixels of the region both cover.
#ifndef KEL_CONVERTER_H
#define KEL_CONVERTER_H

#include <kel/kelCoord.h>
#include <kel/kelExport.h>
#include <kel/kelTile.h>
#include <kel/kelTypes.h>

class kelPixel;

class KEL_API kelConverter {
public:
    kelConverter() {}
    ~kelConverter() {}
    kelConverter(const kelConverter& conv) = default;
    // Note the argument order: extents before origin, channel offset last.
    kelConverter(void* data, kelDataType type, kelOrder order, int nc, int* chans, int nx, int ny, int nz, int x,
                 int y, int z, int c);
    kelConverter(const kelPixel& val, kelTile3D<int>* fillMask, int* chans, int coff);

    void init(void* dp, kelDataType ty, kelOrder ord, int nc, const int* chans, int nx, int ny, int nz, int x, int y,
              int z, int c);
    void init(const kelPixel& val, const kelTile3D<int>* fillMask, const int* chans, int coff);

    void setData(const kelPixel& value, const int* chans, int coff);
    void setData(void* data) { this->data = data; }
    void setTile(int x, int y, int z, int nx, int ny, int nz);
    void setFlip(kelFlip flip);
    void setTransposeXY(int t);
    void setOrigin(int x, int y, int z, int c);
    void setClip(int x, int y, int z, int nx, int ny, int nz);
    void setMask(const kelTile3D<int>* copyMask);
    kelFillMode checkMask(const kelTile3D<int>& tile) const;
    // Describes only the first `n` channels of the block, which keeps the
    // steps of all its channels: a page that runs past the image's channels
    // costs work for the channels inside only. Call it after the layout.
    void limitChannels(int n) { cSize = n; }

    // Converts the region common to both from `from` into this block.
    void operator=(kelConverter& from);

    void* data;
    kelTile3D<int> area;
    kelXYZ<int> stride;
    int cStart;
    int cStride;
    int cSize;
    kelTile3D<int> clip;
    kelDataType type;
    kelOrder order;
    const int* cList;
    int clipSet;
    int flipX;
    int flipY;
    int transposeXY;
    kelTile3D<int> mask;
    int fill;

private:
    void init();
    void resetStrides();
};

#endif
