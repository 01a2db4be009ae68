// The damped-wave step: exact rest and level, spreading of a spike, the
// mirrored borders and corners, volume, publication and buffer rotation.

#include "tests/WaterTestSupport.h"

#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/sensors/SoIdleSensor.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const float centreAfterSpike = 1.611002f;
const float neighbourAfterSpike = 0.0884086f;
const float mirroredNeighbour = 0.1768173f;
const float cornerBetweenTwo = 0.3536346f;
const float tolerance = 2e-6f;

// Heights in [-0.5, 0.5) from a fixed sequence.
class Noise {
public:
  float next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return float(state >> 40) / float(1 << 24) - 0.5f;
  }
private:
  std::uint64_t state = 42;
};

void
fill(WaveSurfaceKit * kit, SbVec3f * level, float value)
{
  for (int k = 0; k < kit->numRows * kit->rowLength; k++) level[k][2] = value;
}

// The update written with a mirror function instead of separate border
// loops: a neighbour index beyond the grid is reflected back into it.
std::vector<float>
mirroredStep(const std::vector<float> & cur, const std::vector<float> & prev, int W, int H)
{
  auto mirror = [](int k, int n) { return k < 0 ? -k : (k >= n ? 2 * (n - 1) - k : k); };
  auto u = [&](int i, int j) { return double(cur[mirror(i, W) * H + mirror(j, H)]); };
  std::vector<float> next(cur.size());
  for (int i = 0; i < W; i++) {
    for (int j = 0; j < H; j++) {
      const double s = u(i + 1, j) + u(i - 1, j) + u(i, j + 1) + u(i, j - 1);
      const double c = u(i, j), p = prev[i * H + j];
      next[i * H + j] = float(((s - 4 * c) * double(0.09f) + 2 * c - p + p * double(0.018000001f)) *
                              double(0.9823183f));
    }
  }
  return next;
}

}

TEST(WaveSolver, RestAndUniformLevelsStayExactlyPut)
{
  HeldKit kit(4);
  kit.resize(7, 9);

  kit->stepSimulation();
  for (float h : heights(kit->curPoints, kit.get())) ASSERT_EQ(0.0f, h);

  // Damping acts only on the change between levels: a level, interior,
  // border and corner alike, stays exactly where it is.
  for (float v : { 0.37f, -1.25f, 1e-3f, 123.456f, 0.1f }) {
    SCOPED_TRACE(v);
    fill(kit.get(), kit->curPoints, v);
    fill(kit.get(), kit->prevPoints, v);
    kit->stepSimulation();
    for (float h : heights(kit->curPoints, kit.get())) ASSERT_EQ(v, h);
  }
}

TEST(WaveSolver, SpikeSpreadsToItsFourNeighbours)
{
  HeldKit kit(4);
  kit.resize(9, 11);
  WaveSurfaceKit * k = kit.get();

  z(k->curPoints, k, 4, 5) = 1.0f;
  k->stepSimulation();
  for (int i = 0; i < 9; i++) {
    for (int j = 0; j < 11; j++) {
      const int distance = std::abs(i - 4) + std::abs(j - 5);
      const float expected =
        distance == 0 ? centreAfterSpike : (distance == 1 ? neighbourAfterSpike : 0.0f);
      EXPECT_NEAR(expected, z(k->curPoints, k, i, j), tolerance) << i << ", " << j;
    }
  }

  // A vertex that stood at 1 in both levels falls back.
  HeldKit still(4);
  still.resize(9, 11);
  z(still->curPoints, still.get(), 4, 5) = 1.0f;
  z(still->prevPoints, still.get(), 4, 5) = 1.0f;
  still->stepSimulation();
  EXPECT_NEAR(0.6463654f, z(still->curPoints, still.get(), 4, 5), tolerance);
  EXPECT_NEAR(neighbourAfterSpike, z(still->curPoints, still.get(), 3, 5), tolerance);
}

