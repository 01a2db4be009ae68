// The three-tier fountain: masonry, the placed water surfaces and the first
// drop of each stream, appended to sceneRoot in drawing order.

#include "app/Fountain.h"

#include "app/Application.h"
#include "app/Masonry.h"
#include "drops/CascadeDrop.h"
#include "drops/DropTick.h"
#include "drops/JetDrop.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTransform.h>

WaveSurfaceKit * lowerSurface = NULL;
WaveSurfaceKit * middleSurface = NULL;
WaveSurfaceKit * upperSurface = NULL;

SoSeparator *
placeSurface(WaveSurfaceKit * kit, float sx, float sy, float tx, float ty, float tz)
{
  kit->startSimulation();

  SoSeparator * holder = new SoSeparator;
  SoScale * scale = new SoScale;
  scale->scaleFactor = SbVec3f(sx, sy, 1.0f);
  SoTransform * transform = new SoTransform;
  transform->translation = SbVec3f(tx, ty, tz);

  holder->addChild(scale);
  holder->addChild(transform);
  holder->addChild(kit);
  return holder;
}

void
buildFountain(void)
{
  SoSeparator * root = sceneRoot;

  // Lower basin.
  root->addChild(buildMarbleBlock(0.0f, 0.0f, 3.5f, 10.5f, 0.5f, 10.0f));  // back wall
  root->addChild(buildMarbleBlock(0.0f, -10.0f, 0.0f, 10.5f, 0.5f, 3.0f));
  root->addChild(buildMarbleBlock(-5.0f, -5.0f, 0.0f, 0.5f, 9.5f, 3.0f));
  root->addChild(buildMarbleBlock(5.0f, -5.0f, 0.0f, 0.5f, 9.5f, 3.0f));
  root->addChild(buildStoneSlab(0.0f, -5.0f, -1.45f, 10.0f, 10.0f, 0.1f));
  root->addChild(buildMarbleBlock(0.0f, -5.0f, -1.625f, 10.5f, 10.5f, 0.25f));
  lowerSurface = new WaveSurfaceKit(40, 5.0f, 5.0f, 0.0f, -1.0f, 3);
  root->addChild(placeSurface(lowerSurface, 5.0f, 5.0f, 0.0f, -1.0f, 0.0f));

  // Middle basin.
  root->addChild(buildMarbleBlock(0.0f, -7.0f, 3.5f, 6.5f, 0.5f, 2.0f));
  root->addChild(buildMarbleBlock(-3.0f, -3.5f, 3.5f, 0.5f, 6.5f, 2.0f));
  root->addChild(buildMarbleBlock(3.0f, -3.5f, 3.5f, 0.5f, 6.5f, 2.0f));
  root->addChild(buildStoneSlab(0.0f, -3.5f, 2.55f, 6.0f, 7.0f, 0.1f));
  root->addChild(buildMarbleBlock(0.0f, -3.75f, 2.375f, 6.5f, 7.0f, 0.25f));
  middleSurface = new WaveSurfaceKit(30, 3.0f, 3.5f, 0.0f, -1.0f, 3);
  root->addChild(placeSurface(middleSurface, 3.0f, 3.5f, 0.0f, -1.0f, 3.5f));
  root->addChild(buildSpout(0.0f, -7.25f, 3.5f, 0.5f, 1.5f));

  // Upper basin.
  root->addChild(buildMarbleBlock(0.0f, -4.0f, 6.5f, 4.5f, 0.5f, 2.0f));
  root->addChild(buildMarbleBlock(-2.0f, -2.0f, 6.5f, 0.5f, 3.5f, 2.0f));
  root->addChild(buildMarbleBlock(2.0f, -2.0f, 6.5f, 0.5f, 3.5f, 2.0f));
  root->addChild(buildStoneSlab(0.0f, -2.0f, 5.55f, 4.0f, 4.0f, 0.1f));
  root->addChild(buildMarbleBlock(0.0f, -2.25f, 5.375f, 4.5f, 4.0f, 0.25f));
  upperSurface = new WaveSurfaceKit(20, 2.0f, 2.0f, 0.0f, -1.0f, 3);
  root->addChild(placeSurface(upperSurface, 2.0f, 2.0f, 0.0f, -1.0f, 6.5f));
  root->addChild(buildSpout(0.0f, -4.25f, 6.5f, 0.5f, 1.5f));

  // The jet pipe: base on the upper floor, nozzle on the base.
  root->addChild(buildUprightPipe(0.0f, -2.25f, 5.975f, 1.0f, 0.75f));
  root->addChild(buildUprightPipe(0.0f, -2.25f, 6.6f, 0.5f, 0.5f));

  // The first drop of each stream; later ones come from the drop clock.
  lowerCascade.push_back(new CascadeDrop(0.0f, -8.1f, 3.35f, 0.1f, 0.25f, 0.0f,
                                         lowerSurface, middleSurface));
  upperCascade.push_back(new CascadeDrop(0.0f, -5.1f, 6.35f, 0.1f, 0.25f, 3.5f,
                                         middleSurface, upperSurface));
  jetDrops.push_back(new JetDrop(0.0f, -2.25f, 6.6f, 0.1f, 2.2f, 6.5f, upperSurface));

  root->addChild(lowerCascade.front()->buildSceneBranch());
  root->addChild(upperCascade.front()->buildSceneBranch());
  root->addChild(jetDrops.front()->buildSceneBranch());
}
