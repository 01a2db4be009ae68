// The masonry builders: node order, textures, and where their shapes end up.

#include "app/Masonry.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/actions/SoGetMatrixAction.h>
#include <Inventor/SoPath.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoCylinder.h>
#include <Inventor/nodes/SoRotation.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTexture2.h>
#include <Inventor/nodes/SoTransform.h>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// Owns a built piece for the length of a test.
class Piece {
public:
  explicit Piece(SoSeparator * root) : root(root) { root->ref(); }
  ~Piece() { root->unref(); }
  SoNode * child(int i) const { return root->getChild(i); }
  template <class Node> Node * as(int i) const {
    return child(i)->isOfType(Node::getClassTypeId()) ? static_cast<Node *>(child(i)) : NULL;
  }
  // The matrix from the shape's own frame (the last child) to the piece's.
  SbMatrix shapeToPiece() const {
    SoPath * path = new SoPath(root);
    path->ref();
    path->append(root->getNumChildren() - 1);
    SoGetMatrixAction action(SbViewportRegion(100, 100));
    action.apply(path);
    path->unref();
    return action.getMatrix();
  }
  SbBox3f bounds() const {
    SoGetBoundingBoxAction action(SbViewportRegion(100, 100));
    action.apply(root);
    return action.getBoundingBox();
  }
  SoSeparator * root;
};

SbVec3f
transformed(const SbMatrix & m, const SbVec3f & p)
{
  SbVec3f out;
  m.multVecMatrix(p, out);
  return out;
}

void
expectNear(const SbVec3f & actual, const SbVec3f & expected, float tolerance)
{
  for (int k = 0; k < 3; k++)
    EXPECT_NEAR(actual[k], expected[k], tolerance) << "component " << k;
}

}

TEST(Masonry, BoxesHoldTextureTranslationScaleAndCube) {
  Piece marble(buildMarbleBlock(-5.0f, -5.0f, 0.0f, 0.5f, 9.5f, 3.0f));
  Piece stone(buildStoneSlab(0.0f, -5.0f, -1.45f, 10.0f, 10.0f, 0.1f));
  for (const Piece * p : {&marble, &stone}) {
    ASSERT_EQ(p->root->getNumChildren(), 4);
    ASSERT_NE(p->as<SoTexture2>(0), nullptr);
    ASSERT_NE(p->as<SoTransform>(1), nullptr);
    ASSERT_NE(p->as<SoScale>(2), nullptr);
    ASSERT_NE(p->as<SoCube>(3), nullptr);
    EXPECT_TRUE(p->as<SoTransform>(1)->rotation.isDefault());
    EXPECT_TRUE(p->as<SoTransform>(1)->scaleFactor.isDefault());
  }
  EXPECT_EQ(marble.as<SoTexture2>(0)->filename.getValue(), SbString("textures/marble.jpg"));
  EXPECT_EQ(marble.as<SoTexture2>(0)->wrapS.getValue(), SoTexture2::REPEAT);
  EXPECT_EQ(marble.as<SoTransform>(1)->translation.getValue(), SbVec3f(-5.0f, -5.0f, 0.0f));
  EXPECT_EQ(marble.as<SoScale>(2)->scaleFactor.getValue(), SbVec3f(0.25f, 4.75f, 1.5f));

  EXPECT_EQ(stone.as<SoTexture2>(0)->filename.getValue(), SbString("textures/stone.jpg"));
  EXPECT_TRUE(stone.as<SoTexture2>(0)->wrapS.isDefault());
  EXPECT_EQ(stone.as<SoTransform>(1)->translation.getValue(), SbVec3f(0.0f, -5.0f, -1.45f));
  EXPECT_EQ(stone.as<SoScale>(2)->scaleFactor.getValue(), SbVec3f(5.0f, 5.0f, 0.05f));

  Piece unit(buildMarbleBlock(0.0f, 0.0f, 0.0f, 2.0f, 2.0f, 2.0f));
  EXPECT_EQ(unit.as<SoScale>(2)->scaleFactor.getValue(), SbVec3f(1.0f, 1.0f, 1.0f));
  EXPECT_EQ(unit.as<SoTexture2>(0)->filename.getValue(), SbString("textures/marble.jpg"));
  EXPECT_TRUE(unit.shapeToPiece().equals(SbMatrix::identity(), 1e-6f));

  // Every call makes its own nodes.
  Piece other(buildMarbleBlock(0.0f, 0.0f, 0.0f, 2.0f, 2.0f, 2.0f));
  EXPECT_NE(other.child(0), unit.child(0));
}

