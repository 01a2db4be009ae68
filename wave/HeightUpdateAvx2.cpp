// The height update on x86-64 processors with AVX2 and FMA: four heights per
// vector of doubles, eight per pass, the row ends and the publication folded
// into the same passes over the rows.
//
// The arithmetic is that of newHeight, operation for operation and rounding
// for rounding: 4u and 2u are exact in double, so s - 4u is computed as
// fma(-4, u, s) and t + 2u as fma(2, u, t), which round exactly as the
// subtraction and the addition do. Nothing else is fused; this file is
// compiled with floating-point contraction off.
//
// Heights are every third float of the interleaved points: eight points are
// 24 floats, three vectors of eight, whose z lanes are {2, 5} of the first,
// {0, 3, 6} of the second and {1, 4, 7} of the third. Two blends and one
// permutation collect the eight heights in order; the same permutation and
// three blends put new heights back between the x and y of next.

#include "wave/HeightUpdate.h"

#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) && defined(__GNUC__)

#include <immintrin.h>

#define FOUNTAIN_AVX2 __attribute__((target("avx2,fma")))

namespace HeightUpdate {

namespace {

// Points per vector pass.
const int32_t block = 8;

// Blend masks of the z lanes in the three vectors of eight points.
const int zInFirst = 0x24;   // lanes 2, 5
const int zInSecond = 0x49;  // lanes 0, 3, 6
const int zInThird = 0x92;   // lanes 1, 4, 7

// Lane l of the blended vector holds the height of point order[l], and
// the permutation is its own inverse.
FOUNTAIN_AVX2 inline __m256i
heightOrder()
{
  return _mm256_setr_epi32(2, 5, 0, 3, 6, 1, 4, 7);
}

// The heights of the eight points at p, in order.
FOUNTAIN_AVX2 inline __m256
loadHeights(const float * p)
{
  const __m256 first = _mm256_loadu_ps(p);
  const __m256 second = _mm256_loadu_ps(p + 8);
  const __m256 third = _mm256_loadu_ps(p + 16);
  const __m256 mixed =
    _mm256_blend_ps(_mm256_blend_ps(first, second, zInSecond), third, zInThird);
  return _mm256_permutevar8x32_ps(mixed, heightOrder());
}

// Eight heights widened to double.
struct Wide {
  __m256d low;
  __m256d high;
};

FOUNTAIN_AVX2 inline Wide
widen(__m256 h)
{
  return { _mm256_cvtps_pd(_mm256_castps256_ps128(h)), _mm256_cvtps_pd(_mm256_extractf128_ps(h, 1)) };
}

FOUNTAIN_AVX2 inline Wide
loadWide(const double * row)
{
  return { _mm256_loadu_pd(row), _mm256_loadu_pd(row + 4) };
}

// newHeight on four vertices, before the rounding to float.
FOUNTAIN_AVX2 inline __m256d
update(__m256d s, __m256d u, __m256d p)
{
  __m256d t = _mm256_fmadd_pd(_mm256_set1_pd(-4.0), u, s);  // s - 4u
  t = _mm256_mul_pd(t, _mm256_set1_pd(laplacianWeight));
  t = _mm256_fmadd_pd(_mm256_set1_pd(2.0), u, t);  // + 2u
  t = _mm256_sub_pd(t, p);
  t = _mm256_add_pd(t, _mm256_mul_pd(p, _mm256_set1_pd(dampingWeight)));
  return _mm256_mul_pd(t, _mm256_set1_pd(finalScale));
}

// Whether a pass holds the row's first vertex (in its first lane), its last
// vertex (in its last lane), both or neither.
enum Ends { noEnd = 0, firstEnd = 1, lastEnd = 2, bothEnds = 3 };

// The neighbour sums of four vertices from the rows on either side (a, b)
// and the row's own neighbours (right, left); endLanes is the blend mask of
// the lanes that hold a row's first or last vertex. Inner vertices add in
// the order a + b + right + left. At a row end, left and right are the same
// inner neighbour r (the row caches mirror it), and the sum is (a + b) + 2r,
// as the border formula has it; on a border row a and b are the same too,
// and (2a) + (2r) is exactly the corner's 2 (a + r).
template <int endLanes>
FOUNTAIN_AVX2 inline __m256d
neighbourSum(__m256d a, __m256d b, __m256d right, __m256d left)
{
  const __m256d ab = _mm256_add_pd(a, b);
  const __m256d inner = _mm256_add_pd(_mm256_add_pd(ab, right), left);
  if (endLanes == 0) return inner;
  return _mm256_blend_pd(inner, _mm256_add_pd(ab, _mm256_add_pd(right, left)), endLanes);
}

// One row's passes share the rows they read and write.
struct RowPass {
  const double * below;   // widened current heights of the rows on either
  const double * middle;  // side and of the row itself, each mirrored one
  const double * above;   // place beyond both ends
  double * ahead;         // the row two further on, widened here, or null
  const float * curAhead; // its interleaved points
  const float * prev;
  float * next;
  float * published;

