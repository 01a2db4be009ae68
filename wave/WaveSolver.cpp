// One damped-wave step of the height field, run at every idle moment: the
// update of all heights (wave/HeightUpdate.h), the publication of the new
// level into the "coordinate3" part, and the rotation of the three levels.

#include "wave/HeightUpdate.h"
#include "wave/SubnormalsFlushed.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/sensors/SoIdleSensor.h>

#include <cstddef>
#include <vector>

void
WaveSurfaceKit::stepSimulation(void)
{
  // The "coordinate3" part as getPart("coordinate3", TRUE) finds it: the
  // kit holds each part in a field of the part's name, so the current part
  // is read from there; only a missing part goes through getPart, which
  // creates it.
  SoNode * part = this->coordinate3.getValue();
  if (!part) {
    static const SbName coordinatePart("coordinate3");
    part = this->getPart(coordinatePart, TRUE);
  }
  SoCoordinate3 * coords = static_cast<SoCoordinate3 *>(part);

  // The dimensions the buffers were built for: a size change that has not
  // been rebuilt yet must not move the step outside them.
  const int32_t W = this->numRows;
  const int32_t H = this->rowLength;
  if (W < 2 || H < 2 || !this->curPoints) return;

  // The update works in four rows of widened heights; the room grows with
  // the longest row seen and is never given back, so steps allocate nothing.
  static thread_local std::vector<double> rowCache;
  const size_t rowCacheLength = HeightUpdate::rowCacheLength(H);
  if (rowCache.size() < rowCacheLength) rowCache.resize(rowCacheLength);
  static const HeightUpdate::Advance advance = HeightUpdate::fastestAdvance();

  // The update writes the new level into nextPoints and, as one block, into
  // the field, which then notifies the scene graph once, as setValues(0,
  // W * H, nextPoints) does.
  const int32_t numPoints = W * H;
  if (coords->point.getNum() != numPoints) coords->point.setNum(numPoints);
  const HeightUpdate::Levels levels = {
    &this->curPoints[0][0], &this->prevPoints[0][0], &this->nextPoints[0][0],
    &coords->point.startEditing()[0][0], W, H,
  };
  {
    const SubnormalsFlushed flushed;
    advance(levels, rowCache.data());
  }
  coords->point.finishEditing();

  // Then the arrays change roles.
  SbVec3f * const oldPrev = this->prevPoints;
  this->prevPoints = this->curPoints;
  this->curPoints = this->nextPoints;
  this->nextPoints = oldPrev;
}

void
WaveSurfaceKit::stepCB(void * data, SoSensor * sensor)
{
  static_cast<WaveSurfaceKit *>(data)->stepSimulation();
  static_cast<SoIdleSensor *>(sensor)->schedule();
}
