// The viewer culls the back faces of the opaque shapes (see
// viewer/SolidShapes.cpp). That is right only while no shape is drawn
// mirrored: a transformation with a negative determinant turns the
// counter-clockwise faces clockwise, and culling would then remove the
// faces that should show.

#include "SceneFixture.h"

#include <Inventor/SbLinear.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/nodes/SoShape.h>
#include <Inventor/nodes/SoSeparator.h>

#include <string>
#include <vector>

namespace {

struct DrawnShape {
  std::string type;
  float determinant;
};

SoCallbackAction::Response
recordShapeCB(void * data, SoCallbackAction * action, const SoNode * node)
{
  static_cast<std::vector<DrawnShape> *>(data)->push_back(
    { node->getTypeId().getName().getString(), action->getModelMatrix().det3() });
  return SoCallbackAction::CONTINUE;
}

}

TEST_F(SceneTest, NoShapeIsDrawnMirrored)
{
  std::vector<DrawnShape> shapes;
  SoCallbackAction action;
  action.addPreCallback(SoShape::getClassTypeId(), recordShapeCB, &shapes);
  action.apply(sceneRoot);

  // Walls, basins and floors (cubes), spouts and the jet pipe (cylinders),
  // the water and the first drops.
  ASSERT_GE(shapes.size(), 20u);
  for (const DrawnShape & shape : shapes) EXPECT_GT(shape.determinant, 0.0f) << shape.type;
}
