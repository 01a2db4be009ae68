#ifndef FOUNTAIN_HEIGHTUPDATE_H
#define FOUNTAIN_HEIGHTUPDATE_H

// The height update of one wave step and the publication of its result.
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
// The update comes in two versions with identical results, bit for bit: a
// portable one, and one for x86-64 processors with AVX2 and FMA. The step
// picks the fastest one the processor runs (fastestAdvance); the tests hold
// the two against each other.

#include <cstddef>
#include <cstdint>

namespace HeightUpdate {

// The three time levels of a W x H grid (W, H >= 2) as interleaved (x, y, z)
// floats, vertex (i, j) being point i * H + j. cur, prev, next and published
// are four distinct blocks of W * H points.
struct Levels {
  const float * cur;
  const float * prev;
  float * next;       // receives the new heights; its x and y stay as they are
  float * published;  // receives a copy of all W * H points of next
  int32_t W;
  int32_t H;
};

// Writes the new heights into the z of levels.next and then copies all of
// next into levels.published. rowCache is room for rowCacheLength(H)
// doubles that the update works in. The floating-point environment is the
// caller's (the step flushes subnormals); both versions treat it alike.
typedef void (*Advance)(const Levels & levels, double * rowCache);

// Four rows of H heights, each with one more on either side, rowCacheStride
// apart; three doubles more let the first height of every row sit at a
// 32-byte boundary wherever the room starts.
inline size_t
rowCacheStride(int32_t H)
{
  return (size_t(H) + 8) / 4 * 4;
}

inline size_t
rowCacheLength(int32_t H)
{
  return 4 * rowCacheStride(H) + 3;
}

void advancePortable(const Levels & levels, double * rowCache);

// Only on a processor for which haveAvx2() is true.
void advanceAvx2(const Levels & levels, double * rowCache);
bool haveAvx2();

// advanceAvx2 where the processor has it, advancePortable otherwise.
Advance fastestAdvance();

// The update's constants are single-precision numbers, widened once.
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

}

#endif
