// One damped-wave step of the height field, run at every idle moment.
//
// The new height of a vertex is
//
//   ((S - 4u) * 0.09 + 2u - p + p * 0.018000001) * 0.9823183
//
// with u its current height, p its previous height and S the sum of its four
// neighbours' current heights. On the border the missing neighbour is the
// mirror image of the inner one across the border, so the inner neighbour
// counts twice; this keeps the water volume. Terms are evaluated left to
// right in double precision and each new height is rounded to float once.
//
// Damped water decays towards zero geometrically and would end in subnormal
// floats, which x86 processors handle through a slow microcode path. While
// the step runs, the SSE unit flushes subnormal results to zero and reads
// subnormal inputs as zero: a height below 1.2e-38 is water at rest either
// way, and the step keeps its cost as the water calms.

#include "wave/WaveSurfaceKit.h"

#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/sensors/SoIdleSensor.h>

#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <xmmintrin.h>
#define FOUNTAIN_HAVE_MXCSR 1
#endif

// The step is compiled twice on x86-64 with GCC, for AVX2 and for the
// baseline, and the processor's best version is chosen when the program
// loads; both do the same arithmetic and give the same results.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define FOUNTAIN_WIDEST_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define FOUNTAIN_WIDEST_VECTORS
#endif

namespace {

// The update's constants are single-precision numbers; widened once here.
const double laplacianWeight = double(0.09f);
const double dampingWeight = double(0.018000001f);
const double finalScale = double(0.9823183f);

// New height from the neighbour sum s, the current height u and the
// previous height p.
inline float
newHeight(double s, double u, double p)
{
  return float(((s - 4.0 * u) * laplacianWeight + 2.0 * u - p + p * dampingWeight) * finalScale);
}

// Sets flush-to-zero and denormals-are-zero for its lifetime and restores the
// caller's floating-point control state afterwards.
class SubnormalsFlushed {
public:
#ifdef FOUNTAIN_HAVE_MXCSR
  SubnormalsFlushed() : saved(_mm_getcsr()) { _mm_setcsr(saved | flushBits); }
  ~SubnormalsFlushed() { _mm_setcsr(saved); }
private:
  static const unsigned int flushBits = 0x8000u | 0x0040u;  // FTZ | DAZ
  const unsigned int saved;
#endif
};

// Heights are the z of interleaved (x, y, z) points; z(k) is vertex k's.
struct Heights {
  float * base;
  float & operator()(int32_t k) const { return base[3 * k + 2]; }
};

// Writes the next level of a W x H grid (W, H >= 2) into next from cur and
// prev. The three arrays are distinct; only the z of next changes.
FOUNTAIN_WIDEST_VECTORS void
advanceHeights(const Heights cur, const Heights prev, const Heights next,
               const int32_t W, const int32_t H)
{
  auto at = [H](int32_t i, int32_t j) { return i * H + j; };

  // Interior, one row at a time. The current heights of rows i - 1, i and
  // i + 1 are held widened to double in three rolling row caches, so every
  // height is converted once per step and the inner loop, free of border
  // tests, runs over contiguous doubles that the compiler can vectorise.
  static thread_local std::vector<double> rowCache;
  if (rowCache.size() < 3 * size_t(H)) rowCache.resize(3 * size_t(H));
  auto widenRow = [&](double * row, int32_t i) {
    for (int32_t j = 0; j < H; j++) row[j] = cur(at(i, j));
  };
  double * below = rowCache.data();
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

  {
    const SubnormalsFlushed flushed;
    advanceHeights(Heights{ &this->curPoints[0][0] }, Heights{ &this->prevPoints[0][0] },
                   Heights{ &this->nextPoints[0][0] }, W, H);
  }

  // Publish the new level: all W x H points in one bulk copy into the
  // field, which then notifies the scene graph once, as setValues(0, W * H,
  // nextPoints) does; setValues copies point by point, this copies the block.
  const int32_t numPoints = W * H;
  if (coords->point.getNum() != numPoints) coords->point.setNum(numPoints);
  std::memcpy(coords->point.startEditing(), this->nextPoints, sizeof(SbVec3f) * size_t(numPoints));
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
