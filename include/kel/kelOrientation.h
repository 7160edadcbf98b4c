// Relations between the eight orientations: flips, transposition, and how
// sizes, boxes, points and directions read in another orientation.
#ifndef KEL_ORIENTATION_H
#define KEL_ORIENTATION_H

#include <kel/kelCoord.h>
#include <kel/kelExport.h>
#include <kel/kelTile.h>
#include <kel/kelTypes.h>

// Indexed by orientation value; entry 0 is no orientation.
extern KEL_API const char kelOrientationIsLow[9];
extern KEL_API const char kelOrientationIsLeft[9];
extern KEL_API const char kelOrientationIsTrans[9];

KEL_API kelOrientation kelMapOrientation(kelOrientation orientation, int flipX, int flipY, int transXY);
KEL_API void kelMapFlipTrans(kelOrientation fromOrientation, kelFlip& flip, int& transXY,
                             kelOrientation toOrientation);
KEL_API void kelMapTile(kelOrientation from, kelTile2D<int>& tile, kelFlip& flip, int& transXY, kelOrientation to,
                        const kelSize& size);
KEL_API void kelMapTile(kelOrientation from, kelTile2D<int>& tile, kelOrientation to, const kelSize& size);
KEL_API void kelMapTile(kelOrientation from, kelTile2D<float>& tile, kelOrientation to, const kelSize& size);
KEL_API void kelMapXY(kelOrientation from, float& x, float& y, kelOrientation to, const kelSize& size);
KEL_API void kelMapXY(kelOrientation from, int& x, int& y, kelOrientation to, const kelSize& size);
KEL_API void kelMapXYSign(kelOrientation from, float& x, float& y, kelOrientation to);
KEL_API int kelOrientationIsMirror(kelOrientation fromOrientation, kelOrientation toOrientation);
KEL_API void kelMapSize(kelOrientation from, kelSize& size, kelOrientation to);
KEL_API void kelMapSize(kelOrientation from, int& sx, int& sy, kelOrientation to);

#endif
