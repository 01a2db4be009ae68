#ifndef FOUNTAIN_VIEWER_SOLIDSHAPES_H
#define FOUNTAIN_VIEWER_SOLIDSHAPES_H

class SoNode;

// A new, unreferenced node after which the opaque shapes that give no shape
// hints of their own are drawn as closed solids with counter-clockwise
// faces, so that the renderer skips their back faces. Transparent shapes
// are left as they are.
SoNode * newSolidOpaqueShapes(void);

#endif
