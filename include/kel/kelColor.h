/* Color models: channel counts and alpha. */
#ifndef KEL_COLOR_H
#define KEL_COLOR_H

#include <kel/kelExport.h>
#include <kel/kelTypes.h>

#ifdef __cplusplus
extern "C" {
#endif

KEL_API int kelColorModelChans(kelColorModel cm);
KEL_API int kelColorModelHasAlpha(kelColorModel cm);
KEL_API kelColorModel kelColorModelFromChans(int nc);

#ifdef __cplusplus
}
#endif

#endif
