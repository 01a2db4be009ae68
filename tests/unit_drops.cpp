// The cascade and jet drops on real water surfaces: their flights, landings,
// ripples, relaunches and scene branches, and the random helper.

#include "drops/CascadeDrop.h"
#include "drops/DropTick.h"
#include "drops/JetDrop.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoTransform.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

namespace {

const float DT = 0.1f;

// The z of every vertex in both time levels that a disturbance changes.
std::vector<float>
heights(const WaveSurfaceKit * kit)
{
  const int n = kit->width.getValue() * kit->height.getValue();
  std::vector<float> z;
  for (int k = 0; k < n; k++) z.push_back(kit->curPoints[k][2]);
  for (int k = 0; k < n; k++) z.push_back(kit->prevPoints[k][2]);
  return z;
}

bool
isAtRest(const WaveSurfaceKit * kit)
{
  for (float z : heights(kit))
    if (z != 0.0f) return false;
  return true;
}

class DropTest : public ::testing::Test {
protected:
  void SetUp() override {
    branches = new SoSeparator;
    branches->ref();
    // The program's three basins.
    lower = kit(new WaveSurfaceKit(40, 5.0f, 5.0f, 0.0f, -1.0f, 3));
    middle = kit(new WaveSurfaceKit(30, 3.0f, 3.5f, 0.0f, -1.0f, 3));
    upper = kit(new WaveSurfaceKit(20, 2.0f, 2.0f, 0.0f, -1.0f, 3));
  }
  void TearDown() override {
    branches->unref();
    for (WaveSurfaceKit * k : kits) k->unref();
  }
  WaveSurfaceKit * kit(WaveSurfaceKit * k) {
    k->ref();
    kits.push_back(k);
    return k;
  }
  // Takes a new drop for the rest of the test and puts its branch into the
  // scene.
  template <class Drop>
  Drop & ready(Drop * drop) {
    drops.emplace_back(std::shared_ptr<Drop>(drop));
    branches->addChild(drop->buildSceneBranch());
    return *drop;
  }
  // Disturbs a fresh copy of a basin at the given points, for comparison.
  WaveSurfaceKit * disturbedCopy(const WaveSurfaceKit * of, std::vector<SbVec2f> points) {
    WaveSurfaceKit * copy = kit(new WaveSurfaceKit(of->width.getValue(), of->halfSizeX,
                                                   of->halfSizeY, of->centerX, of->centerY,
                                                   of->bumpSize));
    for (const SbVec2f & p : points) copy->disturb(p[0], p[1]);
    return copy;
  }

  SoSeparator * branches;
  std::vector<std::shared_ptr<void>> drops;
  std::vector<WaveSurfaceKit *> kits;
  WaveSurfaceKit * lower;
  WaveSurfaceKit * middle;
  WaveSurfaceKit * upper;
};

// Element of nextPoints that the level probe of a W-wide kit reads.
int
probeIndex(const WaveSurfaceKit * kit)
{
  return (kit->width.getValue() / 2) * kit->rowLength;
}

}

TEST_F(DropTest, CascadeDropFallsFromItsSpoutAndLandsBackThere) {
  CascadeDrop & drop = ready(new CascadeDrop(0.0f, -8.1f, 3.35f, 0.1f, 0.4f, 0.0f, lower, middle));
  const SbVec3f start(0.0f, -8.1f, 3.35f);
  EXPECT_EQ(drop.position, start);
  EXPECT_EQ(drop.velocity, SbVec3f(0.0f, -0.4f, 0.0f));

  drop.advance(DT);
  EXPECT_EQ(drop.position[2], 3.35f);  // no vertical speed yet
  EXPECT_NEAR(drop.position[1], -8.14f, 1e-6);
  EXPECT_NEAR(drop.velocity[2], -0.1f, 1e-7);
  EXPECT_EQ(drop.transformNode->translation.getValue(), drop.position);

  for (int step = 2; step <= 26; step++) drop.advance(DT);
  EXPECT_NEAR(drop.position[2], 0.10f, 1e-4);
  EXPECT_NEAR(drop.position[1], -8.1f - 26 * 0.04f, 1e-4);
  EXPECT_EQ(drop.position[0], 0.0f);
  EXPECT_TRUE(isAtRest(lower));

  drop.advance(DT);  // step 27: lands and leaves again at once
  EXPECT_EQ(drop.position, start);
  EXPECT_EQ(drop.velocity[2], 0.0f);
  EXPECT_EQ(drop.velocity[1], -0.4f);  // source at rest
  EXPECT_EQ(drop.transformNode->translation.getValue(), start);
  EXPECT_TRUE(isAtRest(middle));  // the source is only read

  // The same flight without a floor: step 27 is the first below z = 0, after
  // 27 * 0.04 of outward travel.
  CascadeDrop & free = ready(new CascadeDrop(0.0f, -8.1f, 3.35f, 0.1f, 0.4f, -100.0f, lower, middle));
  for (int step = 1; step <= 27; step++) free.advance(DT);
  EXPECT_NEAR(free.position[1], -8.1f - 1.08f, 1e-4);
  EXPECT_NEAR(free.position[2], -0.16f, 1e-4);

  // A z exactly at the floor has not landed.
  CascadeDrop & level = ready(new CascadeDrop(0.0f, -8.1f, 3.35f, 0.1f, 0.4f, 3.35f, lower, middle));
  level.advance(DT);
  EXPECT_EQ(level.position[2], 3.35f);
  EXPECT_NE(level.position[1], -8.1f);
  EXPECT_NEAR(level.velocity[2], -0.1f, 1e-7);
  level.advance(DT);
  EXPECT_EQ(level.position, start);
  EXPECT_EQ(level.velocity[2], 0.0f);
}

