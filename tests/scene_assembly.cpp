// The scene that start-up builds: its root's children in drawing order, the
// placed water surfaces and the first drop of each stream.

#include "SceneFixture.h"

#include "app/Application.h"
#include "app/Fountain.h"
#include "drops/CascadeDrop.h"
#include "drops/DropTick.h"
#include "drops/JetDrop.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPath.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoCylinder.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoRotation.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSpotLight.h>
#include <Inventor/nodes/SoTexture2.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/sensors/SoIdleSensor.h>
#include <Inventor/sensors/SoTimerSensor.h>

#include <string>

namespace {

enum Kind { MARBLE, STONE, SPOUT, PIPE, SURFACE, DROP };

struct Piece {
  Kind kind;
  SbVec3f centre;  // translation of the piece
  SbVec3f scale;   // scale factor of the piece
};

// The fountain as buildFountain appends it, after the texture and the light.
const Piece FOUNTAIN[26] = {
  {MARBLE, SbVec3f(0, 0, 3.5f), SbVec3f(5.25f, 0.25f, 5)},
  {MARBLE, SbVec3f(0, -10, 0), SbVec3f(5.25f, 0.25f, 1.5f)},
  {MARBLE, SbVec3f(-5, -5, 0), SbVec3f(0.25f, 4.75f, 1.5f)},
  {MARBLE, SbVec3f(5, -5, 0), SbVec3f(0.25f, 4.75f, 1.5f)},
  {STONE, SbVec3f(0, -5, -1.45f), SbVec3f(5, 5, 0.05f)},
  {MARBLE, SbVec3f(0, -5, -1.625f), SbVec3f(5.25f, 5.25f, 0.125f)},
  {SURFACE, SbVec3f(0, -1, 0), SbVec3f(5, 5, 1)},
  {MARBLE, SbVec3f(0, -7, 3.5f), SbVec3f(3.25f, 0.25f, 1)},
  {MARBLE, SbVec3f(-3, -3.5f, 3.5f), SbVec3f(0.25f, 3.25f, 1)},
  {MARBLE, SbVec3f(3, -3.5f, 3.5f), SbVec3f(0.25f, 3.25f, 1)},
  {STONE, SbVec3f(0, -3.5f, 2.55f), SbVec3f(3, 3.5f, 0.05f)},
  {MARBLE, SbVec3f(0, -3.75f, 2.375f), SbVec3f(3.25f, 3.5f, 0.125f)},
  {SURFACE, SbVec3f(0, -1, 3.5f), SbVec3f(3, 3.5f, 1)},
  {SPOUT, SbVec3f(0, -7.25f, 3.5f), SbVec3f(0.25f, 0.75f, 0.25f)},
  {MARBLE, SbVec3f(0, -4, 6.5f), SbVec3f(2.25f, 0.25f, 1)},
  {MARBLE, SbVec3f(-2, -2, 6.5f), SbVec3f(0.25f, 1.75f, 1)},
  {MARBLE, SbVec3f(2, -2, 6.5f), SbVec3f(0.25f, 1.75f, 1)},
  {STONE, SbVec3f(0, -2, 5.55f), SbVec3f(2, 2, 0.05f)},
  {MARBLE, SbVec3f(0, -2.25f, 5.375f), SbVec3f(2.25f, 2, 0.125f)},
  {SURFACE, SbVec3f(0, -1, 6.5f), SbVec3f(2, 2, 1)},
  {SPOUT, SbVec3f(0, -4.25f, 6.5f), SbVec3f(0.25f, 0.75f, 0.25f)},
  {PIPE, SbVec3f(0, -2.25f, 5.975f), SbVec3f(0.5f, 0.375f, 0.5f)},
  {PIPE, SbVec3f(0, -2.25f, 6.6f), SbVec3f(0.25f, 0.25f, 0.25f)},
  {DROP, SbVec3f(0, -8.1f, 3.35f), SbVec3f(0.1f, 0.1f, 0.1f)},
  {DROP, SbVec3f(0, -5.1f, 6.35f), SbVec3f(0.1f, 0.1f, 0.1f)},
  {DROP, SbVec3f(0, -2.25f, 6.6f), SbVec3f(0.1f, 0.1f, 0.1f)},
};

template <class Node>
Node *
childAs(SoNode * group, int i)
{
  SoGroup * g = static_cast<SoGroup *>(group);
  if (i >= g->getNumChildren() || !g->getChild(i)->isOfType(Node::getClassTypeId())) return NULL;
  return static_cast<Node *>(g->getChild(i));
}

std::string
textureOf(SoNode * piece)
{
  SoTexture2 * t = childAs<SoTexture2>(piece, 0);
  return t ? t->filename.getValue().getString() : "";
}

SbVec3f
drawnAt(WaveSurfaceKit * kit, const SbVec3f & local)
{
  SoSearchAction search;
  search.setNode(kit);
  search.apply(sceneRoot);
  SbVec3f out(1e9f, 1e9f, 1e9f);
  if (!search.getPath()) return out;
  SoGetMatrixAction action(SbViewportRegion(100, 100));
  action.apply(search.getPath());
  action.getMatrix().multVecMatrix(local, out);
  return out;
}

void
expectNear(const SbVec3f & actual, const SbVec3f & expected)
{
  for (int k = 0; k < 3; k++) EXPECT_NEAR(actual[k], expected[k], 1e-5f) << "component " << k;
}

}

