// Scene set-up at start-up and the jet switch.

#include "app/Application.h"

#include "app/Fountain.h"
#include "drops/DropTick.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/events/SoKeyboardEvent.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSpotLight.h>
#include <Inventor/nodes/SoTexture2.h>
#include <Inventor/sensors/SoTimerSensor.h>

SoSeparator * sceneRoot = NULL;
bool jetEnabled = false;
SoTimerSensor * dropClock = NULL;

void
keyCallback(void *, SoEventCallback * node)
{
  const SoEvent * event = node->getEvent();
  if (SO_KEY_PRESS_EVENT(event, J)) {
    jetEnabled = !jetEnabled;
    node->setHandled();
  }
}

void
createScene(void)
{
  WaveSurfaceKit::initClass();

  sceneRoot = new SoSeparator;
  sceneRoot->ref();

  SoTexture2 * texture = new SoTexture2;
  texture->filename = "textures/stone.jpg";
  sceneRoot->addChild(texture);

  SoSpotLight * light = new SoSpotLight;
  light->location = SbVec3f(-10.0f, -15.0f, 10.0f);
  light->direction = SbVec3f(1.0f, 1.0f, -1.0f);
  light->color = SbColor(1.0f, 1.0f, 1.0f);
  sceneRoot->addChild(light);

  dropClock = new SoTimerSensor(simulationTick, NULL);
  dropClock->setInterval(SbTime(0.04));
  // The ticks keep to a grid of 0.04 s from now. Without a base time the
  // library schedules each tick 0.04 s after the previous one actually ran,
  // so every tick that waits for a frame to finish pushes all later ones
  // back, and the drops fly slower than their clock says.
  dropClock->setBaseTime(SbTime::getTimeOfDay());
  dropClock->schedule();

  buildFountain();

  SoEventCallback * keys = new SoEventCallback;
  keys->addEventCallback(SoEvent::getClassTypeId(), keyCallback);
  sceneRoot->addChild(keys);
}

void
destroyScene(void)
{
  delete dropClock;
  dropClock = NULL;
  releaseDrops();
  if (sceneRoot) sceneRoot->unref();
  sceneRoot = NULL;
}
