#ifndef FOUNTAIN_VIEWER_DRIVERGLTHREAD_H
#define FOUNTAIN_VIEWER_DRIVERGLTHREAD_H

// Asks Mesa's OpenGL drivers to run the viewer's OpenGL calls on a thread of
// their own, unless the user has chosen otherwise in the environment. Takes
// effect only when called before the first OpenGL context is made; other
// drivers ignore it.
void preferDriverGLThread(void);

#endif
