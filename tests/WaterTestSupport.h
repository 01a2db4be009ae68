#ifndef FOUNTAIN_WATERTESTSUPPORT_H
#define FOUNTAIN_WATERTESTSUPPORT_H

// Helpers for the tests of the moving water: a kit held for one test, and
// read and write access to the heights of its time levels.

#include "wave/WaveSurfaceKit.h"

#include <vector>

// A kit referenced for the lifetime of the holder.
class HeldKit {
public:
  HeldKit(int32_t resolution, float halfSizeX = 1.0f, float halfSizeY = 1.0f,
          float centerX = 0.0f, float centerY = 0.0f, int32_t bumpSize = 3)
    : kit(new WaveSurfaceKit(resolution, halfSizeX, halfSizeY, centerX, centerY, bumpSize)) {
    kit->ref();
  }
  ~HeldKit() { kit->unref(); }
  HeldKit(const HeldKit &) = delete;
  HeldKit & operator=(const HeldKit &) = delete;

  WaveSurfaceKit * operator->() const { return kit; }
  WaveSurfaceKit * get() const { return kit; }

  // Gives the kit a W x H grid at once, without waiting for the rebuild
  // sensor.
  void resize(int32_t W, int32_t H) {
    kit->width = W;
    kit->height = H;
    kit->rebuildMesh();
  }

private:
  WaveSurfaceKit * kit;
};

// Height of vertex (i, j) in one of the kit's levels.
inline float &
z(SbVec3f * level, const WaveSurfaceKit * kit, int i, int j)
{
  return level[i * kit->rowLength + j][2];
}

// All heights of one level, in buffer order.
inline std::vector<float>
heights(const SbVec3f * level, const WaveSurfaceKit * kit)
{
  std::vector<float> h;
  for (int k = 0; k < kit->numRows * kit->rowLength; k++) h.push_back(level[k][2]);
  return h;
}

// Water volume by the trapezoid rule over the grid cells: interior vertices
// weigh 1, border vertices 1/2 and corners 1/4.
inline double
weightedVolume(const SbVec3f * level, const WaveSurfaceKit * kit)
{
  const int W = kit->numRows, H = kit->rowLength;
  double sum = 0.0;
  for (int i = 0; i < W; i++) {
    for (int j = 0; j < H; j++) {
      const double wi = (i == 0 || i == W - 1) ? 0.5 : 1.0;
      const double wj = (j == 0 || j == H - 1) ? 0.5 : 1.0;
      sum += wi * wj * level[i * H + j][2];
    }
  }
  return sum;
}

#endif
