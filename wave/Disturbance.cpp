// Excitation of the water at a scene point and the level probe.

#include "wave/WaveSurfaceKit.h"

void
WaveSurfaceKit::disturb(float, float)
{
  // TODO(moving water)
}

float
WaveSurfaceKit::waterLevel(void)
{
  return this->nextPoints[(this->numRows / 2) * this->rowLength].getValue()[2];
}
