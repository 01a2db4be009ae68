// Stirring the water by dragging over it with mouse button 1.

#include "wave/WaveSurfaceKit.h"

#include <Inventor/nodes/SoEventCallback.h>

void
WaveSurfaceKit::mouseButtonCB(void *, SoEventCallback *)
{
  // TODO(moving water)
}

void
WaveSurfaceKit::mouseMoveCB(void *, SoEventCallback *)
{
  // TODO(moving water)
}
