#ifndef FOUNTAIN_VIEWER_FRONTVIEW_H
#define FOUNTAIN_VIEWER_FRONTVIEW_H

// The view a camera starts with when the scene brings no camera of its own:
// from the front of a z-up scene (from -y towards +y), tilted down a little,
// with +z up on the screen, the whole scene framed.

#include <Inventor/SbRotation.h>

class SoCamera;
class SoNode;
class SbViewportRegion;

// How far the start view looks down from the horizontal, in degrees. Every
// basin's water lies about one unit below the rim of its front wall; from
// this angle the far part of each of the three surfaces shows above the rim.
extern const float frontViewTiltDegrees;

// The camera orientation that looks along +y, tilted down by tiltDegrees,
// keeping +z up on the screen.
SbRotation frontViewOrientation(float tiltDegrees);

// Turns the camera to the front view and moves it back along its new
// direction until the whole scene under root fits into the viewport.
void aimAtFront(SoCamera * camera, SoNode * root, const SbViewportRegion & viewport);

#endif