TEST_F(DropTest, CascadeLaunchSpeedFollowsTheSourceLevel) {
  CascadeDrop & drop = ready(new CascadeDrop(0.0f, -8.1f, 3.35f, 0.1f, 0.4f, 0.0f, lower, middle));
  const int probe = probeIndex(middle);
  ASSERT_EQ(probe, 15 * 30);

  auto flight = [&]() { for (int step = 0; step < 27; step++) drop.advance(DT); };
  flight();
  EXPECT_FLOAT_EQ(drop.velocity[1], -0.4f);

  middle->nextPoints[probe][2] = 0.1f;
  flight();
  EXPECT_EQ(drop.position[2], 3.35f);
  EXPECT_FLOAT_EQ(drop.velocity[1], -(0.4f + 0.15f));

  // The next flight really goes out at that speed.
  drop.advance(DT);
  EXPECT_NEAR(drop.position[1], -8.1f - 0.055f, 1e-5);

  // No clamping: a low enough level sends the drop back towards +y.
  middle->nextPoints[probe][2] = -0.5f;
  for (int step = 1; step < 27; step++) drop.advance(DT);
  EXPECT_EQ(drop.position[2], 3.35f);
  EXPECT_FLOAT_EQ(drop.velocity[1], 0.35f);
}

TEST_F(DropTest, HeavierCascadeDropFallsFaster) {
  CascadeDrop & small = ready(new CascadeDrop(0.0f, -8.1f, 3.35f, 0.1f, 0.4f, -100.0f, lower, middle));
  CascadeDrop & large = ready(new CascadeDrop(0.0f, -8.1f, 3.35f, 0.2f, 0.4f, -100.0f, lower, middle));
  for (int step = 0; step < 10; step++) {
    small.advance(DT);
    large.advance(DT);
  }
  EXPECT_NEAR(large.velocity[2], 2.0f * small.velocity[2], 1e-5);
  EXPECT_NEAR(3.35f - large.position[2], 2.0f * (3.35f - small.position[2]), 1e-4);
  EXPECT_EQ(large.position[1], small.position[1]);
}

TEST_F(DropTest, CascadeRippleIsOneUnitBeyondTheSpout) {
  CascadeDrop & drop = ready(new CascadeDrop(0.5f, -8.1f, 3.35f, 0.1f, 0.4f, 0.0f, lower, middle));
  for (int step = 0; step < 27; step++) drop.advance(DT);
  EXPECT_FALSE(isAtRest(lower)) << "a landing ripples the target";
  EXPECT_EQ(heights(lower), heights(disturbedCopy(lower, {SbVec2f(0.5f, -8.1f - 1.0f)})));

  // A faster flight lands farther out but ripples the same place.
  middle->nextPoints[probeIndex(middle)][2] = 0.2f;
  for (int step = 0; step < 27; step++) drop.advance(DT);
  drop.advance(DT);
  middle->nextPoints[probeIndex(middle)][2] = 0.0f;
  for (int step = 1; step < 27; step++) drop.advance(DT);
  EXPECT_EQ(drop.position[2], 3.35f);
  EXPECT_EQ(heights(lower),
            heights(disturbedCopy(lower, {SbVec2f(0.5f, -9.1f), SbVec2f(0.5f, -9.1f),
                                          SbVec2f(0.5f, -9.1f)})));
}

