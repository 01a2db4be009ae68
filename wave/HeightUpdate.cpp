// The portable height update: plain loops that the compiler vectorises as
// far as the target allows, with the borders and corners in loops of their
// own.

#include "wave/HeightUpdate.h"

#include <cstddef>
#include <cstring>

namespace HeightUpdate {

namespace {

// Heights are the z of interleaved (x, y, z) points; z(k) is vertex k's.
template <class Float>
struct Heights {
  Float * base;
  Float & operator()(int32_t k) const { return base[3 * k + 2]; }
};

// The new heights of the first and last vertex of every row (the borders
// j = 0 and j = H - 1 and the four corners), into the z of levels.next.
void
advanceRowEnds(const Levels & levels)
{
  const Heights<const float> cur{ levels.cur };
  const Heights<const float> prev{ levels.prev };
  const Heights<float> next{ levels.next };
  const int32_t W = levels.W;
  const int32_t H = levels.H;
  auto at = [H](int32_t i, int32_t j) { return i * H + j; };

  // Borders along j = 0 and j = H - 1: the inner column counts twice.
  for (int32_t i = 1; i <= W - 2; i++) {
    const int32_t k = at(i, 0);
    const double s = double(cur(at(i - 1, 0))) + double(cur(at(i + 1, 0))) + 2.0 * cur(at(i, 1));
    next(k) = newHeight(s, cur(k), prev(k));
  }
  for (int32_t i = 1; i <= W - 2; i++) {
    const int32_t k = at(i, H - 1);
    const double s = double(cur(at(i - 1, H - 1))) + double(cur(at(i + 1, H - 1))) +
                     2.0 * cur(at(i, H - 2));
    next(k) = newHeight(s, cur(k), prev(k));
  }

  // Corners: both neighbours are mirrored.
  const int32_t corners[4][3] = {
    // vertex, neighbour along x, neighbour along y
    { at(0, 0), at(1, 0), at(0, 1) },
    { at(W - 1, 0), at(W - 2, 0), at(W - 1, 1) },
    { at(0, H - 1), at(1, H - 1), at(0, H - 2) },
    { at(W - 1, H - 1), at(W - 2, H - 1), at(W - 1, H - 2) },
  };
  for (const auto & c : corners) {
    const double s = 2.0 * (double(cur(c[1])) + double(cur(c[2])));
    next(c[0]) = newHeight(s, cur(c[0]), prev(c[0]));
  }
}

}

void
advancePortable(const Levels & levels, double * rowCache)
{
  const Heights<const float> cur{ levels.cur };
  const Heights<const float> prev{ levels.prev };
  const Heights<float> next{ levels.next };
  const int32_t W = levels.W;
  const int32_t H = levels.H;
  auto at = [H](int32_t i, int32_t j) { return i * H + j; };

  // Interior, one row at a time. The current heights of rows i - 1, i and
  // i + 1 are held widened to double in three rolling row caches, so every
  // height is converted once per step and the inner loop, free of border
  // tests, runs over contiguous doubles that the compiler can vectorise.
  auto widenRow = [&](double * row, int32_t i) {
    for (int32_t j = 0; j < H; j++) row[j] = cur(at(i, j));
  };
  double * below = rowCache;
  double * middle = below + H;
  double * above = middle + H;
  widenRow(below, 0);
  widenRow(middle, 1);
  for (int32_t i = 1; i <= W - 2; i++) {
    widenRow(above, i + 1);
    const float * __restrict p = &prev(at(i, 0));
    float * __restrict n = &next(at(i, 0));
    for (int32_t j = 1; j <= H - 2; j++) {
      const double s = above[j] + below[j] + middle[j + 1] + middle[j - 1];
      n[3 * j] = newHeight(s, middle[j], p[3 * j]);
    }
    double * const done = below;
    below = middle;
    middle = above;
    above = done;
  }

  // Borders along i = 0 and i = W - 1: the inner row counts twice.
  for (int32_t j = 1; j <= H - 2; j++) {
    const int32_t k = at(0, j);
    const double s = 2.0 * cur(at(1, j)) + double(cur(at(0, j + 1))) + double(cur(at(0, j - 1)));
    next(k) = newHeight(s, cur(k), prev(k));
  }
  for (int32_t j = 1; j <= H - 2; j++) {
    const int32_t k = at(W - 1, j);
    const double s = 2.0 * cur(at(W - 2, j)) + double(cur(at(W - 1, j + 1))) +
                     double(cur(at(W - 1, j - 1)));
    next(k) = newHeight(s, cur(k), prev(k));
  }

  advanceRowEnds(levels);

  // Publish: all points of next in one block.
  std::memcpy(levels.published, levels.next, 3 * sizeof(float) * size_t(W) * size_t(H));
}

Advance
fastestAdvance()
{
  return haveAvx2() ? advanceAvx2 : advancePortable;
}

}
