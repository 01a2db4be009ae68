#ifndef FOUNTAIN_VIEWER_SCREENSPACEDETAIL_H
#define FOUNTAIN_VIEWER_SCREENSPACEDETAIL_H

class SoNode;
class SoSeparator;

// Complexity of the viewer's curved shapes (spheres, cylinders, cones),
// measured on the screen: a shape gets as many facets as its size on the
// screen needs, so a far-away drop a few pixels wide is drawn with a handful
// of triangles and one seen up close is still round.
extern const float screenSpaceComplexity;

// A new, unreferenced separator that draws root with that complexity. The
// viewer shows this instead of root; root itself is not changed.
SoSeparator * withScreenSpaceDetail(SoNode * root);

#endif
