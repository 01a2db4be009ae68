// The drop clock: every tick advances every drop and tops the three streams
// up to their sizes with drops drawn around their spouts.

#include "DropStateGuard.h"

#include "app/Application.h"
#include "app/Fountain.h"
#include "drops/CascadeDrop.h"
#include "drops/DropTick.h"
#include "drops/JetDrop.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/SoDB.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/sensors/SoSensorManager.h>
#include <Inventor/sensors/SoTimerSensor.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

void
tick(int times = 1)
{
  for (int n = 0; n < times; n++) simulationTick(NULL, NULL);
}

// The launch parameters of a drop, in the order they are drawn.
std::vector<float>
drawn(const CascadeDrop * d)
{
  return {d->baseSpeed, d->startPosition[2], d->startPosition[1], d->startPosition[0]};
}

std::vector<float>
drawn(const JetDrop * d)
{
  return {d->launchSpeed, d->startPosition[1], d->startPosition[0]};
}

// Launch parameters of every drop made by the given number of ticks, in the
// order in which the drops were added.
std::vector<float>
launchesOf(int ticks)
{
  std::vector<float> out;
  for (int n = 0; n < ticks; n++) {
    const size_t l = lowerCascade.size(), u = upperCascade.size(), j = jetDrops.size();
    tick();
    for (size_t i = l; i < lowerCascade.size(); i++)
      for (float v : drawn(lowerCascade[i])) out.push_back(v);
    for (size_t i = u; i < upperCascade.size(); i++)
      for (float v : drawn(upperCascade[i])) out.push_back(v);
    for (size_t i = j; i < jetDrops.size(); i++)
      for (float v : drawn(jetDrops[i])) out.push_back(v);
  }
  return out;
}

bool
within(float v, float centre, float spread)
{
  return v >= centre - spread - 1e-6f && v <= centre + 0.998f * spread + 1e-6f;
}

}

using TickTest = DropStateTest;

TEST_F(TickTest, OneTickAddsTwoDropsPerStreamAtTheEndOfTheScene) {
  ASSERT_EQ(lowerCascade.size(), 1u);
  const int children = sceneRoot->getNumChildren();
  tick();
  ASSERT_EQ(lowerCascade.size(), 3u);
  ASSERT_EQ(upperCascade.size(), 3u);
  ASSERT_EQ(jetDrops.size(), 3u);
  ASSERT_EQ(sceneRoot->getNumChildren(), children + 6);

  // Branches follow in the order the drops were added.
  const SoNode * expected[6] = {lowerCascade[1]->transformNode, lowerCascade[2]->transformNode,
                                upperCascade[1]->transformNode, upperCascade[2]->transformNode,
                                jetDrops[1]->transformNode, jetDrops[2]->transformNode};
  for (int n = 0; n < 6; n++)
    EXPECT_EQ(static_cast<SoSeparator *>(sceneRoot->getChild(children + n))->getChild(1), expected[n]);

  auto expectCascade = [](const CascadeDrop * d, float y, float z, float floor,
                           WaveSurfaceKit * target, WaveSurfaceKit * source) {
    EXPECT_TRUE(within(d->startPosition[0], 0, 0.05f)) << d->startPosition[0];
    EXPECT_TRUE(within(d->startPosition[1], y, 0.05f)) << d->startPosition[1];
    EXPECT_TRUE(within(d->startPosition[2], z, 0.05f)) << d->startPosition[2];
    EXPECT_TRUE(within(d->baseSpeed, 0.4f, 0.05f)) << d->baseSpeed;
    EXPECT_EQ(d->radius, 0.1f);
    EXPECT_EQ(d->floorLevel, floor);
    EXPECT_EQ(d->targetSurface, target);
    EXPECT_EQ(d->sourceSurface, source);
  };
  for (int i = 1; i <= 2; i++) {
    expectCascade(lowerCascade[i], -8.1f, 3.35f, 0.0f, lowerSurface, middleSurface);
    expectCascade(upperCascade[i], -5.1f, 6.35f, 3.5f, middleSurface, upperSurface);

    const JetDrop * j = jetDrops[i];
    const float spread = i == 1 ? 0.05f : 0.01f;  // the second one is tighter
    EXPECT_TRUE(within(j->startPosition[0], 0, spread)) << j->startPosition[0];
    EXPECT_TRUE(within(j->startPosition[1], -2.25f, spread)) << j->startPosition[1];
    EXPECT_EQ(j->startPosition[2], 6.6f);
    EXPECT_TRUE(within(j->launchSpeed, 2.2f, 0.1f)) << j->launchSpeed;
    EXPECT_EQ(j->radius, 0.1f);
    EXPECT_EQ(j->floorLevel, 6.5f);
    EXPECT_EQ(j->targetSurface, upperSurface);
  }
}

