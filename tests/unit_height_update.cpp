// The two versions of the height update: the processor's fast one against
// the portable one, bit for bit, on many grid shapes and on heights of very
// different sizes, subnormal ones included; and the kit's step against the
// portable update.

#include "tests/WaterTestSupport.h"
#include "wave/HeightUpdate.h"
#include "wave/SubnormalsFlushed.h"

#include <Inventor/nodes/SoCoordinate3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace {

// Pseudo-random numbers from a fixed sequence.
class Random {
public:
  std::uint32_t next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return std::uint32_t(state >> 32);
  }
  float uniform() { return float(next() >> 8) / float(1 << 24) - 0.5f; }  // in [-0.5, 0.5)
private:
  std::uint64_t state = 2024;
};

// Ripples; heights spread over 2^-120 to 2^80; subnormal heights; a mix of
// those; and heights of +-2^40 between small ones, whose sums cancel, so that
// the order of the additions shows in the result.
enum class Magnitudes { ripples, wide, subnormal, mixed, cancelling };

float
height(Random & random, Magnitudes m)
{
  switch (m) {
  case Magnitudes::ripples: return random.uniform();
  case Magnitudes::wide: return std::ldexp(random.uniform(), int(random.next() % 200) - 120);
  case Magnitudes::subnormal: return random.uniform() * 4e-38f;  // most below 1.2e-38
  case Magnitudes::mixed: break;
  case Magnitudes::cancelling:
    return random.next() % 2 ? random.uniform() : (random.next() % 2 ? 0x1p40f : -0x1p40f);
  }
  const std::uint32_t kind = random.next() % 4;
  return kind == 0 ? 0.0f : height(random, Magnitudes(kind - 1));
}

std::uint32_t
bits(float f)
{
  std::uint32_t b;
  std::memcpy(&b, &f, sizeof b);
  return b;
}

// Three levels and a publication buffer of a W x H grid as interleaved
// points, with distinct x and y in every buffer.
struct Grid {
  Grid(int W, int H, Magnitudes m, Random & random) : W(W), H(H) {
    for (std::vector<float> * level : { &cur, &prev, &next, &published }) {
      level->resize(3 * size_t(W) * size_t(H));
      for (float & f : *level) f = random.uniform();
    }
    for (size_t k = 2; k < cur.size(); k += 3) {
      cur[k] = height(random, m);
      prev[k] = height(random, m);
    }
  }
  HeightUpdate::Levels levels() {
    return { cur.data(), prev.data(), next.data(), published.data(), W, H };
  }
  int W, H;
  std::vector<float> cur, prev, next, published;
};

// Runs advance on a copy of grid and checks what it must leave alone. The
// row-cache room starts offset doubles into a block and ends where the block
// does, so a pass that strays past it writes outside the block.
Grid
advanced(const Grid & grid, HeightUpdate::Advance advance, int offset = 0)
{
  Grid out = grid;
  std::vector<double> block(HeightUpdate::rowCacheLength(grid.H) + offset, -1.0);
  advance(out.levels(), block.data() + offset);
  EXPECT_EQ(grid.cur, out.cur);
  EXPECT_EQ(grid.prev, out.prev);
  for (size_t k = 0; k < grid.next.size(); k++) {
    if (k % 3 != 2) {
      EXPECT_EQ(bits(grid.next[k]), bits(out.next[k])) << "x or y of point " << k / 3;
    }
    EXPECT_EQ(bits(out.next[k]), bits(out.published[k])) << "published float " << k;
  }
  return out;
}

void
expectSameHeights(const Grid & expected, const Grid & got)
{
  for (size_t k = 2; k < expected.next.size(); k += 3) {
    const int vertex = int(k / 3);
    ASSERT_EQ(bits(expected.next[k]), bits(got.next[k]))
      << "vertex (" << vertex / expected.H << ", " << vertex % expected.H << "): "
      << expected.next[k] << " against " << got.next[k];
  }
}

}

