// One damped-wave step of the height field, run at every idle moment.

#include "wave/WaveSurfaceKit.h"

#include <Inventor/sensors/SoIdleSensor.h>

void
WaveSurfaceKit::stepSimulation(void)
{
  // TODO(moving water)
}

void
WaveSurfaceKit::stepCB(void * data, SoSensor * sensor)
{
  static_cast<WaveSurfaceKit *>(data)->stepSimulation();
  static_cast<SoIdleSensor *>(sensor)->schedule();
}