TEST_F(DropTest, JetDropRisesScattersFallsAndRipplesWhereItLands) {
  JetDrop & drop = ready(new JetDrop(0.0f, -2.25f, 6.6f, 0.1f, 2.25f, 6.5f, upper));
  const SbVec3f nozzle(0.0f, -2.25f, 6.6f);
  EXPECT_EQ(drop.velocity, SbVec3f(0.0f, 0.0f, 2.25f));
  EXPECT_FALSE(drop.scattered);
  EXPECT_TRUE(drop.launchedWithJet);
  EXPECT_EQ(drop.currentTransparency, 0.7f);

  std::srand(7);
  const int rx = std::rand(), ry = std::rand();
  std::srand(7);

  for (int step = 1; step <= 22; step++) {
    drop.advance(DT, true);
    ASSERT_GE(drop.velocity[2], 0.0f) << step;
    ASSERT_FALSE(drop.scattered) << step;
  }
  EXPECT_EQ(drop.position[0], 0.0f);
  EXPECT_EQ(drop.position[1], -2.25f);
  const float zBefore = drop.position[2];
  const float vzBefore = drop.velocity[2];

  drop.advance(DT, true);  // step 23: past the apex, scattered once
  EXPECT_NEAR(drop.velocity[2], -0.05f, 1e-5);
  EXPECT_TRUE(drop.scattered);
  EXPECT_EQ(drop.position[2], zBefore + DT * vzBefore);  // the scatter leaves z alone
  EXPECT_LE(std::fabs(drop.position[0]), 0.15f);
  EXPECT_LE(std::fabs(drop.position[1] + 2.25f), 0.15f + 1e-6);
  // x draws first, then y.
  EXPECT_FLOAT_EQ(drop.position[0], float((rx % 1000) - 500) * 0.15f * 0.002f);
  EXPECT_FLOAT_EQ(drop.position[1], -2.25f + float((ry % 1000) - 500) * 0.15f * 0.002f);
  const SbVec2f landing(drop.position[0], drop.position[1]);

  for (int step = 24; step <= 46; step++) drop.advance(DT, true);
  EXPECT_EQ(SbVec2f(drop.position[0], drop.position[1]), landing);  // no second scatter
  EXPECT_GT(drop.position[2], 6.5f);
  EXPECT_TRUE(isAtRest(upper));

  drop.advance(DT, true);  // step 47: lands and is shot up again
  EXPECT_EQ(drop.position, nozzle);
  EXPECT_EQ(drop.velocity[2], 2.25f);
  EXPECT_FALSE(drop.scattered);
  EXPECT_EQ(drop.transformNode->translation.getValue(), nozzle);
  EXPECT_FALSE(isAtRest(upper));
  EXPECT_EQ(heights(upper), heights(disturbedCopy(upper, {landing})));

  // Where the 47th step takes the drop when nothing stops it.
  JetDrop & free = ready(new JetDrop(0.0f, -2.25f, 6.6f, 0.1f, 2.25f, -100.0f, upper));
  for (int step = 1; step <= 47; step++) free.advance(DT, true);
  EXPECT_NEAR(free.position[2], 6.365f, 1e-4);

  // Below the floor but still rising: not a landing.
  JetDrop & low = ready(new JetDrop(0.0f, -2.25f, 6.0f, 0.1f, 2.25f, 6.5f, upper));
  low.advance(DT, true);
  EXPECT_NEAR(low.position[2], 6.225f, 1e-5);
  EXPECT_NEAR(low.velocity[2], 2.15f, 1e-5);
}

TEST_F(DropTest, JetSwitchActsOnRipplesAndVisibilityFlightsLater) {
  JetDrop & drop = ready(new JetDrop(0.0f, -2.25f, 6.6f, 0.1f, 2.25f, 6.5f, upper));
  // One flight with launch speed 2.25 takes 47 steps; reports whether its
  // landing rippled the water.
  auto flight = [&](bool jetOn) {
    const std::vector<float> before = heights(upper);
    for (int step = 0; step < 47; step++) drop.advance(DT, jetOn);
    EXPECT_EQ(drop.position, drop.startPosition);
    EXPECT_EQ(drop.materialNode->transparency[0], drop.currentTransparency);
    return heights(upper) != before;
  };

  // Switched off during the first flight.
  EXPECT_TRUE(flight(false));
  EXPECT_EQ(drop.currentTransparency, 0.7f);
  EXPECT_FALSE(drop.launchedWithJet);
  EXPECT_FALSE(flight(false));
  EXPECT_EQ(drop.currentTransparency, 1.0f);
  EXPECT_FALSE(flight(false));
  EXPECT_EQ(drop.currentTransparency, 1.0f);

  // Switched on again during the fourth flight.
  EXPECT_FALSE(flight(true));
  EXPECT_EQ(drop.currentTransparency, 1.0f);
  EXPECT_TRUE(drop.launchedWithJet);
  EXPECT_TRUE(flight(true));
  EXPECT_EQ(drop.currentTransparency, 0.7f);
  EXPECT_TRUE(flight(true));
  EXPECT_EQ(drop.currentTransparency, 0.7f);

  // A drop made while the jet is off ripples once and then goes dark.
  JetDrop & late = ready(new JetDrop(0.1f, -2.2f, 6.6f, 0.1f, 2.25f, 6.5f, upper));
  const std::vector<float> before = heights(upper);
  for (int step = 0; step < 47; step++) late.advance(DT, false);
  EXPECT_NE(heights(upper), before);
  EXPECT_EQ(late.materialNode->transparency[0], 0.7f);
  const std::vector<float> second = heights(upper);
  for (int step = 0; step < 47; step++) late.advance(DT, false);
  EXPECT_EQ(heights(upper), second);
  EXPECT_EQ(late.materialNode->transparency[0], 1.0f);
}

