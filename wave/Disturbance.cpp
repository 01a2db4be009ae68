// Excitation of the water at a scene point and the level probe.

#include "wave/WaveSurfaceKit.h"

#include <climits>
#include <cmath>

namespace {

const double amplitude = double(0.1f);
const double pi = double(3.1415927f);

// Grid index along one axis of the scene coordinate `world` on a surface
// placed with half extent `halfSize` and centre offset `center` (in units of
// halfSize), with `halfSteps` grid steps from the centre to the edge. The
// result truncates toward zero; it is left in double so that the caller can
// test its range before any conversion.
double
gridIndex(float world, float halfSize, float center, int32_t halfSteps)
{
  const double mesh = (double(world) - double(center) * double(halfSize)) / double(halfSize);
  return std::trunc((mesh + 1.0) * double(halfSteps) + 0.5);
}

// True if index lies in [1, limit): NaN and infinities fail the test.
bool
isAccepted(double index, double limit)
{
  return index >= 1.0 && index < limit;
}

}

void
WaveSurfaceKit::disturb(float x, float y)
{
  // The dimensions the buffers were built for, whatever the fields say now.
  const int32_t W = this->numRows;
  const int32_t H = this->rowLength;
  const int32_t B = this->bumpSize;
  if (!this->curPoints || B <= 0) return;  // an empty mound adds nothing

  const double a = gridIndex(x, this->halfSizeX, this->centerX, (W - 1) / 2);
  const double b = gridIndex(y, this->halfSizeY, this->centerY, (H - 1) / 2);

  // The mound's corner (a, b) must leave the whole B x B square on interior
  // vertices. Compared in double: no int can overflow and no out-of-range
  // double is ever converted.
  if (!isAccepted(a, double(W) - double(B) - 1.0) ||
      !isAccepted(b, double(H) - double(B) - 1.0))
    return;
  const int32_t a0 = int32_t(a);
  const int32_t b0 = int32_t(b);

  // A sine mound of side B with its corner at (a, b), added to both time
  // levels so that the water rises without being set in motion.
  double added = 0.0;
  for (int32_t i = 0; i < B; i++) {
    const double si = std::sin(i * pi / B);
    for (int32_t j = 0; j < B; j++) {
      const double d = si * std::sin(j * pi / B) * amplitude;
      const int32_t k = (a0 + i) * H + (b0 + j);
      this->curPoints[k][2] = float(this->curPoints[k][2] + d);
      this->prevPoints[k][2] = float(this->prevPoints[k][2] + d);
      added += d;
    }
  }

  // Lower the whole surface by the added volume spread over the grid cells,
  // so that the water's volume stays what it was.
  const float m = float(added / (double(W - 1) * double(H - 1)));
  const int32_t n = W * H;
  for (int32_t k = 0; k < n; k++) {
    this->curPoints[k][2] -= m;
    this->prevPoints[k][2] -= m;
  }
}

float
WaveSurfaceKit::waterLevel(void)
{
  // Middle of the mesh edge at ym = -1, two steps back.
  return this->nextPoints[(this->numRows / 2) * this->rowLength][2];
}
