// Sending the opaque part of each frame to the renderer early.
//
// The viewer draws a frame in two parts: first the opaque shapes in scene
// order, then the transparent ones (the water and the 257 drops) one at a
// time, sorted back to front. A software renderer such as Mesa's llvmpipe
// only collects the triangles of a frame and has its worker threads fill the
// pixels when the frame is flushed, at the buffer swap. Without help the
// workers idle while the main thread walks the transparent shapes, and the
// main thread then idles while the workers fill the whole frame. A flush
// between the two parts lets the workers fill the opaque part, most of the
// screen, while the main thread is still drawing the transparent shapes.
// The picture is the same; a renderer that works as commands arrive merely
// sees one flush more per frame.

#include "OpaqueFlush.h"

#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoCallback.h>

#include <GL/gl.h>

namespace {

void
flushCB(void *, SoAction * action)
{
  if (action->isOfType(SoGLRenderAction::getClassTypeId())) glFlush();
}

}

SoNode *
newOpaqueFlush(void)
{
  SoCallback * flush = new SoCallback;
  flush->setCallback(flushCB);
  return flush;
}
