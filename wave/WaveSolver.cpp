// One damped-wave step of the height field, run at every idle moment.
//
// The new height of a vertex is
//
//   ((S - 4u) * 0.09 + 2u - p + p * 0.018000001) * 0.9823183
//
// with u its current height, p its previous height and S the sum of its four
// neighbours' current heights. On the border the missing neighbour is the
// mirror image of the inner one across the border, so the inner neighbour
// counts twice; this keeps the water volume.
//
// The step computes this update multiplied out, in single precision (see
// newHeight), on whole vectors of the interleaved (x, y, z) points, and keeps
// only the z lanes. Its results differ from an evaluation in double precision
// by a few units in the last place of a float.
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

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <xmmintrin.h>
#define FOUNTAIN_HAVE_MXCSR 1
#endif

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define FOUNTAIN_X86_DISPATCH 1
#endif

namespace {

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

// The update multiplied out so that a level stays exactly where it is: with
// the single-precision constants w = 0.09, d = 0.018000001, f = 0.9823183
// and L = S - 4u,
//
//   new = u + (A * L + (B * (u - p) + K * p))
//
// where A = f * w, B = 2f - 1 and K = (1 + d) * f - 1 = 1.2e-8. The neighbours
// are summed in pairs, (north + south) + (east + west). On a level, L and
// u - p are exactly 0 and |K * p| stays below half a unit in the last place
// of p, so the new height is exactly p, as in the double evaluation.
const float weightA = float(double(0.9823183f) * double(0.09f));
const float weightB = float(2.0 * double(0.9823183f) - 1.0);
const float weightK = float((1.0 + double(0.018000001f)) * double(0.9823183f) - 1.0);

inline float
newHeight(float north, float south, float east, float west, float u, float p)
{
  const float laplacian = ((north + south) + (east + west)) - u * 4.0f;
  return u + (weightA * laplacian + (weightB * (u - p) + weightK * p));
}

// One row of the grid, on the interleaved (x, y, z) floats of its H points:
// cur, prev and next point at the row's first float; the row's northern and
// southern neighbour rows are at cur + north and cur + south (a border row
// names its one inner neighbour twice: the mirror image). Vertices 0 and
// H - 1 mirror their inner neighbour along the row in the same way.
//
// The inner vertices run on vectors of N interleaved floats: the neighbours
// along the row are 3 floats away and those in the other rows `north` and
// `south` floats, so each lane computes the update from the matching
// coordinate of its neighbours. Only the z lanes are kept; the x and y lanes
// of next are written back as they were. Which lanes hold a z repeats every
// three vectors.
// Vectors of N floats and of N 32-bit lane masks.
template <int N> struct Lanes;
template <> struct Lanes<4> {
  typedef float Floats __attribute__((vector_size(16)));
  typedef int32_t Ints __attribute__((vector_size(16)));
};
template <> struct Lanes<8> {
  typedef float Floats __attribute__((vector_size(32)));
  typedef int32_t Ints __attribute__((vector_size(32)));
};

template <int N>
__attribute__((always_inline)) inline void
advanceRowOn(const float * __restrict cur, const float * __restrict prev,
             float * __restrict next, const std::ptrdiff_t north, const std::ptrdiff_t south,
             const int32_t H)
{
  typedef typename Lanes<N>::Floats Floats;
  typedef typename Lanes<N>::Ints Ints;

  // The ends of the row: the inner neighbour along the row counts twice.
  const std::ptrdiff_t first = 2, last = 3 * std::ptrdiff_t(H - 1) + 2;
  next[first] = newHeight(cur[first + north], cur[first + south], cur[first + 3], cur[first + 3],
                          cur[first], prev[first]);

  // zLanes[phase]: lane l holds a z when (phase + l) % 3 == 2.
  Ints zLanes[3];
  for (int phase = 0; phase < 3; phase++)
    for (int l = 0; l < N; l++) zLanes[phase][l] = (phase + l) % 3 == 2 ? -1 : 0;
  const Ints & zLane0 = zLanes[0];
  const Ints & zLane1 = zLanes[N % 3];
  const Ints & zLane2 = zLanes[(2 * N) % 3];

  auto advance = [=](const std::ptrdiff_t t, const Ints & zLane) {
    Floats u, n, s, e, w, p, old;
    __builtin_memcpy(&u, cur + t, sizeof u);
    __builtin_memcpy(&n, cur + t + north, sizeof n);
    __builtin_memcpy(&s, cur + t + south, sizeof s);
    __builtin_memcpy(&e, cur + t + 3, sizeof e);
    __builtin_memcpy(&w, cur + t - 3, sizeof w);
    __builtin_memcpy(&p, prev + t, sizeof p);
    __builtin_memcpy(&old, next + t, sizeof old);
    const Floats laplacian = ((n + s) + (e + w)) - u * 4.0f;
    const Floats h = u + (weightA * laplacian + (weightB * (u - p) + weightK * p));
    const Floats kept = zLane ? h : old;
    __builtin_memcpy(next + t, &kept, sizeof kept);
  };

  // Floats 3 ... 3(H - 1) - 1 are the points of vertices 1 ... H - 2.
  const std::ptrdiff_t end = 3 * std::ptrdiff_t(H - 1);
  std::ptrdiff_t t = 3;
  for (; t + 3 * N <= end; t += 3 * N) {
    advance(t, zLane0);
    advance(t + N, zLane1);
    advance(t + 2 * N, zLane2);
  }
  if (t + N <= end) {
    advance(t, zLane0);
    t += N;
    if (t + N <= end) {
      advance(t, zLane1);
      t += N;
    }
  }
  // The inner vertices the vectors did not reach: from the one whose z, at
  // 3j + 2, is at t or beyond.
  for (std::ptrdiff_t z = 3 * (t / 3) + 2; z < end; z += 3)
    next[z] = newHeight(cur[z + north], cur[z + south], cur[z + 3], cur[z - 3], cur[z], prev[z]);

  if (last != first)
    next[last] = newHeight(cur[last + north], cur[last + south], cur[last - 3], cur[last - 3],
                           cur[last], prev[last]);
}

typedef void AdvanceRow(const float *, const float *, float *, std::ptrdiff_t, std::ptrdiff_t,
                        int32_t);

// The row on 8-float vectors where the processor has them (AVX2), else on
// 4-float ones (SSE2, which every x86-64 processor has); the same arithmetic,
// and so the same results, on both. (Wider vectors gain nothing on these
// short rows.)
#ifdef FOUNTAIN_X86_DISPATCH
__attribute__((target("avx2"))) void
advanceRow8(const float * cur, const float * prev, float * next, std::ptrdiff_t north,
            std::ptrdiff_t south, int32_t H)
{
  advanceRowOn<8>(cur, prev, next, north, south, H);
}
#endif

void
advanceRow4(const float * cur, const float * prev, float * next, std::ptrdiff_t north,
            std::ptrdiff_t south, int32_t H)
{
  advanceRowOn<4>(cur, prev, next, north, south, H);
}

AdvanceRow *
widestAdvanceRow(void)
{
#ifdef FOUNTAIN_X86_DISPATCH
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return advanceRow8;
#endif
  return advanceRow4;
}

AdvanceRow * const advanceRow = widestAdvanceRow();

// Writes the z of the next level of a W x H grid (W, H >= 2) into next from
// cur and prev, all three interleaved (x, y, z) points; the arrays are
// distinct and the x and y of next stay as they are.
void
advanceHeights(const float * cur, const float * prev, float * next, const int32_t W,
               const int32_t H)
{
  const std::ptrdiff_t rowFloats = 3 * std::ptrdiff_t(H);
  for (int32_t i = 0; i < W; i++) {
    // Rows 0 and W - 1 see their inner neighbour row on both sides.
    const std::ptrdiff_t north = i < W - 1 ? rowFloats : -rowFloats;
    const std::ptrdiff_t south = i > 0 ? -rowFloats : rowFloats;
    const std::ptrdiff_t row = rowFloats * i;
    advanceRow(cur + row, prev + row, next + row, north, south, H);
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
    advanceHeights(&this->curPoints[0][0], &this->prevPoints[0][0], &this->nextPoints[0][0], W, H);
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
