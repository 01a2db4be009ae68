// Type registration, construction, sensor wiring and destruction of the
// water-surface kit. The mesh, the solver, the disturbance and the mouse
// handling live in files of their own.

#include "wave/PointBuffer.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/events/SoLocation2Event.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoPickStyle.h>
#include <Inventor/sensors/SoFieldSensor.h>
#include <Inventor/sensors/SoIdleSensor.h>
#include <Inventor/sensors/SoOneShotSensor.h>

SO_KIT_SOURCE(WaveSurfaceKit);

void
WaveSurfaceKit::initClass(void)
{
  SO_KIT_INIT_CLASS(WaveSurfaceKit, SoShapeKit, "SoShapeKit");
}

WaveSurfaceKit::WaveSurfaceKit(void)
{
  constructCommon(70, 1.0f, 1.0f, 0.0f, 0.0f, 10);
}

WaveSurfaceKit::WaveSurfaceKit(int32_t resolution, float halfSizeX, float halfSizeY,
                               float centerX, float centerY, int32_t bumpSize)
{
  constructCommon(resolution, halfSizeX, halfSizeY, centerX, centerY, bumpSize);
}

void
WaveSurfaceKit::constructCommon(int32_t resolution, float halfSizeX, float halfSizeY,
                                float centerX, float centerY, int32_t bumpSize)
{
  SO_KIT_CONSTRUCTOR(WaveSurfaceKit);

  SO_KIT_ADD_FIELD(pickOnBoundingBox, (TRUE));
  SO_KIT_ADD_FIELD(width, (resolution));
  SO_KIT_ADD_FIELD(height, (resolution));

  SO_KIT_INIT_INSTANCE();

  this->halfSizeX = halfSizeX;
  this->halfSizeY = halfSizeY;
  this->centerX = centerX;
  this->centerY = centerY;
  this->bumpSize = bumpSize;
  this->dragging = FALSE;
  this->rowLength = 0;
  this->numRows = 0;

  // The field sensors are attached only now that the fields hold their
  // initial values, so construction triggers none of them.
  this->pickSensor = new SoFieldSensor(WaveSurfaceKit::pickStyleCB, this);
  this->pickSensor->attach(&this->pickOnBoundingBox);
  this->widthSensor = new SoFieldSensor(WaveSurfaceKit::sizeChangedCB, this);
  this->widthSensor->attach(&this->width);
  this->heightSensor = new SoFieldSensor(WaveSurfaceKit::sizeChangedCB, this);
  this->heightSensor->attach(&this->height);

  this->rebuildSensor = new SoOneShotSensor(WaveSurfaceKit::rebuildCB, this);

  SoEventCallback * mouse = new SoEventCallback;
  mouse->addEventCallback(SoMouseButtonEvent::getClassTypeId(),
                          WaveSurfaceKit::mouseButtonCB, this);
  mouse->addEventCallback(SoLocation2Event::getClassTypeId(),
                          WaveSurfaceKit::mouseMoveCB, this);
  this->setPart("callbackList[0]", mouse);

  this->stepSensor = new SoIdleSensor(WaveSurfaceKit::stepCB, this);

  this->prevPoints = NULL;
  this->curPoints = NULL;
  this->nextPoints = NULL;

  this->rebuildMesh();
  WaveSurfaceKit::pickStyleCB(this, this->pickSensor);
}

WaveSurfaceKit::~WaveSurfaceKit()
{
  // Deleting a scheduled sensor takes it out of the queue, so no rebuild and
  // no step runs on a kit that is going away.
  delete this->pickSensor;
  delete this->widthSensor;
  delete this->heightSensor;
  delete this->rebuildSensor;
  delete this->stepSensor;

  PointBuffer::deallocate(this->prevPoints);
  PointBuffer::deallocate(this->curPoints);
  PointBuffer::deallocate(this->nextPoints);
}

void
WaveSurfaceKit::pickStyleCB(void * data, SoSensor *)
{
  WaveSurfaceKit * kit = static_cast<WaveSurfaceKit *>(data);
  SoPickStyle * style = static_cast<SoPickStyle *>(kit->getPart("pickStyle", TRUE));
  style->style = kit->pickOnBoundingBox.getValue() ? SoPickStyle::BOUNDING_BOX
                                                   : SoPickStyle::SHAPE;
}

void
WaveSurfaceKit::sizeChangedCB(void * data, SoSensor *)
{
  static_cast<WaveSurfaceKit *>(data)->rebuildSensor->schedule();
}

void
WaveSurfaceKit::rebuildCB(void * data, SoSensor *)
{
  static_cast<WaveSurfaceKit *>(data)->rebuildMesh();
}

void
WaveSurfaceKit::startSimulation(void)
{
  this->stepSensor->schedule();
}
