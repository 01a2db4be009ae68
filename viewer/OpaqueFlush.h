#ifndef FOUNTAIN_VIEWER_OPAQUEFLUSH_H
#define FOUNTAIN_VIEWER_OPAQUEFLUSH_H

class SoNode;

// A new, unreferenced node that, drawn after the whole scene, sends what has
// been drawn so far - the opaque shapes - to the OpenGL renderer before the
// viewer draws the delayed transparent shapes. It draws nothing itself.
SoNode * newOpaqueFlush(void);

#endif
