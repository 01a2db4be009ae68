// The height update on x86-64 processors with AVX2 and FMA: four heights per
// vector of doubles, eight per pass, and the publication folded into the
// same pass over the rows.
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
#include <cstring>

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

// Vertices 1 to H - 2 of one row (H >= block + 2), from the widened current
// heights of the row (middle) and of the rows on either side (below, above;
// the same row on a border). With widenAhead, the row two further on is
// widened on the way from curAhead, its interleaved points, into ahead. The
// new points go to both next and published, x and y taken from next.
template <bool widenAhead>
FOUNTAIN_AVX2 void
updateRow(const double * below, const double * middle, const double * above, double * ahead,
          const float * curAhead, const float * prev, float * next, float * published, int32_t H)
{
  const int32_t last = H - 1 - block;
  for (int32_t j = 1;; j += block) {
    // The last pass overlaps the one before rather than run past the row;
    // it writes the same values again.
    if (j > last) j = last;

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

    const __m256d sLow = _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(a.low, b.low), right.low), left.low);
    const __m256d sHigh =
      _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(a.high, b.high), right.high), left.high);
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

    if (j == last) break;
  }
  if (widenAhead) {
    ahead[0] = curAhead[2];
    ahead[H - 1] = curAhead[3 * (H - 1) + 2];
  }
}

FOUNTAIN_AVX2 void
widenRow(double * row, const float * points, int32_t H)
{
  for (int32_t j = 0; j < H; j++) row[j] = points[3 * j + 2];
}

}

FOUNTAIN_AVX2 void
advanceAvx2(const Levels & levels, double * rowCache)
{
  const int32_t W = levels.W;
  const int32_t H = levels.H;
  // Rows too short for one pass of eight inner vertices.
  if (H < block + 2) {
    advancePortable(levels, rowCache);
    return;
  }

  const size_t rowFloats = 3 * size_t(H);
  auto row = [rowFloats](auto * points, int32_t i) { return points + size_t(i) * rowFloats; };

  // The widened current heights of row r are kept in row cache r mod 4.
  // Row i reads rows i - 1, i and i + 1 and widens row i + 2: a row is
  // widened two rows before it is read at neighbouring offsets, so those
  // reads never wait for the stores that wrote it.
  auto widened = [rowCache, H](int32_t r) { return rowCache + size_t(r % 4) * size_t(H); };
  widenRow(widened(0), row(levels.cur, 0), H);
  widenRow(widened(1), row(levels.cur, 1), H);

  // All rows run through one routine; the border rows i = 0 and i = W - 1
  // take their single inner neighbour row for both sides, as u(1, j) +
  // u(1, j) is exactly the 2 u(1, j) their sum begins with.
  for (int32_t i = 0; i < W; i++) {
    const double * const below = widened(i == 0 ? 1 : i - 1);
    const double * const above = widened(i == W - 1 ? W - 2 : i + 1);
    if (i + 2 < W) {
      updateRow<true>(below, widened(i), above, widened(i + 2), row(levels.cur, i + 2),
                      row(levels.prev, i), row(levels.next, i), row(levels.published, i), H);
    } else {
      updateRow<false>(below, widened(i), above, nullptr, nullptr, row(levels.prev, i),
                       row(levels.next, i), row(levels.published, i), H);
    }
  }

  // The first and last vertex of every row, then their points published.
  advanceRowEnds(levels);
  for (int32_t i = 0; i < W; i++) {
    std::memcpy(row(levels.published, i), row(levels.next, i), 3 * sizeof(float));
    std::memcpy(row(levels.published, i) + 3 * (H - 1), row(levels.next, i) + 3 * (H - 1),
                3 * sizeof(float));
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