TEST(WaveSolver, BordersCountTheirInnerNeighbourTwice)
{
  const int W = 9, H = 11;
  struct Case { int si, sj, bi, bj; } sides[] = {
    { 1, 5, 0, 5 },          // border i = 0
    { W - 2, 5, W - 1, 5 },  // border i = W - 1
    { 4, 1, 4, 0 },          // border j = 0
    { 4, H - 2, 4, H - 1 },  // border j = H - 1
  };
  for (const Case & c : sides) {
    SCOPED_TRACE(testing::Message() << "spike at " << c.si << ", " << c.sj);
    HeldKit kit(4);
    kit.resize(W, H);
    z(kit->curPoints, kit.get(), c.si, c.sj) = 1.0f;
    kit->stepSimulation();
    EXPECT_NEAR(mirroredNeighbour, z(kit->curPoints, kit.get(), c.bi, c.bj), tolerance);
  }

  // Neighbours along a border count once.
  {
    HeldKit kit(4);
    kit.resize(W, H);
    z(kit->curPoints, kit.get(), 0, 5) = 1.0f;
    kit->stepSimulation();
    EXPECT_NEAR(neighbourAfterSpike, z(kit->curPoints, kit.get(), 0, 4), tolerance);
    EXPECT_NEAR(neighbourAfterSpike, z(kit->curPoints, kit.get(), 0, 6), tolerance);
  }

  // Each corner counts both of its neighbours twice.
  struct Corner { int ci, cj, xi, yj; } corners[] = {
    { 0, 0, 1, 1 }, { W - 1, 0, W - 2, 1 }, { 0, H - 1, 1, H - 2 }, { W - 1, H - 1, W - 2, H - 2 },
  };
  for (const Corner & c : corners) {
    SCOPED_TRACE(testing::Message() << "corner " << c.ci << ", " << c.cj);
    HeldKit kit(4);
    kit.resize(W, H);
    z(kit->curPoints, kit.get(), c.xi, c.cj) = 1.0f;
    z(kit->curPoints, kit.get(), c.ci, c.yj) = 1.0f;
    kit->stepSimulation();
    EXPECT_NEAR(cornerBetweenTwo, z(kit->curPoints, kit.get(), c.ci, c.cj), tolerance);
  }

  // The smallest grid has corners only, each reading its neighbours twice.
  HeldKit tiny(2);
  z(tiny->curPoints, tiny.get(), 1, 0) = 1.0f;
  tiny->stepSimulation();
  EXPECT_NEAR(mirroredNeighbour, z(tiny->curPoints, tiny.get(), 0, 0), tolerance);
  EXPECT_NEAR(centreAfterSpike, z(tiny->curPoints, tiny.get(), 1, 0), tolerance);
  EXPECT_NEAR(mirroredNeighbour, z(tiny->curPoints, tiny.get(), 1, 1), tolerance);
  EXPECT_EQ(0.0f, z(tiny->curPoints, tiny.get(), 0, 1));
}

TEST(WaveSolver, AgreesWithMirroredGridOnAnyShape)
{
  const int shapes[][2] = { { 2, 2 }, { 2, 5 }, { 5, 2 }, { 3, 3 }, { 6, 9 }, { 13, 4 }, { 40, 40 } };
  for (const auto & shape : shapes) {
    const int W = shape[0], H = shape[1];
    SCOPED_TRACE(testing::Message() << W << " x " << H);
    HeldKit kit(4);
    kit.resize(W, H);
    Noise noise;
    for (int k = 0; k < W * H; k++) {
      kit->curPoints[k][2] = noise.next();
      kit->prevPoints[k][2] = noise.next();
    }
    for (int step = 0; step < 3; step++) {
      const std::vector<float> expected =
        mirroredStep(heights(kit->curPoints, kit.get()), heights(kit->prevPoints, kit.get()), W, H);
      kit->stepSimulation();
      const std::vector<float> got = heights(kit->curPoints, kit.get());
      for (int k = 0; k < W * H; k++) ASSERT_NEAR(expected[k], got[k], 1e-6f) << "vertex " << k;
    }
  }
}

