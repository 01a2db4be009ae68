// The drop clock and the three drop streams.

#include "drops/DropTick.h"

#include "app/Application.h"
#include "app/Fountain.h"
#include "drops/CascadeDrop.h"
#include "drops/JetDrop.h"

#include <Inventor/nodes/SoSeparator.h>

#include <cstdlib>

std::vector<CascadeDrop *> lowerCascade;
std::vector<CascadeDrop *> upperCascade;
std::vector<JetDrop *> jetDrops;

namespace {

const float TIME_STEP = 0.1f;
const std::size_t LOWER_LIMIT = 54;
const std::size_t UPPER_LIMIT = 50;
const std::size_t JET_LIMIT = 150;

// Draws a new cascade drop around its spout and adds it to the stream and
// its branch to the scene. The draws go speed, z, y, x.
void
addCascadeDrop(std::vector<CascadeDrop *> & stream, float spoutY, float spoutZ,
               float floorLevel, WaveSurfaceKit * target, WaveSurfaceKit * source)
{
  const float speed = randomAround(0.4f, 0.05f);
  const float z = randomAround(spoutZ, 0.05f);
  const float y = randomAround(spoutY, 0.05f);
  const float x = randomAround(0.0f, 0.05f);
  stream.push_back(new CascadeDrop(x, y, z, 0.1f, speed, floorLevel, target, source));
  sceneRoot->addChild(stream.back()->buildSceneBranch());
}

// Draws a new jet drop around the nozzle; the draws go speed, y, x.
void
addJetDrop(float spread)
{
  const float speed = randomAround(2.2f, 0.1f);
  const float y = randomAround(-2.25f, spread);
  const float x = randomAround(0.0f, spread);
  jetDrops.push_back(new JetDrop(x, y, 6.6f, 0.1f, speed, 6.5f, upperSurface));
  sceneRoot->addChild(jetDrops.back()->buildSceneBranch());
}

template <class Drop>
void
freeAll(std::vector<Drop *> & stream)
{
  for (Drop * drop : stream) delete drop;
  stream.clear();
  stream.shrink_to_fit();
}

}

float
randomAround(float center, float spread)
{
  return center + float((std::rand() % 1000) - 500) * spread * 0.002f;
}

void
simulationTick(void *, SoSensor *)
{
  for (CascadeDrop * drop : lowerCascade) drop->advance(TIME_STEP);
  for (CascadeDrop * drop : upperCascade) drop->advance(TIME_STEP);
  for (JetDrop * drop : jetDrops) drop->advance(TIME_STEP, jetEnabled);

  if (lowerCascade.size() < LOWER_LIMIT) {
    for (int n = 0; n < 2; n++)
      addCascadeDrop(lowerCascade, -8.1f, 3.35f, 0.0f, lowerSurface, middleSurface);
  }
  if (upperCascade.size() < UPPER_LIMIT) {
    for (int n = 0; n < 2; n++)
      addCascadeDrop(upperCascade, -5.1f, 6.35f, 3.5f, middleSurface, upperSurface);
  }
  if (jetDrops.size() < JET_LIMIT) {
    addJetDrop(0.05f);
    addJetDrop(0.01f);
  }
}

void
releaseDrops(void)
{
  freeAll(lowerCascade);
  freeAll(upperCascade);
  freeAll(jetDrops);
}