TEST_F(SceneTest, RootHoldsTextureLightFountainAndKeyboardNodeInOrder) {
  ASSERT_EQ(sceneRoot->getNumChildren(), 29);
  EXPECT_GE(sceneRoot->getRefCount(), 1);

  SoTexture2 * texture = childAs<SoTexture2>(sceneRoot, 0);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->filename.getValue(), SbString("textures/stone.jpg"));
  EXPECT_TRUE(texture->wrapS.isDefault());

  SoSpotLight * light = childAs<SoSpotLight>(sceneRoot, 1);
  ASSERT_NE(light, nullptr);
  EXPECT_EQ(light->location.getValue(), SbVec3f(-10, -15, 10));
  EXPECT_EQ(light->direction.getValue(), SbVec3f(1, 1, -1));
  EXPECT_EQ(light->color.getValue(), SbColor(1, 1, 1));
  EXPECT_TRUE(light->cutOffAngle.isDefault());

  WaveSurfaceKit * const surfaces[3] = {lowerSurface, middleSurface, upperSurface};
  SoTransform * const drops[3] = {lowerCascade.at(0)->transformNode,
                                  upperCascade.at(0)->transformNode,
                                  jetDrops.at(0)->transformNode};
  int surface = 0, drop = 0;
  for (int n = 0; n < 26; n++) {
    SCOPED_TRACE("fountain piece " + std::to_string(n + 1));
    const Piece & expected = FOUNTAIN[n];
    SoNode * node = sceneRoot->getChild(n + 2);
    ASSERT_TRUE(node->isOfType(SoSeparator::getClassTypeId()));
    switch (expected.kind) {
    case MARBLE:
    case STONE:
      EXPECT_EQ(textureOf(node), expected.kind == MARBLE ? "textures/marble.jpg" : "textures/stone.jpg");
      ASSERT_NE(childAs<SoTransform>(node, 1), nullptr);
      EXPECT_EQ(childAs<SoTransform>(node, 1)->translation.getValue(), expected.centre);
      ASSERT_NE(childAs<SoScale>(node, 2), nullptr);
      EXPECT_EQ(childAs<SoScale>(node, 2)->scaleFactor.getValue(), expected.scale);
      EXPECT_NE(childAs<SoCube>(node, 3), nullptr);
      break;
    case SPOUT:
    case PIPE: {
      EXPECT_EQ(textureOf(node), "textures/metal.jpg");
      ASSERT_NE(childAs<SoTransform>(node, 1), nullptr);
      EXPECT_EQ(childAs<SoTransform>(node, 1)->translation.getValue(), expected.centre);
      ASSERT_NE(childAs<SoRotation>(node, 2), nullptr);
      SbVec3f axis;
      float angle;
      childAs<SoRotation>(node, 2)->rotation.getValue().getValue(axis, angle);
      EXPECT_NEAR(angle, expected.kind == SPOUT ? 0.19634955f : 1.5707964f, 1e-6f);
      ASSERT_NE(childAs<SoScale>(node, 3), nullptr);
      EXPECT_EQ(childAs<SoScale>(node, 3)->scaleFactor.getValue(), expected.scale);
      EXPECT_NE(childAs<SoCylinder>(node, 4), nullptr);
      break;
    }
    case SURFACE:
      ASSERT_EQ(static_cast<SoSeparator *>(node)->getNumChildren(), 3);
      ASSERT_NE(childAs<SoScale>(node, 0), nullptr);
      EXPECT_EQ(childAs<SoScale>(node, 0)->scaleFactor.getValue(), expected.scale);
      ASSERT_NE(childAs<SoTransform>(node, 1), nullptr);
      EXPECT_EQ(childAs<SoTransform>(node, 1)->translation.getValue(), expected.centre);
      EXPECT_EQ(static_cast<SoSeparator *>(node)->getChild(2), surfaces[surface++]);
      break;
    case DROP:
      ASSERT_EQ(static_cast<SoSeparator *>(node)->getNumChildren(), 4);
      EXPECT_EQ(static_cast<SoSeparator *>(node)->getChild(1), drops[drop]);
      EXPECT_EQ(drops[drop]->translation.getValue(), expected.centre);
      EXPECT_EQ(childAs<SoScale>(node, 2)->scaleFactor.getValue(), expected.scale);
      drop++;
      break;
    }
  }

  SoEventCallback * keys = childAs<SoEventCallback>(sceneRoot, 28);
  EXPECT_NE(keys, nullptr);

  ASSERT_NE(dropClock, nullptr);
  EXPECT_TRUE(dropClock->isScheduled());
  EXPECT_EQ(dropClock->getInterval(), SbTime(0.04));
}