TEST(HeightUpdate, FastVersionMatchesPortableBitForBit)
{
  if (!HeightUpdate::haveAvx2()) GTEST_SKIP() << "the processor has no AVX2 and FMA";

  std::vector<std::pair<int, int>> shapes = { { 2, 2 }, { 2, 9 }, { 9, 2 }, { 3, 17 }, { 17, 3 },
                                              { 70, 70 }, { 69, 41 }, { 256, 131 } };
  // Row lengths around the vector width of eight inner vertices.
  for (int W : { 2, 3, 5, 12, 40 })
    for (int H : { 8, 9, 10, 11, 16, 17, 18, 19, 25, 26, 64 }) shapes.push_back({ W, H });

  Random random;
  for (const auto & shape : shapes) {
    for (Magnitudes m : { Magnitudes::ripples, Magnitudes::wide, Magnitudes::subnormal,
                          Magnitudes::mixed, Magnitudes::cancelling }) {
      SCOPED_TRACE(testing::Message() << shape.first << " x " << shape.second << ", magnitudes "
                                      << int(m));
      const Grid grid(shape.first, shape.second, m, random);
      // As the step runs it, with subnormals flushed, and with the caller's
      // default floating-point state.
      for (bool flushed : { true, false }) {
        SCOPED_TRACE(flushed ? "subnormals flushed" : "subnormals kept");
        std::optional<SubnormalsFlushed> flush;
        if (flushed) flush.emplace();
        const Grid portable = advanced(grid, HeightUpdate::advancePortable);
        // The fast version places its rows within the room: every place the
        // room may start at relative to a 32-byte boundary.
        for (int offset : { 0, 1, 2, 3 }) {
          SCOPED_TRACE(testing::Message() << "row caches " << offset << " doubles in");
          expectSameHeights(portable, advanced(grid, HeightUpdate::advanceAvx2, offset));
          if (HasFatalFailure()) return;
        }
      }
    }
  }
}

TEST(HeightUpdate, KitStepGivesThePortableUpdate)
{
  HeldKit kit(4);
  kit.resize(37, 23);
  Random random;
  for (int k = 0; k < 37 * 23; k++) {
    kit->curPoints[k][2] = height(random, Magnitudes::mixed);
    kit->prevPoints[k][2] = height(random, Magnitudes::mixed);
  }
  SoCoordinate3 * coords = static_cast<SoCoordinate3 *>(kit->getPart("coordinate3", TRUE));
  for (int step = 0; step < 3; step++) {
    Grid expected(37, 23, Magnitudes::ripples, random);
    std::memcpy(expected.cur.data(), kit->curPoints, expected.cur.size() * sizeof(float));
    std::memcpy(expected.prev.data(), kit->prevPoints, expected.prev.size() * sizeof(float));
    std::memcpy(expected.next.data(), kit->nextPoints, expected.next.size() * sizeof(float));
    {
      const SubnormalsFlushed flush;
      expected = advanced(expected, HeightUpdate::advancePortable);
    }

    kit->stepSimulation();
    for (int k = 0; k < 37 * 23; k++) {
      for (int c = 0; c < 3; c++) {
        ASSERT_EQ(bits(expected.next[3 * k + c]), bits(kit->curPoints[k][c])) << "point " << k;
        ASSERT_EQ(bits(expected.next[3 * k + c]), bits(coords->point[k][c])) << "point " << k;
      }
    }
  }
}

// At a row's first and last vertex the mirrored inner neighbour enters the
// sum as one term, 2 u(i, 1), after the two neighbours along the border;
// adding it twice rounds differently. These heights (large ones that cancel
// and small ones beside them) show the difference in the new height.
TEST(HeightUpdate, RowEndsAddTheMirroredNeighbourAsOneTerm)
{
  if (!HeightUpdate::haveAvx2()) GTEST_SKIP() << "the processor has no AVX2 and FMA";

  const double a = 44565020672.0f, b = -0.21020397543907166f, r = 0.15169192850589752f;
  const double u = 11141256192.0f, p = 22690949120.0f;
  const float asOneTerm = HeightUpdate::newHeight((a + b) + 2.0 * r, u, p);
  ASSERT_NE(bits(asOneTerm), bits(HeightUpdate::newHeight(((a + b) + r) + r, u, p)));

  Random random;
  for (int H : { 8, 9, 16, 17, 40 }) {
    SCOPED_TRACE(testing::Message() << "5 x " << H);
    Grid grid(5, H, Magnitudes::ripples, random);
    for (size_t k = 2; k < grid.cur.size(); k += 3) grid.cur[k] = grid.prev[k] = 0.0f;
    // Vertex (2, j) on both ends of its row, j = 0 and j = H - 1.
    for (int j : { 0, H - 1 }) {
      auto z = [&grid, H](std::vector<float> & level, int i, int jj) -> float & {
        return level[3 * size_t(i * H + jj) + 2];
      };
      z(grid.cur, 1, j) = float(a);
      z(grid.cur, 3, j) = float(b);
      z(grid.cur, 2, j == 0 ? 1 : H - 2) = float(r);
      z(grid.cur, 2, j) = float(u);
      z(grid.prev, 2, j) = float(p);
    }
    const Grid portable = advanced(grid, HeightUpdate::advancePortable);
    const Grid fast = advanced(grid, HeightUpdate::advanceAvx2);
    EXPECT_EQ(bits(asOneTerm), bits(portable.next[3 * size_t(2 * H) + 2]));
    expectSameHeights(portable, fast);
  }
}
