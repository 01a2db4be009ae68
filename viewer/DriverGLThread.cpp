// Mesa's threaded OpenGL dispatch for the viewer's context.
//
// Walking the scene and turning its OpenGL calls into the renderer's work
// (state checks, vertex transformation, sorting triangles into screen tiles)
// both happen on the main thread unless the driver has a thread of its own
// for the second. Most of the frame's calls come from the 257 drops, drawn
// one at a time after the opaque shapes: with the driver's thread the main
// thread walks the next drop while the driver still works on the last one.
// On a busy two-core machine under the software renderer this drew about
// 10 % more frames a second at 1280 x 1024 and 7 % more at 1920 x 1080
// (medians of five alternating pairs each), with the same picture. On a
// faster two-core machine it first made no difference and cost about 3 ms
// more processor time a frame; once the frame's depth clear and the
// driver's memory churn had been cut, it drew 6 % more frames there too,
// for about 2 ms more processor time a frame. A user who sets mesa_glthread,
// for instance to false for a driver where it misbehaves or to spare the
// processor, keeps that choice.

#include "DriverGLThread.h"

#include <cstdlib>

void
preferDriverGLThread(void)
{
  setenv("mesa_glthread", "true", 0);
}