TEST_F(TickTest, NewDropsWaitAtTheirStartUntilTheNextTick) {
  const float firstZ = jetDrops[0]->position[2];
  tick();
  EXPECT_GT(jetDrops[0]->position[2], firstZ);  // existing drops move
  std::vector<CascadeDrop *> cascades = since(lowerCascade, 1);
  for (CascadeDrop * d : since(upperCascade, 1)) cascades.push_back(d);
  for (CascadeDrop * d : cascades) {
    EXPECT_EQ(d->position, d->startPosition);
    EXPECT_EQ(d->transformNode->translation.getValue(), d->startPosition);
  }
  std::vector<JetDrop *> jets = since(jetDrops, 1);
  for (JetDrop * d : jets) {
    EXPECT_EQ(d->position, d->startPosition);
    EXPECT_EQ(d->transformNode->translation.getValue(), d->startPosition);
  }

  tick();
  for (CascadeDrop * d : cascades) {
    EXPECT_NEAR(d->position[1], d->startPosition[1] - 0.1f * d->baseSpeed, 1e-5f);
    EXPECT_EQ(d->transformNode->translation.getValue(), d->position);
  }
  for (JetDrop * d : jets) {
    EXPECT_NEAR(d->position[2], 6.6f + 0.1f * d->launchSpeed, 1e-5f);
    EXPECT_EQ(d->transformNode->translation.getValue(), d->position);
  }
}

TEST_F(TickTest, StreamsGrowByTwoWhileBelowTheirSizes) {
  // Fill each stream to one below its size, and then to its size.
  auto fill = [](size_t lower, size_t upper, size_t jets) {
    while (lowerCascade.size() < lower) {
      lowerCascade.push_back(new CascadeDrop(0, -8.1f, 3.35f, 0.1f, 0.4f, 0, lowerSurface, middleSurface));
      sceneRoot->addChild(lowerCascade.back()->buildSceneBranch());
    }
    while (upperCascade.size() < upper) {
      upperCascade.push_back(new CascadeDrop(0, -5.1f, 6.35f, 0.1f, 0.4f, 3.5f, middleSurface, upperSurface));
      sceneRoot->addChild(upperCascade.back()->buildSceneBranch());
    }
    while (jetDrops.size() < jets) {
      jetDrops.push_back(new JetDrop(0, -2.25f, 6.6f, 0.1f, 2.2f, 6.5f, upperSurface));
      sceneRoot->addChild(jetDrops.back()->buildSceneBranch());
    }
  };
  fill(53, 49, 149);
  tick();
  EXPECT_EQ(lowerCascade.size(), 55u);
  EXPECT_EQ(upperCascade.size(), 51u);
  EXPECT_EQ(jetDrops.size(), 151u);
  tick();
  EXPECT_EQ(lowerCascade.size(), 55u);
  EXPECT_EQ(upperCascade.size(), 51u);
  EXPECT_EQ(jetDrops.size(), 151u);

  TearDown();
  SetUp();
  fill(54, 50, 150);
  const int children = sceneRoot->getNumChildren();
  tick();
  EXPECT_EQ(lowerCascade.size(), 54u);
  EXPECT_EQ(upperCascade.size(), 50u);
  EXPECT_EQ(jetDrops.size(), 150u);
  EXPECT_EQ(sceneRoot->getNumChildren(), children);
}

