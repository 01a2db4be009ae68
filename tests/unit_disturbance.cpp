// The disturbance (mapping a scene point to the grid, the mound and the
// volume correction), unsafe input, and the level probe.

#include "tests/WaterTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

const float raised = 0.0748028f;        // 0.075 - m on the lowest basin
const float correction = 0.000197239f;  // m = 0.3 / 1521

// The lowest basin of the fountain: 40 x 40, 10 x 10 units, centred at
// (0, -5), mound side 3.
class LowestBasin : public HeldKit {
public:
  LowestBasin() : HeldKit(40, 5.0f, 5.0f, 0.0f, -1.0f, 3) {}
};

// The single vertex a side-3 mound raises most is (a + 1, b + 1); with a
// mound of side 3 the four vertices (a + 1 .. a + 2, b + 1 .. b + 2) rise
// alike. Returns the corner (a, b) of the raised block, or (-1, -1) if
// nothing rose.
std::pair<int, int>
moundCorner(const HeldKit & kit)
{
  WaveSurfaceKit * k = kit.get();
  for (int i = 0; i < k->numRows; i++)
    for (int j = 0; j < k->rowLength; j++)
      if (z(k->curPoints, k, i, j) > 0.0f) return { i - 1, j - 1 };
  return { -1, -1 };
}

bool
untouched(const HeldKit & kit)
{
  WaveSurfaceKit * k = kit.get();
  for (const SbVec3f * level : { k->prevPoints, k->curPoints, k->nextPoints })
    for (float h : heights(level, k))
      if (h != 0.0f) return false;
  return true;
}

}

TEST(Disturbance, RaisesAMoundAndLowersTheWholeSurface)
{
  LowestBasin kit;
  WaveSurfaceKit * k = kit.get();
  kit->disturb(0.0f, -5.0f);

  double sum = 0.0;
  for (SbVec3f * level : { k->curPoints, k->prevPoints }) {
    for (int i = 0; i < 40; i++) {
      for (int j = 0; j < 40; j++) {
        const bool inMound = (i == 20 || i == 21) && (j == 20 || j == 21);
        EXPECT_NEAR(inMound ? raised : -correction, z(level, k, i, j), 1e-7f) << i << ", " << j;
      }
    }
  }
  for (float h : heights(k->curPoints, k)) sum += h;
  EXPECT_NEAR(-0.0155818, sum, 1e-6);

  // Both levels alike: the water rises without being set in motion, and its
  // volume over the cells stays what it was.
  EXPECT_EQ(heights(k->curPoints, k), heights(k->prevPoints, k));
  EXPECT_NEAR(0.0, weightedVolume(k->curPoints, k), 1e-5);
  for (float h : heights(k->nextPoints, k)) ASSERT_EQ(0.0f, h);

  // The default mound of side 10 keeps the volume as well and peaks at its
  // middle, five vertices in from its corner along both axes.
  HeldKit wide(70, 1.0f, 1.0f, 0.0f, 0.0f, 10);
  wide->disturb(0.0f, 0.0f);  // corner at (34, 34)
  EXPECT_NEAR(0.0, weightedVolume(wide->curPoints, wide.get()), 1e-5);
  const double pi = 3.14159265358979;
  const double added = 0.1 * std::pow(1.0 / std::tan(pi / 20), 2);  // sum of the mound
  EXPECT_NEAR(0.1 - added / (69 * 69),
              z(wide->curPoints, wide.get(), 39, 39), 1e-6f);
}

TEST(Disturbance, MapsScenePointsOntoTheGrid)
{
  {
    LowestBasin kit;
    kit->disturb(-4.8f, -9.8f);  // the smallest accepted index pair
    EXPECT_EQ(std::make_pair(1, 1), moundCorner(kit));
  }
  {
    LowestBasin kit;
    kit->disturb(3.0f, -5.0f);  // half of W - 1 is 19, not 19.5
    EXPECT_EQ(std::make_pair(30, 19), moundCorner(kit));
  }
  {
    LowestBasin kit;
    kit->disturb(4.2f, -5.0f);  // index 35, the last accepted
    EXPECT_EQ(std::make_pair(35, 19), moundCorner(kit));
  }

  // Points whose mound would not lie wholly inside the grid change nothing.
  const float rejected[][2] = { { -5.0f, -10.0f }, { 5.0f, 0.0f }, { 4.4f, -5.0f },
                                { 0.0f, -0.6f }, { -5.2f, -5.0f }, { 0.0f, -9.9f } };
  for (const auto & p : rejected) {
    SCOPED_TRACE(testing::Message() << p[0] << ", " << p[1]);
    LowestBasin kit;
    kit->disturb(p[0], p[1]);
    EXPECT_TRUE(untouched(kit));
  }
}

