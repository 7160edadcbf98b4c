// A palette: a lookup table over the integer domain first index ... last
// index, with one entry per index.
#ifndef KEL_COLORMAP_H
#define KEL_COLORMAP_H

#include <kel/kelExport.h>
#include <kel/kelLut.h>

class KEL_API kelColormap : public kelLut {
public:
    // Over the caller's table (borrowed).
    kelColormap(void* data, int numChan, kelDataType dtype, int min, int max);
    kelColormap(int numChan, kelDataType dtype, int min, int max);
    kelColormap();
    kelColormap(const kelColormap& from);
    ~kelColormap() override;

    kelColormap& operator=(const kelColormap& from);
};

#endif