TEST(Masonry, WallBoxCoversItsExtents) {
  Piece wall(buildMarbleBlock(-5.0f, -5.0f, 0.0f, 0.5f, 9.5f, 3.0f));
  const SbBox3f box = wall.bounds();
  expectNear(box.getMin(), SbVec3f(-5.25f, -9.75f, -1.5f), 1e-5f);
  expectNear(box.getMax(), SbVec3f(-4.75f, -0.25f, 1.5f), 1e-5f);
}

TEST(Masonry, PipesHoldTextureTranslationRotationScaleAndCylinder) {
  Piece spout(buildSpout(0.0f, -7.25f, 3.5f, 0.5f, 1.5f));
  Piece pipe(buildUprightPipe(0.0f, -2.25f, 5.975f, 1.0f, 0.75f));
  for (const Piece * p : {&spout, &pipe}) {
    ASSERT_EQ(p->root->getNumChildren(), 5);
    ASSERT_NE(p->as<SoTexture2>(0), nullptr);
    ASSERT_NE(p->as<SoTransform>(1), nullptr);
    ASSERT_NE(p->as<SoRotation>(2), nullptr);
    ASSERT_NE(p->as<SoScale>(3), nullptr);
    ASSERT_NE(p->as<SoCylinder>(4), nullptr);
    EXPECT_EQ(p->as<SoTexture2>(0)->filename.getValue(), SbString("textures/metal.jpg"));
    EXPECT_TRUE(p->as<SoTexture2>(0)->wrapS.isDefault());
  }
  SbVec3f axis;
  float angle;
  spout.as<SoRotation>(2)->rotation.getValue().getValue(axis, angle);
  expectNear(axis, SbVec3f(1.0f, 0.0f, 0.0f), 1e-6f);
  EXPECT_NEAR(angle, 0.19634955f, 1e-6f);
  EXPECT_EQ(spout.as<SoScale>(3)->scaleFactor.getValue(), SbVec3f(0.25f, 0.75f, 0.25f));

  pipe.as<SoRotation>(2)->rotation.getValue().getValue(axis, angle);
  expectNear(axis, SbVec3f(1.0f, 0.0f, 0.0f), 1e-6f);
  EXPECT_NEAR(angle, 1.5707964f, 1e-6f);
  EXPECT_EQ(pipe.as<SoScale>(3)->scaleFactor.getValue(), SbVec3f(0.5f, 0.375f, 0.5f));
}

TEST(Masonry, SpoutSlopesDownAndOutwards) {
  Piece spout(buildSpout(0.0f, -7.25f, 3.5f, 0.5f, 1.5f));
  const SbMatrix m = spout.shapeToPiece();
  // The default cylinder's axis ends are (0, -1, 0) and (0, 1, 0).
  expectNear(transformed(m, SbVec3f(0.0f, -1.0f, 0.0f)), SbVec3f(0.0f, -7.9856f, 3.3537f), 1e-3f);
  expectNear(transformed(m, SbVec3f(0.0f, 1.0f, 0.0f)), SbVec3f(0.0f, -6.5144f, 3.6463f), 1e-3f);
  // The cross-section stays circular with radius d / 2.
  const SbVec3f centre = transformed(m, SbVec3f(0.0f, 0.0f, 0.0f));
  EXPECT_NEAR((transformed(m, SbVec3f(1.0f, 0.0f, 0.0f)) - centre).length(), 0.25f, 1e-5f);
  EXPECT_NEAR((transformed(m, SbVec3f(0.0f, 0.0f, 1.0f)) - centre).length(), 0.25f, 1e-5f);
}

TEST(Masonry, UprightPipeStandsAlongZ) {
  Piece pipe(buildUprightPipe(0.0f, -2.25f, 5.975f, 1.0f, 0.75f));
  const SbBox3f box = pipe.bounds();
  expectNear(box.getMin(), SbVec3f(-0.5f, -2.75f, 5.6f), 1e-5f);
  expectNear(box.getMax(), SbVec3f(0.5f, -1.75f, 6.35f), 1e-5f);

  Piece nozzle(buildUprightPipe(0.0f, -2.25f, 6.6f, 0.5f, 0.5f));
  const SbMatrix m = nozzle.shapeToPiece();
  expectNear(transformed(m, SbVec3f(0.0f, -1.0f, 0.0f)), SbVec3f(0.0f, -2.25f, 6.35f), 1e-5f);
  expectNear(transformed(m, SbVec3f(0.0f, 1.0f, 0.0f)), SbVec3f(0.0f, -2.25f, 6.85f), 1e-5f);
}
