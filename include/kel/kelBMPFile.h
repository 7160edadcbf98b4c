// Items of the BMP format, exchanged with getItem/setItem (one int each;
// getItem takes an int*). kelBMPHeaderSize can only be read.
#ifndef KEL_BMPFILE_H
#define KEL_BMPFILE_H

enum kelBMPItem : int {
    kelBMPHorizResolution = 1,   // pixels per metre
    kelBMPVertResolution = 2,    // pixels per metre
    kelBMPSignificantColors = 3, // palette entries that matter; 0: all
    kelBMPHeaderSize = 4         // bytes of the info header: 12, 40, 108, 124, ...
};

#endif
