// A drop that falls from a spout into the basin below and ripples it.

#include "drops/CascadeDrop.h"

#include "drops/DropBranch.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/nodes/SoTransform.h>

CascadeDrop::CascadeDrop(float x, float y, float z, float radius, float baseSpeed,
                         float floorLevel, WaveSurfaceKit * targetSurface,
                         WaveSurfaceKit * sourceSurface)
  : position(x, y, z),
    velocity(0.0f, -baseSpeed, 0.0f),
    radius(radius),
    baseSpeed(baseSpeed),
    startPosition(x, y, z),
    floorLevel(floorLevel),
    targetSurface(targetSurface),
    sourceSurface(sourceSurface),
    transformNode(NULL)
{
}

SoSeparator *
CascadeDrop::buildSceneBranch(void)
{
  DropBranch branch = buildDropBranch(this->position, this->radius);
  this->transformNode = branch.transform;
  return branch.root;
}

void
CascadeDrop::advance(float dt)
{
  this->position[1] += dt * this->velocity[1];
  this->position[2] += dt * this->velocity[2];
  this->velocity[2] -= dt * this->radius * 10.0f;

  if (this->position[2] < this->floorLevel) {
    // Landed: ripple the basin one unit beyond the spout and leave again,
    // faster the higher the source water stands at its spout edge.
    this->position[1] = this->startPosition[1];
    this->position[2] = this->startPosition[2];
    this->velocity[2] = 0.0f;
    this->targetSurface->disturb(this->position[0], this->startPosition[1] - 1.0f);
    const float level = this->sourceSurface->waterLevel();
    this->velocity[1] = -this->baseSpeed - 1.5f * level;
  }

  this->transformNode->translation = this->position;
}