TEST(WaveSolver, KeepsTheWeightedVolume)
{
  HeldKit kit(4);
  kit.resize(12, 7);
  Noise noise;
  for (int k = 0; k < 12 * 7; k++) {
    kit->curPoints[k][2] = noise.next();
    kit->prevPoints[k][2] = noise.next();
  }
  // Give both levels the same volume: the cells number 11 x 6.
  const double shift =
    (weightedVolume(kit->curPoints, kit.get()) - weightedVolume(kit->prevPoints, kit.get())) / 66.0;
  for (int k = 0; k < 12 * 7; k++) kit->prevPoints[k][2] += float(shift);

  const double volume = weightedVolume(kit->curPoints, kit.get());
  ASSERT_NEAR(volume, weightedVolume(kit->prevPoints, kit.get()), 1e-5);
  for (int step = 0; step < 20; step++) {
    kit->stepSimulation();
    EXPECT_NEAR(volume, weightedVolume(kit->curPoints, kit.get()), 1e-4) << "step " << step;
  }
}

TEST(WaveSolver, PublishesTheNewLevelAndRotatesTheBuffers)
{
  HeldKit kit(4);
  kit.resize(8, 6);
  const std::vector<SbVec3f> grid(kit->curPoints, kit->curPoints + 48);
  Noise noise;
  for (int k = 0; k < 48; k++) kit->curPoints[k][2] = noise.next();

  SoCoordinate3 * coords = static_cast<SoCoordinate3 *>(kit->getPart("coordinate3", TRUE));
  for (int step = 0; step < 50; step++) {
    SbVec3f * const oldPrev = kit->prevPoints;
    SbVec3f * const oldCur = kit->curPoints;
    SbVec3f * const oldNext = kit->nextPoints;
    kit->stepSimulation();

    // The roles move on; no buffer is replaced.
    ASSERT_EQ(oldCur, kit->prevPoints);
    ASSERT_EQ(oldNext, kit->curPoints);
    ASSERT_EQ(oldPrev, kit->nextPoints);

    // The drawn points are the new current level, whole.
    ASSERT_EQ(48, coords->point.getNum());
    for (int k = 0; k < 48; k++) ASSERT_EQ(kit->curPoints[k], coords->point[k]);
  }

  // Only heights move: the grid positions stay in every buffer.
  for (int k = 0; k < 48; k++) {
    for (const SbVec3f * level : { kit->prevPoints, kit->curPoints, kit->nextPoints }) {
      EXPECT_EQ(grid[k][0], level[k][0]);
      EXPECT_EQ(grid[k][1], level[k][1]);
    }
    EXPECT_EQ(grid[k][0], coords->point[k][0]);
    EXPECT_EQ(grid[k][1], coords->point[k][1]);
  }
}

TEST(WaveSolver, CallbackStepsAndComesBack)
{
  HeldKit kit(5);
  z(kit->curPoints, kit.get(), 2, 2) = 1.0f;
  WaveSurfaceKit::stepCB(kit.get(), kit->stepSensor);
  EXPECT_NEAR(centreAfterSpike, z(kit->curPoints, kit.get(), 2, 2), tolerance);
  EXPECT_TRUE(kit->stepSensor->isScheduled());
  kit->stepSensor->unschedule();
}

TEST(WaveSolver, StepsOnTheBuiltGridUntilTheRebuild)
{
  // Grown fields: the step still covers the 20 x 20 buffers, no more.
  HeldKit grown(20);
  HeldKit reference(20);
  z(grown->curPoints, grown.get(), 18, 18) = 1.0f;
  z(reference->curPoints, reference.get(), 18, 18) = 1.0f;
  grown->width = 60;
  grown->height = 60;
  grown->stepSimulation();
  reference->stepSimulation();
  EXPECT_EQ(heights(reference->curPoints, reference.get()), heights(grown->curPoints, grown.get()));
  EXPECT_EQ(400, static_cast<SoCoordinate3 *>(grown->getPart("coordinate3", TRUE))->point.getNum());

  // Shrunk fields: the whole built grid still moves.
  HeldKit shrunk(40);
  z(shrunk->curPoints, shrunk.get(), 30, 30) = 1.0f;
  shrunk->width = 10;
  shrunk->height = 10;
  shrunk->stepSimulation();
  EXPECT_NEAR(centreAfterSpike, z(shrunk->curPoints, shrunk.get(), 30, 30), tolerance);
  EXPECT_NEAR(neighbourAfterSpike, z(shrunk->curPoints, shrunk.get(), 31, 30), tolerance);
}
