#ifndef FOUNTAIN_VIEWER_SCREENSPACEDETAIL_H
#define FOUNTAIN_VIEWER_SCREENSPACEDETAIL_H

class SoNode;

// Complexity of the viewer's curved shapes (spheres, cylinders, cones),
// measured on the screen: a shape gets as many facets as its size on the
// screen needs, so a far-away drop a few pixels wide is drawn with a handful
// of triangles and one seen up close is still round.
extern const float screenSpaceComplexity;

// A new, unreferenced node that sets that complexity for what follows it.
SoNode * newScreenSpaceDetail(void);

#endif