TEST_F(SceneTest, SurfacesAreBuiltPlacedAndRunning) {
  struct Expect {
    WaveSurfaceKit * kit;
    int resolution;
    float halfX, halfY;
    SbVec3f low, high;  // where the kit's corners (-1, -1) and (1, 1) are drawn
  };
  const Expect expected[3] = {
    {lowerSurface, 40, 5, 5, SbVec3f(-5, -10, 0), SbVec3f(5, 0, 0)},
    {middleSurface, 30, 3, 3.5f, SbVec3f(-3, -7, 3.5f), SbVec3f(3, 0, 3.5f)},
    {upperSurface, 20, 2, 2, SbVec3f(-2, -4, 6.5f), SbVec3f(2, 0, 6.5f)},
  };
  for (const Expect & e : expected) {
    SCOPED_TRACE(e.resolution);
    ASSERT_NE(e.kit, nullptr);
    EXPECT_EQ(e.kit->width.getValue(), e.resolution);
    EXPECT_EQ(e.kit->height.getValue(), e.resolution);
    EXPECT_EQ(e.kit->halfSizeX, e.halfX);
    EXPECT_EQ(e.kit->halfSizeY, e.halfY);
    EXPECT_EQ(e.kit->centerX, 0.0f);
    EXPECT_EQ(e.kit->centerY, -1.0f);
    EXPECT_EQ(e.kit->bumpSize, 3);
    expectNear(drawnAt(e.kit, SbVec3f(-1, -1, 0)), e.low);
    expectNear(drawnAt(e.kit, SbVec3f(1, 1, 0)), e.high);
    // The placement convention of the kit's own numbers agrees with the holder.
    expectNear(drawnAt(e.kit, SbVec3f(0.5f, -0.25f, 0)),
               SbVec3f(e.kit->halfSizeX * (0.5f + e.kit->centerX),
                       e.kit->halfSizeY * (-0.25f + e.kit->centerY), e.low[2]));
    EXPECT_TRUE(e.kit->stepSensor->isScheduled());
  }
}

TEST_F(SceneTest, EachStreamStartsWithOneDropInTheScene) {
  ASSERT_EQ(lowerCascade.size(), 1u);
  ASSERT_EQ(upperCascade.size(), 1u);
  ASSERT_EQ(jetDrops.size(), 1u);

  const CascadeDrop * lower = lowerCascade[0];
  EXPECT_EQ(lower->startPosition, SbVec3f(0, -8.1f, 3.35f));
  EXPECT_EQ(lower->radius, 0.1f);
  EXPECT_EQ(lower->baseSpeed, 0.25f);
  EXPECT_EQ(lower->floorLevel, 0.0f);
  EXPECT_EQ(lower->targetSurface, lowerSurface);
  EXPECT_EQ(lower->sourceSurface, middleSurface);

  const CascadeDrop * upper = upperCascade[0];
  EXPECT_EQ(upper->startPosition, SbVec3f(0, -5.1f, 6.35f));
  EXPECT_EQ(upper->radius, 0.1f);
  EXPECT_EQ(upper->baseSpeed, 0.25f);
  EXPECT_EQ(upper->floorLevel, 3.5f);
  EXPECT_EQ(upper->targetSurface, middleSurface);
  EXPECT_EQ(upper->sourceSurface, upperSurface);

  const JetDrop * jet = jetDrops[0];
  EXPECT_EQ(jet->startPosition, SbVec3f(0, -2.25f, 6.6f));
  EXPECT_EQ(jet->radius, 0.1f);
  EXPECT_EQ(jet->launchSpeed, 2.2f);
  EXPECT_EQ(jet->floorLevel, 6.5f);
  EXPECT_EQ(jet->targetSurface, upperSurface);

  // Each branch is in the scene, in stream order, directly below the root.
  const SoNode * transforms[3] = {lower->transformNode, upper->transformNode, jet->transformNode};
  for (int n = 0; n < 3; n++) {
    SoSeparator * branch = static_cast<SoSeparator *>(sceneRoot->getChild(25 + n));
    EXPECT_EQ(branch->getChild(1), transforms[n]);
  }
  EXPECT_EQ(static_cast<SoSeparator *>(sceneRoot->getChild(27))->getChild(0), static_cast<SoNode *>(jet->materialNode));
}