  // Vertices j to j + 7 of the row; ends says which of them is the row's
  // first or last vertex. The new points go to both next and published, x
  // and y taken from next.
  template <bool widenAhead, int ends>
  FOUNTAIN_AVX2 void run(int32_t j) const
  {
    if (widenAhead) {
      const Wide w = widen(loadHeights(curAhead + 3 * j));
      _mm256_storeu_pd(ahead + j, w.low);
      _mm256_storeu_pd(ahead + j + 4, w.high);
    }
    const Wide a = loadWide(above + j);
    const Wide b = loadWide(below + j);
    const Wide right = loadWide(middle + j + 1);
    const Wide left = loadWide(middle + j - 1);
    const Wide u = loadWide(middle + j);
    const Wide p = widen(loadHeights(prev + 3 * j));

    const __m256d sLow =
      neighbourSum<(ends & firstEnd) ? 0x1 : 0>(a.low, b.low, right.low, left.low);
    const __m256d sHigh =
      neighbourSum<(ends & lastEnd) ? 0x8 : 0>(a.high, b.high, right.high, left.high);
    const __m128 low = _mm256_cvtpd_ps(update(sLow, u.low, p.low));
    const __m128 high = _mm256_cvtpd_ps(update(sHigh, u.high, p.high));
    const __m256 h = _mm256_permutevar8x32_ps(_mm256_set_m128(high, low), heightOrder());

    float * const n = next + 3 * j;
    const __m256 first = _mm256_blend_ps(_mm256_loadu_ps(n), h, zInFirst);
    const __m256 second = _mm256_blend_ps(_mm256_loadu_ps(n + 8), h, zInSecond);
    const __m256 third = _mm256_blend_ps(_mm256_loadu_ps(n + 16), h, zInThird);
    _mm256_storeu_ps(n, first);
    _mm256_storeu_ps(n + 8, second);
    _mm256_storeu_ps(n + 16, third);
    float * const out = published + 3 * j;
    _mm256_storeu_ps(out, first);
    _mm256_storeu_ps(out + 8, second);
    _mm256_storeu_ps(out + 16, third);
  }
};

// Mirrors a widened row one place beyond both ends.
FOUNTAIN_AVX2 inline void
mirrorEnds(double * row, int32_t H)
{
  row[-1] = row[1];
  row[H] = row[H - 2];
}

// All vertices of one row (H >= block) in passes of eight; the last pass
// overlaps the one before rather than run past the row, and writes the same
// values again.
template <bool widenAhead>
FOUNTAIN_AVX2 void
updateRow(const RowPass & row, int32_t H)
{
  if (H == block) {
    row.run<widenAhead, bothEnds>(0);
  } else {
    row.run<widenAhead, firstEnd>(0);
    for (int32_t j = block; j < H - block; j += block) row.run<widenAhead, noEnd>(j);
    row.run<widenAhead, lastEnd>(H - block);
  }
  if (widenAhead) mirrorEnds(row.ahead, H);
}

FOUNTAIN_AVX2 void
widenRow(double * row, const float * points, int32_t H)
{
  for (int32_t j = 0; j < H; j++) row[j] = points[3 * j + 2];
  mirrorEnds(row, H);
}

}

FOUNTAIN_AVX2 void
advanceAvx2(const Levels & levels, double * rowCache)
{
  const int32_t W = levels.W;
  const int32_t H = levels.H;
  // Rows shorter than one pass.
  if (H < block) {
    advancePortable(levels, rowCache);
    return;
  }

  const size_t rowFloats = 3 * size_t(H);
  auto row = [rowFloats](auto * points, int32_t i) { return points + size_t(i) * rowFloats; };

  // The widened current heights of row r are kept in row cache r mod 4, with
  // room for the mirrored neighbour beyond each end. Row i reads rows i - 1,
  // i and i + 1 and widens row i + 2: a row is widened two rows before it is
  // read at neighbouring offsets, so those reads never wait for the stores
  // that wrote it. Each row's first height sits at a 32-byte boundary, so a
  // pass's loads of its own row and of the rows on either side never cross
  // a cache line.
  const size_t cacheStride = rowCacheStride(H);
  const uintptr_t pastBoundary = reinterpret_cast<uintptr_t>(rowCache) % 32;
  double * const aligned = rowCache + (32 - pastBoundary) % 32 / sizeof(double);
  auto widened = [aligned, cacheStride](int32_t r) {
    return aligned + size_t(r % 4) * cacheStride + 4;
  };
  widenRow(widened(0), row(levels.cur, 0), H);
  widenRow(widened(1), row(levels.cur, 1), H);

  // All rows run through one routine; the border rows i = 0 and i = W - 1
  // take their single inner neighbour row for both sides, as u(1, j) +
  // u(1, j) is exactly the 2 u(1, j) their sum begins with.
  for (int32_t i = 0; i < W; i++) {
    const bool widenAhead = i + 2 < W;
    const RowPass pass = {
      widened(i == 0 ? 1 : i - 1),
      widened(i),
      widened(i == W - 1 ? W - 2 : i + 1),
      widenAhead ? widened(i + 2) : nullptr,
      widenAhead ? row(levels.cur, i + 2) : nullptr,
      row(levels.prev, i),
      row(levels.next, i),
      row(levels.published, i),
    };
    if (widenAhead) {
      updateRow<true>(pass, H);
    } else {
      updateRow<false>(pass, H);
    }
  }
}

bool
haveAvx2()
{
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
}

}

#else

namespace HeightUpdate {

void
advanceAvx2(const Levels & levels, double * rowCache)
{
  advancePortable(levels, rowCache);
}

bool
haveAvx2()
{
  return false;
}

}

#endif
