// Relations between the eight orientations: flips, transposition, and how
// sizes, boxes, points and directions read in another orientation.
#ifndef KEL_ORIENTATION_H
#define KEL_ORIENTATION_H

#include <kel/kelCoord.h>
#include <kel/kelTile.h>
#include <kel/kelTypes.h>

// Indexed by orientation value; entry 0 is no orientation.
extern const char kelOrientationIsLow[9];
extern const char kelOrientationIsLeft[9];
extern const char kelOrientationIsTrans[9];

kelOrientation kelMapOrientation(kelOrientation orientation, int flipX, int flipY, int transXY);
void kelMapFlipTrans(kelOrientation fromOrientation, kelFlip& flip, int& transXY, kelOrientation toOrientation);
void kelMapTile(kelOrientation from, kelTile2D<int>& tile, kelFlip& flip, int& transXY, kelOrientation to,
                const kelSize& size);
void kelMapTile(kelOrientation from, kelTile2D<int>& tile, kelOrientation to, const kelSize& size);
void kelMapTile(kelOrientation from, kelTile2D<float>& tile, kelOrientation to, const kelSize& size);
void kelMapXY(kelOrientation from, float& x, float& y, kelOrientation to, const kelSize& size);
void kelMapXY(kelOrientation from, int& x, int& y, kelOrientation to, const kelSize& size);
void kelMapXYSign(kelOrientation from, float& x, float& y, kelOrientation to);
int kelOrientationIsMirror(kelOrientation fromOrientation, kelOrientation toOrientation);
void kelMapSize(kelOrientation from, kelSize& size, kelOrientation to);
void kelMapSize(kelOrientation from, int& sx, int& sy, kelOrientation to);

#endif
