// A drop of the central jet.

#include "drops/JetDrop.h"

#include "drops/DropBranch.h"
#include "drops/DropTick.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoTransform.h>

namespace {
const float SHOWN = 0.7f;
const float HIDDEN = 1.0f;
}

JetDrop::JetDrop(float x, float y, float z, float radius, float launchSpeed,
                 float floorLevel, WaveSurfaceKit * targetSurface)
  : position(x, y, z),
    velocity(0.0f, 0.0f, launchSpeed),
    radius(radius),
    startPosition(x, y, z),
    launchSpeed(launchSpeed),
    floorLevel(floorLevel),
    scattered(false),
    currentTransparency(SHOWN),
    launchedWithJet(true),
    targetSurface(targetSurface),
    transformNode(NULL),
    materialNode(NULL)
{
}

SoSeparator *
JetDrop::buildSceneBranch(void)
{
  DropBranch branch = buildDropBranch(this->position, this->radius);
  this->transformNode = branch.transform;
  this->materialNode = branch.material;
  return branch.root;
}

void
JetDrop::advance(float dt, bool jetOn)
{
  this->position[1] += dt * this->velocity[1];
  this->position[2] += dt * this->velocity[2];
  this->velocity[2] -= dt * this->radius * 10.0f;

  // Past the apex the drop drifts sideways once, x drawn before y.
  if (this->velocity[2] < 0.0f && !this->scattered) {
    this->position[0] += randomAround(0.0f, 0.15f);
    this->position[1] += randomAround(0.0f, 0.15f);
    this->scattered = true;
  }

  if (this->position[2] < this->floorLevel && this->velocity[2] < 0.0f) {
    // The flight that ends now decides the ripple and the visibility of the
    // next one; the jet state now decides the flight after that.
    if (this->launchedWithJet) {
      this->currentTransparency = SHOWN;
      this->targetSurface->disturb(this->position[0], this->position[1]);
    }
    else {
      this->currentTransparency = HIDDEN;
    }
    this->position = this->startPosition;
    this->velocity[2] = this->launchSpeed;
    this->scattered = false;
    this->launchedWithJet = jetOn;
    this->materialNode->transparency = this->currentTransparency;
  }

  this->transformNode->translation = this->position;
}
