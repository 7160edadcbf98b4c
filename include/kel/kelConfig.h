// The layout of a caller's pixel buffer for one tile transfer.
#ifndef KEL_CONFIG_H
#define KEL_CONFIG_H

#include <kel/kelExport.h>
#include <kel/kelTypes.h>

class KEL_API kelConfig {
public:
    kelConfig();
    // Note the argument order: the orientation comes last.
    kelConfig(kelDataType type, kelOrder ord, int nchan, int* chanList = nullptr, int coff = 0,
              kelOrientation ori = kelOrientation(0));
    ~kelConfig() {}

    // The image channel that buffer channel i carries, -1 for none.
    int mapChan(int i) const;
    int operator[](int i) const { return mapChan(i); }
    void invert(int nc, int* chanList) const;
    int isInvertable() const;
    void compose(int nc, int* in, int* out) const;

    kelDataType dtype;
    kelOrder order;
    kelOrientation orientation; // 0: the file's own
    int nchans;                 // 0: the file's channel count
    int choff;
    int* channels;              // borrowed, never owned
};

#endif
