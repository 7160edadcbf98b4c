// The FIT header. Version 2 (written and read), 80 bytes, big-endian:
//   0 magic "IT", 2 version "02", 4 size x y z c, 20 data type, 24 order,
//   28 orientation, 32 color model, 36 page size x y z c, 52 zero,
//   56 scale minimum, 64 scale maximum (doubles), 72 data offset, 76 zero.
// Version 1 (read, and rewritten in place), 56 bytes: the same first 52
// bytes with version "01" and the color model stored less one, then the
// data offset; it has no scale range.
// The user area runs from the end of the header to the data offset.
#ifndef KEL_FITHEADER_H
#define KEL_FITHEADER_H

enum {
    kelFITHeaderBytes = 80,
    kelFITVersion1HeaderBytes = 56
};

#endif
