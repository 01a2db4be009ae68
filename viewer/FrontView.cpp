// The start view of the viewer: the fountain seen from the front.

#include "FrontView.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/nodes/SoCamera.h>

#include <cmath>

const float frontViewTiltDegrees = 35.0f;

SbRotation
frontViewOrientation(float tiltDegrees)
{
  // A camera looks along -z with +y up. Turning it about +x by a quarter
  // turn makes it look along +y with +z up; a smaller turn leaves it looking
  // down by the difference.
  const float quarter = float(M_PI) / 2.0f;
  const float tilt = tiltDegrees * float(M_PI) / 180.0f;
  return SbRotation(SbVec3f(1.0f, 0.0f, 0.0f), quarter - tilt);
}

void
aimAtFront(SoCamera * camera, SoNode * root, const SbViewportRegion & viewport)
{
  camera->orientation = frontViewOrientation(frontViewTiltDegrees);
  camera->viewAll(root, viewport);
}
