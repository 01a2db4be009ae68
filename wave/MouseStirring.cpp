// Stirring the water by dragging over it with mouse button 1.
//
// A press of button 1 starts a drag on every surface (the event reaches all
// of them) and stirs the water under the pointer at once; each motion while
// dragging stirs the surface the pointer is over, if the nearest thing under
// the pointer is that surface's water. Any other button event ends the drag.
// The events are never marked handled, so the rest of the scene sees them.

#include "wave/WaveSurfaceKit.h"

#include <Inventor/SoPath.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoEventCallback.h>

void
WaveSurfaceKit::mouseButtonCB(void * data, SoEventCallback * node)
{
  WaveSurfaceKit * kit = static_cast<WaveSurfaceKit *>(data);
  const SoMouseButtonEvent * event =
    static_cast<const SoMouseButtonEvent *>(node->getEvent());

  if (event->getButton() == SoMouseButtonEvent::BUTTON1 &&
      event->getState() == SoButtonEvent::DOWN) {
    kit->dragging = TRUE;
    mouseMoveCB(data, node);
  }
  else {
    kit->dragging = FALSE;
  }
}

void
WaveSurfaceKit::mouseMoveCB(void * data, SoEventCallback * node)
{
  WaveSurfaceKit * kit = static_cast<WaveSurfaceKit *>(data);
  if (!kit->dragging) return;

  const SoPickedPoint * picked = node->getPickedPoint();
  if (!picked) return;
  const SoPath * path = picked->getPath();
  if (!path || !path->containsNode(kit)) return;  // something else is in front

  const SbVec3f & where = picked->getPoint();  // world coordinates
  kit->disturb(where[0], where[1]);
}
