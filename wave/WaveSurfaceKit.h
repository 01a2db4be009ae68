#ifndef FOUNTAIN_WAVESURFACEKIT_H
#define FOUNTAIN_WAVESURFACEKIT_H

// One basin's water: a height field on a regular grid, advanced by a damped
// wave equation whenever the application is idle, drawn as a half-transparent
// environment-mapped triangle-strip mesh, and stirred by drops and the mouse.

#include <Inventor/SbLinear.h>
#include <Inventor/fields/SoSFBool.h>
#include <Inventor/fields/SoSFInt32.h>
#include <Inventor/nodekits/SoShapeKit.h>
#include <Inventor/nodekits/SoSubKit.h>

class SoEventCallback;
class SoFieldSensor;
class SoIdleSensor;
class SoOneShotSensor;
class SoSensor;

class WaveSurfaceKit : public SoShapeKit {
  typedef SoShapeKit inherited;
  SO_KIT_HEADER(WaveSurfaceKit);

public:
  static void initClass(void);

  WaveSurfaceKit(void);
  WaveSurfaceKit(int32_t resolution, float halfSizeX, float halfSizeY,
                 float centerX, float centerY, int32_t bumpSize);

  SoSFInt32 width;   // grid vertices along x
  SoSFInt32 height;  // grid vertices along y
  SoSFBool pickOnBoundingBox;

  // Vertex buffers of the previous, current and next time level, from
  // PointBuffer::allocate and freed by PointBuffer::deallocate. Vertex
  // (i, j), i along x and j along y, is element i * rowLength + j.
  SbVec3f * prevPoints;
  SbVec3f * curPoints;
  SbVec3f * nextPoints;

  SoOneShotSensor * rebuildSensor;
  SoIdleSensor * stepSensor;
  SoFieldSensor * pickSensor;
  SoFieldSensor * widthSensor;
  SoFieldSensor * heightSensor;

  int32_t dragging;    // TRUE from a button-1 press until the next button event
  int32_t rowLength;   // row stride: the height the buffers were built for
  float halfSizeX;     // placement scale along x
  float halfSizeY;     // placement scale along y
  float centerX;       // placement offset along x, in units of halfSizeX
  float centerY;       // placement offset along y, in units of halfSizeY
  int32_t bumpSize;    // side of the square a disturbance raises, in vertices

  // Number of rows (vertices along x) the buffers were built for. The solver,
  // the disturbance and the level probe use the built dimensions, so a change
  // of width or height that has not been rebuilt yet never reaches outside
  // the buffers.
  int32_t numRows;

  // Largest number of vertices along either axis that a rebuild accepts.
  static constexpr int32_t maxResolution = 2048;

  void startSimulation(void);
  void rebuildMesh(void);
  void stepSimulation(void);
  void disturb(float x, float y);
  float waterLevel(void);

  static void pickStyleCB(void * data, SoSensor * sensor);
  static void sizeChangedCB(void * data, SoSensor * sensor);
  static void rebuildCB(void * data, SoSensor * sensor);
  static void stepCB(void * data, SoSensor * sensor);
  static void mouseButtonCB(void * data, SoEventCallback * node);
  static void mouseMoveCB(void * data, SoEventCallback * node);

protected:
  virtual ~WaveSurfaceKit();

private:
  void constructCommon(int32_t resolution, float halfSizeX, float halfSizeY,
                       float centerX, float centerY, int32_t bumpSize);
};

#endif
