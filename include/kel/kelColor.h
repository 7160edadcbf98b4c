/* Color models: channel counts and alpha. */
#ifndef KEL_COLOR_H
#define KEL_COLOR_H

#include <kel/kelTypes.h>

#ifdef __cplusplus
extern "C" {
#endif

int kelColorModelChans(kelColorModel cm);
int kelColorModelHasAlpha(kelColorModel cm);
kelColorModel kelColorModelFromChans(int nc);

#ifdef __cplusplus
}
#endif

#endif
