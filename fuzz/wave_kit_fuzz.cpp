// libFuzzer target: one water-surface kit, placed as the fountain places its
// basins and seen by a camera from above, driven by whatever sequence of
// operations the input spells out: disturbances at any float bits and on the
// grid, wave steps, level probes, changes of width and height to any value
// (with the delay queue processed in between or not), direct rebuilds, the
// pick-style switch and mouse button and motion events at any pixel.
//
// After every operation the kit must still hold a buildable grid whose three
// height levels are finite and whose drawn coordinates match the grid; any
// breach aborts, as does every sanitizer report.
//
// Input: the first byte chooses one of the four kit placements, each further
// operation is one byte followed by the operands it reads. An input that runs
// out of bytes reads zeros.

#include "wave/WaveSurfaceKit.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoDB.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/actions/SoHandleEventAction.h>
#include <Inventor/events/SoLocation2Event.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodekits/SoNodeKit.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/sensors/SoSensorManager.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The operands of an input, read front to back; zeros once it is used up.
class Operands {
public:
  Operands(const uint8_t * data, size_t size) : data(data), size(size) {}

  bool done() const { return this->pos >= this->size; }

  uint8_t byte() { return this->pos < this->size ? this->data[this->pos++] : 0; }

  uint32_t word() {
    uint32_t w = 0;
    for (int n = 0; n < 4; n++) w = (w << 8) | this->byte();
    return w;
  }

  float anyFloat() {
    const uint32_t bits = this->word();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
  }

  int16_t anyShort() {
    const uint16_t high = this->byte();
    const uint16_t low = this->byte();
    return int16_t(uint16_t(high << 8 | low));
  }

  // A grid size: mostly one of the values that matter at the borders of
  // what the kit accepts, otherwise any 32-bit integer.
  int32_t size32() {
    static const int32_t interesting[] = {
      0, 1, 2, 3, -1, -3, 5, 20, 30, 40, 70, 100000,
      WaveSurfaceKit::maxResolution, WaveSurfaceKit::maxResolution + 1,
      INT_MAX, INT_MIN, 46341, 65536,
    };
    const uint8_t choice = this->byte();
    const size_t count = sizeof interesting / sizeof interesting[0];
    if (choice < 2 * count) return interesting[choice % count];
    if (choice < 0xf0) return int32_t(choice % 64);  // small grids step fast
    return int32_t(this->word());
  }

private:
  const uint8_t * data;
  size_t size;
  size_t pos = 0;
};

struct Placement {
  int32_t resolution;
  float halfSizeX, halfSizeY, centerX, centerY;
  int32_t bumpSize;
};

// The three basins of the fountain and the kit's defaults.
const Placement placements[] = {
  { 40, 5.0f, 5.0f, 0.0f, -1.0f, 3 },
  { 30, 3.0f, 3.5f, 0.0f, -1.0f, 3 },
  { 20, 2.0f, 2.0f, 0.0f, -1.0f, 3 },
  { 70, 1.0f, 1.0f, 0.0f, 0.0f, 10 },
};

[[noreturn]] void
fail(const char * what, long a = 0, long b = 0)
{
  std::fprintf(stderr, "wave_kit_fuzz: %s (%ld, %ld)\n", what, a, b);
  std::abort();
}

void
checkWater(WaveSurfaceKit * kit)
{
  const int32_t W = kit->numRows;
  const int32_t H = kit->rowLength;
  if (W < 2 || H < 2 || W > WaveSurfaceKit::maxResolution || H > WaveSurfaceKit::maxResolution)
    fail("built size out of range", W, H);
  if (!kit->prevPoints || !kit->curPoints || !kit->nextPoints) fail("missing buffer");

  const SoNode * part = kit->getPart("coordinate3", FALSE);
  if (!part || !part->isOfType(SoCoordinate3::getClassTypeId())) fail("no coordinates");
  const SoCoordinate3 * coords = static_cast<const SoCoordinate3 *>(part);
  if (coords->point.getNum() != W * H) fail("coordinates do not match the grid", coords->point.getNum(), W * H);

  const SbVec3f * const levels[] = { kit->prevPoints, kit->curPoints, kit->nextPoints };
  for (const SbVec3f * level : levels) {
    for (int32_t k = 0; k < W * H; k++) {
      if (!std::isfinite(level[k][2])) fail("non-finite height at vertex", k, W * H);
    }
  }
}

// A scene point on or near the kit's grid: vertex (u, v) of a 256 x 256
// lattice stretched a little beyond the surface's edges.
SbVec2f
nearGrid(const Placement & p, uint8_t u, uint8_t v)
{
  const float xm = (float(u) / 255.0f) * 2.2f - 1.1f;
  const float ym = (float(v) / 255.0f) * 2.2f - 1.1f;
  return SbVec2f(p.halfSizeX * (xm + p.centerX), p.halfSizeY * (ym + p.centerY));
}