TEST(Disturbance, IgnoresPointsThatAreNotNumbersOnTheGrid)
{
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const float bad[][2] = { { nan, -5.0f }, { 0.0f, nan }, { inf, -5.0f }, { -inf, -5.0f },
                           { 0.0f, inf }, { 0.0f, -inf }, { 1e30f, -5.0f }, { 0.0f, -1e30f },
                           { -1e30f, 1e30f } };
  for (const auto & p : bad) {
    SCOPED_TRACE(testing::Message() << p[0] << ", " << p[1]);
    LowestBasin kit;
    kit->disturb(p[0], p[1]);
    EXPECT_TRUE(untouched(kit));
  }

  // A mound side that is empty or larger than the grid writes nothing.
  for (int32_t side : { 0, -1, -5, INT_MIN, 38, 1000, INT_MAX }) {
    SCOPED_TRACE(side);
    HeldKit kit(40, 5.0f, 5.0f, 0.0f, -1.0f, side);
    kit->disturb(0.0f, -5.0f);
    kit->disturb(-4.8f, -9.8f);
    EXPECT_TRUE(untouched(kit));
  }

  // A surface placed with no extent maps every point nowhere.
  HeldKit flat(40, 0.0f, 5.0f, 0.0f, -1.0f, 3);
  flat->disturb(0.0f, -5.0f);
  EXPECT_TRUE(untouched(flat));
}

TEST(Disturbance, LevelProbeReadsTheEdgeMiddleTwoStepsBack)
{
  LowestBasin kit;
  EXPECT_EQ(0.0f, kit->waterLevel());
  kit->disturb(0.0f, -5.0f);
  EXPECT_EQ(0.0f, kit->waterLevel());  // not before the next step
  kit->stepSimulation();
  EXPECT_NEAR(-correction, kit->waterLevel(), 1e-8f);

  // The probe vertex is (W / 2, 0) of the oldest level.
  for (int W : { 20, 30, 40 }) {
    SCOPED_TRACE(W);
    HeldKit probe(W);
    z(probe->nextPoints, probe.get(), W / 2, 0) = 0.25f;
    z(probe->nextPoints, probe.get(), W / 2 - 1, 0) = 1.0f;
    z(probe->nextPoints, probe.get(), W / 2, 1) = 1.0f;
    z(probe->curPoints, probe.get(), W / 2, 0) = 1.0f;
    EXPECT_EQ(0.25f, probe->waterLevel());
  }
}

TEST(Disturbance, StaysOnTheBuiltGridUntilTheRebuild)
{
  // Grown fields would map (0, -5) to index 29 of a 60-wide grid; the
  // buffers are still 40 x 40 and the mound lands where it would there.
  LowestBasin grown;
  grown->width = 60;
  grown->height = 60;
  grown->disturb(0.0f, -5.0f);
  EXPECT_EQ(std::make_pair(19, 19), moundCorner(grown));
  grown->disturb(4.2f, -5.0f);  // 45 of 60, 35 of 40
  EXPECT_NEAR(raised - correction, z(grown->curPoints, grown.get(), 36, 20), 1e-6f);
  grown->stepSimulation();
  EXPECT_NEAR(-2 * correction, grown->waterLevel(), 1e-7f);

  // Shrunk fields: the probe and the mound still use the built grid.
  LowestBasin shrunk;
  shrunk->width = 4;
  shrunk->height = 4;
  shrunk->disturb(0.0f, -5.0f);
  EXPECT_EQ(std::make_pair(19, 19), moundCorner(shrunk));
  z(shrunk->nextPoints, shrunk.get(), 20, 0) = 0.5f;
  EXPECT_EQ(0.5f, shrunk->waterLevel());
}