TEST_F(TickTest, StreamsFillUpFromStartUpAndThenStop) {
  tick(25);
  EXPECT_EQ(lowerCascade.size(), 51u);
  EXPECT_EQ(upperCascade.size(), 51u);
  tick(2);
  EXPECT_EQ(lowerCascade.size(), 55u);
  EXPECT_EQ(upperCascade.size(), 51u);
  tick(47);
  EXPECT_EQ(jetDrops.size(), 149u);
  tick();  // the 75th
  EXPECT_EQ(lowerCascade.size(), 55u);
  EXPECT_EQ(upperCascade.size(), 51u);
  EXPECT_EQ(jetDrops.size(), 151u);
  EXPECT_EQ(sceneRoot->getNumChildren(), 29 + 54 + 50 + 150);
  tick(5);
  EXPECT_EQ(lowerCascade.size(), 55u);
  EXPECT_EQ(upperCascade.size(), 51u);
  EXPECT_EQ(jetDrops.size(), 151u);
  EXPECT_EQ(sceneRoot->getNumChildren(), 29 + 54 + 50 + 150);
}

TEST_F(TickTest, JetDropsAreAddedAndStartRipplingWhileTheJetIsOff) {
  jetEnabled = false;
  tick();
  ASSERT_EQ(jetDrops.size(), 3u);
  for (JetDrop * d : since(jetDrops, 1)) {
    EXPECT_TRUE(d->launchedWithJet);
    EXPECT_EQ(d->currentTransparency, 0.7f);
    EXPECT_EQ(d->materialNode->transparency[0], 0.7f);
  }
  // The tick hands the switch to the drops: the first jet drop, launched
  // with the jet on, lands in the 46th tick and relaunches with it off.
  tick(44);
  EXPECT_TRUE(jetDrops[0]->launchedWithJet);
  tick();
  EXPECT_EQ(jetDrops[0]->position, jetDrops[0]->startPosition);
  EXPECT_FALSE(jetDrops[0]->launchedWithJet);
}

TEST_F(TickTest, RunsDrawTheSameLaunchParametersInTheSameOrder) {
  // rand() starts from seed 1 when nothing seeds it.
  std::srand(1);
  std::vector<float> expected;
  for (int cascade = 0; cascade < 2; cascade++) {
    for (int n = 0; n < 2; n++) {
      expected.push_back(randomAround(0.4f, 0.05f));                          // speed
      expected.push_back(randomAround(cascade == 0 ? 3.35f : 6.35f, 0.05f));  // z
      expected.push_back(randomAround(cascade == 0 ? -8.1f : -5.1f, 0.05f));  // y
      expected.push_back(randomAround(0.0f, 0.05f));                          // x
    }
  }
  for (float spread : {0.05f, 0.01f}) {
    expected.push_back(randomAround(2.2f, 0.1f));       // speed
    expected.push_back(randomAround(-2.25f, spread));   // y
    expected.push_back(randomAround(0.0f, spread));     // x
  }

  std::srand(1);
  EXPECT_EQ(launchesOf(1), expected);

  // Longer runs include the apex scatters of the jet drops.
  TearDown();
  SetUp();
  std::srand(1);
  const std::vector<float> first = launchesOf(40);
  TearDown();
  SetUp();
  std::srand(1);
  const std::vector<float> second = launchesOf(40);
  EXPECT_EQ(first.size(), size_t(4 * 27 * 2 + 4 * 25 * 2 + 3 * 40 * 2));
  EXPECT_EQ(first, second);
}

// A tick that runs late, as one does after a long frame, does not move the
// later ones: they stay on the clock's grid of 0.04 s from its base time.
TEST_F(DropStateTest, LateTicksDoNotDelayTheClock)
{
  const double interval = dropClock->getInterval().getValue();
  const SbTime base = dropClock->getBaseTime();
  auto offGrid = [interval, base](const SbTime & t) {
    const double phase = std::fmod((t - base).getValue(), interval);
    return std::min(phase, interval - phase);
  };
  const SbTime due = dropClock->getTriggerTime();
  EXPECT_NEAR(offGrid(due), 0.0, 1e-6);

  // Run the due tick 15 ms late.
  const SbTime late = due + SbTime(0.015);
  while (SbTime::getTimeOfDay() < late) {}
  SoDB::getSensorManager()->processTimerQueue();

  const SbTime next = dropClock->getTriggerTime();
  EXPECT_GT(next, late);
  EXPECT_NEAR(offGrid(next), 0.0, 1e-6);
}