SbVec2s
pixel(Operands & in, const SbViewportRegion & viewport)
{
  // Operands are read into named values first: the order in which function
  // arguments are evaluated is unspecified.
  if (in.byte() & 1) {
    const int16_t x = in.anyShort();
    const int16_t y = in.anyShort();
    return SbVec2s(x, y);
  }
  const SbVec2s size = viewport.getWindowSize();
  const int u = in.byte();
  const int v = in.byte();
  return SbVec2s(short(u * size[0] / 256), short(v * size[1] / 256));
}

void
send(SoEvent & event, SoNode * root, const SbViewportRegion & viewport)
{
  SoHandleEventAction action(viewport);
  action.setEvent(&event);
  action.apply(root);
}

void
processDelayQueue(bool idle)
{
  SoDB::getSensorManager()->processDelayQueue(idle ? TRUE : FALSE);
}

}

extern "C" int
LLVMFuzzerInitialize(int *, char ***)
{
  SoDB::init();
  SoNodeKit::init();
  SoInteraction::init();
  WaveSurfaceKit::initClass();
  return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t * data, size_t size)
{
  Operands in(data, size);
  const Placement & p = placements[in.byte() % 4];

  SoSeparator * root = new SoSeparator;
  root->ref();
  SoOrthographicCamera * camera = new SoOrthographicCamera;
  camera->position = SbVec3f(p.halfSizeX * p.centerX, p.halfSizeY * p.centerY, 20.0f);
  camera->height = 2.4f * (p.halfSizeX > p.halfSizeY ? p.halfSizeX : p.halfSizeY);
  camera->nearDistance = 1.0f;
  camera->farDistance = 40.0f;
  root->addChild(camera);

  WaveSurfaceKit * kit = new WaveSurfaceKit(p.resolution, p.halfSizeX, p.halfSizeY,
                                            p.centerX, p.centerY, p.bumpSize);
  SoSeparator * holder = new SoSeparator;
  SoScale * scale = new SoScale;
  scale->scaleFactor = SbVec3f(p.halfSizeX, p.halfSizeY, 1.0f);
  SoTransform * transform = new SoTransform;
  transform->translation = SbVec3f(p.centerX, p.centerY, 0.0f);
  holder->addChild(scale);
  holder->addChild(transform);
  holder->addChild(kit);
  root->addChild(holder);

  const SbViewportRegion viewport(320, 256);
  checkWater(kit);

  while (!in.done()) {
    switch (in.byte() % 13) {
    case 0: {  // any float bits
      const float x = in.anyFloat();
      const float y = in.anyFloat();
      kit->disturb(x, y);
      break;
    }
    case 1: {  // a point on or just beyond the surface, many times over
      const uint8_t u = in.byte();
      const uint8_t v = in.byte();
      const SbVec2f at = nearGrid(p, u, v);
      const int times = 1 + in.byte();
      for (int n = 0; n < times; n++) kit->disturb(at[0], at[1]);
      break;
    }
    case 2: {
      const int steps = 1 + in.byte() % 16;
      for (int n = 0; n < steps; n++) kit->stepSimulation();
      break;
    }
    case 3:
      if (!std::isfinite(kit->waterLevel())) fail("non-finite water level");
      break;
    case 4:
      kit->width = in.size32();
      break;
    case 5:
      kit->height = in.size32();
      break;
    case 6:
      processDelayQueue(in.byte() & 1);
      break;
    case 7:
      kit->startSimulation();
      break;
    case 8:
      kit->rebuildMesh();
      break;
    case 9:
      kit->pickOnBoundingBox = (in.byte() & 1) ? TRUE : FALSE;
      break;
    case 10: {
      SoMouseButtonEvent event;
      const uint8_t how = in.byte();
      event.setButton(SoMouseButtonEvent::Button(how % 6));
      event.setState((how & 0x80) ? SoButtonEvent::UP : SoButtonEvent::DOWN);
      event.setPosition(pixel(in, viewport));
      send(event, root, viewport);
      break;
    }
    case 11: {
      SoLocation2Event event;
      event.setPosition(pixel(in, viewport));
      send(event, root, viewport);
      break;
    }
    case 12: {  // a drag: press, a run of moves, release
      SoMouseButtonEvent press;
      press.setButton(SoMouseButtonEvent::BUTTON1);
      press.setState(SoButtonEvent::DOWN);
      press.setPosition(pixel(in, viewport));
      send(press, root, viewport);
      const int moves = 1 + in.byte() % 32;
      for (int n = 0; n < moves; n++) {
        SoLocation2Event move;
        move.setPosition(pixel(in, viewport));
        send(move, root, viewport);
      }
      SoMouseButtonEvent release;
      release.setButton(SoMouseButtonEvent::BUTTON1);
      release.setState(SoButtonEvent::UP);
      release.setPosition(pixel(in, viewport));
      send(release, root, viewport);
      break;
    }
    }
    checkWater(kit);
  }

  // The kit goes with the scene; its sensors leave the queues with it.
  root->unref();
  return 0;
}
