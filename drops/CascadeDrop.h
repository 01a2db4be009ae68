#ifndef FOUNTAIN_CASCADEDROP_H
#define FOUNTAIN_CASCADEDROP_H

// A drop of a stream that falls from a spout into the basin below.

#include <Inventor/SbLinear.h>

class SoSeparator;
class SoTransform;
class WaveSurfaceKit;

class CascadeDrop {
public:
  CascadeDrop(float x, float y, float z, float radius, float baseSpeed,
              float floorLevel, WaveSurfaceKit * targetSurface,
              WaveSurfaceKit * sourceSurface);

  // Creates the drop's sphere branch and returns it unreferenced.
  SoSeparator * buildSceneBranch(void);

  // Moves the drop by dt of simulated time; a drop that sinks below its
  // floor ripples its target and leaves its spout again.
  void advance(float dt);

  SbVec3f position;
  SbVec3f velocity;
  float radius;          // sphere radius; the fall acceleration is 10 * radius
  float baseSpeed;       // outward launch speed when the source is at rest
  SbVec3f startPosition;
  float floorLevel;      // z below which the drop has landed
  WaveSurfaceKit * targetSurface;
  WaveSurfaceKit * sourceSurface;
  SoTransform * transformNode;
};

#endif