TEST_F(DropTest, SceneBranchIsAWhiteTranslucentSphereAtTheDrop) {
  CascadeDrop cascade(0.0f, -8.1f, 3.35f, 0.1f, 0.25f, 0.0f, lower, middle);
  JetDrop jet(0.0f, -2.25f, 6.6f, 0.2f, 2.2f, 6.5f, upper);
  SoSeparator * cascadeRoot = cascade.buildSceneBranch();
  SoSeparator * jetRoot = jet.buildSceneBranch();
  EXPECT_EQ(cascadeRoot->getRefCount(), 0);  // handed over unreferenced
  EXPECT_EQ(jetRoot->getRefCount(), 0);
  branches->addChild(cascadeRoot);
  branches->addChild(jetRoot);

  struct Expect { SoSeparator * root; SbVec3f position; float radius; };
  for (const Expect & e : {Expect{cascadeRoot, cascade.position, 0.1f},
                           Expect{jetRoot, jet.position, 0.2f}}) {
    ASSERT_EQ(e.root->getNumChildren(), 4);
    ASSERT_TRUE(e.root->getChild(0)->isOfType(SoMaterial::getClassTypeId()));
    ASSERT_TRUE(e.root->getChild(1)->isOfType(SoTransform::getClassTypeId()));
    ASSERT_TRUE(e.root->getChild(2)->isOfType(SoScale::getClassTypeId()));
    ASSERT_TRUE(e.root->getChild(3)->isOfType(SoSphere::getClassTypeId()));
    SoMaterial * material = static_cast<SoMaterial *>(e.root->getChild(0));
    ASSERT_EQ(material->emissiveColor.getNum(), 1);
    EXPECT_EQ(material->emissiveColor[0], SbColor(0.9f, 0.9f, 0.9f));
    ASSERT_EQ(material->specularColor.getNum(), 1);
    EXPECT_EQ(material->specularColor[0], SbColor(0.9f, 0.9f, 0.9f));
    ASSERT_EQ(material->transparency.getNum(), 1);
    EXPECT_EQ(material->transparency[0], 0.7f);
    EXPECT_TRUE(material->diffuseColor.isDefault());
    EXPECT_TRUE(material->ambientColor.isDefault());
    EXPECT_TRUE(material->shininess.isDefault());
    SoTransform * transform = static_cast<SoTransform *>(e.root->getChild(1));
    EXPECT_EQ(transform->translation.getValue(), e.position);
    EXPECT_EQ(static_cast<SoScale *>(e.root->getChild(2))->scaleFactor.getValue(),
              SbVec3f(e.radius, e.radius, e.radius));
    EXPECT_EQ(static_cast<SoSphere *>(e.root->getChild(3))->radius.getValue(), 1.0f);
  }
  EXPECT_EQ(cascade.transformNode, cascadeRoot->getChild(1));
  EXPECT_EQ(jet.transformNode, jetRoot->getChild(1));
  EXPECT_EQ(jet.materialNode, jetRoot->getChild(0));
}

TEST(RandomAround, LiesOnAGridOfAThousandValues) {
  EXPECT_EQ(randomAround(3.35f, 0.0f), 3.35f);
  EXPECT_EQ(randomAround(-8.1f, 0.0f), -8.1f);

  std::set<long> steps;
  float lowest = 1.0f, highest = -1.0f;
  for (int n = 0; n < 200000; n++) {
    const float v = randomAround(0.0f, 1.0f);
    const double k = v / 0.002;
    ASSERT_NEAR(k, std::round(k), 1e-3) << v;
    steps.insert(std::lround(k));
    lowest = std::min(lowest, v);
    highest = std::max(highest, v);
  }
  EXPECT_EQ(steps.size(), 1000u);
  EXPECT_FLOAT_EQ(lowest, -1.0f);
  EXPECT_FLOAT_EQ(highest, 0.998f);

  // The spread scales the offset around the centre.
  std::srand(11);
  const int r = std::rand();
  std::srand(11);
  EXPECT_FLOAT_EQ(randomAround(2.2f, 0.1f), 2.2f + float((r % 1000) - 500) * 0.1f * 0.002f);
}
