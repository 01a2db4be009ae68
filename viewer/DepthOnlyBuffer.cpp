// A render area without a stencil buffer.
//
// The Qt binding asks for a stencil buffer by default, and the drivers then
// keep depth and stencil together, 24 and 8 bits of each pixel's word. The
// library clears only the depth at the start of every frame (nothing draws
// into the stencil), so the software renderer has to keep the stencil bits
// of every word: it reads, masks and writes the depth buffer pixel by
// pixel. That took about a tenth of all the processor time the fountain
// used at 1280 x 1024. Without a stencil buffer the whole word is depth,
// and the same clear is a plain fill of the buffer. The fountain uses no
// stencil, and the depth keeps at least its 24 bits.

#include "DepthOnlyBuffer.h"

#include <Inventor/Qt/SoQtGLWidget.h>

void
requestDepthOnlyBuffer(SoQtGLWidget * area)
{
  area->setStencilBuffer(FALSE);
}
