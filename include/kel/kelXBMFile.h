/* Items of X bitmap (XBM) files, for getItem/setItem on a file of format
   "XBM". Plain C, so that callers of the C binding can use it too. */
#ifndef KEL_XBMFILE_H
#define KEL_XBMFILE_H

enum kelXBMItem {
    /* The cursor's hot spot: getItem(kelXBMhotSpot, int* x, int* y) and
       setItem(kelXBMhotSpot, int x, int y). It is written only when both
       coordinates are 0 or more; a file without one answers
       kelUNSUPPORTEDBYFILE. */
    kelXBMhotSpot = 0
};

#endif
