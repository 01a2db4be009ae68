#ifndef FOUNTAIN_JETDROP_H
#define FOUNTAIN_JETDROP_H

// A drop of the central jet: shot straight up, scattered once past its apex,
// and shot up again when it falls back below the water.

#include <Inventor/SbLinear.h>

class SoMaterial;
class SoSeparator;
class SoTransform;
class WaveSurfaceKit;

class JetDrop {
public:
  JetDrop(float x, float y, float z, float radius, float launchSpeed,
          float floorLevel, WaveSurfaceKit * targetSurface);

  // Creates the drop's sphere branch and returns it unreferenced.
  SoSeparator * buildSceneBranch(void);

  // Moves the drop by dt of simulated time; jetOn is the jet's state now.
  void advance(float dt, bool jetOn);

  SbVec3f position;
  SbVec3f velocity;
  float radius;              // sphere radius; the fall acceleration is 10 * radius
  SbVec3f startPosition;
  float launchSpeed;
  float floorLevel;          // z below which a falling drop has landed
  bool scattered;            // the apex scatter of this flight is done
  float currentTransparency; // 0.7 shown, 1.0 hidden
  bool launchedWithJet;      // this flight began with the jet on
  WaveSurfaceKit * targetSurface;
  SoTransform * transformNode;
  SoMaterial * materialNode;
};

#endif
