// Stirring with the mouse: mouse events sent through a small scene with a
// camera looking down at a placed surface.

#include "tests/WaterTestSupport.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/actions/SoHandleEventAction.h>
#include <Inventor/events/SoLocation2Event.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoOrthographicCamera.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTransform.h>
#include <Inventor/nodes/SoTranslation.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// The lowest basin placed as the fountain places it (scale 5 x 5, then the
// centre offset), seen from above by a camera that shows 12 x 12 units
// around its centre (0, -5) in a 400 x 400 window: pixel (px, py) lies over
// the scene point ((px / 400 - 0.5) * 12, -5 + (py / 400 - 0.5) * 12).
class StirringScene {
public:
  explicit StirringScene(bool cubeInFront = false)
    : root(new SoSeparator), kit(new WaveSurfaceKit(40, 5.0f, 5.0f, 0.0f, -1.0f, 3)),
      viewport(400, 400) {
    root->ref();

    SoOrthographicCamera * camera = new SoOrthographicCamera;
    camera->position = SbVec3f(0.0f, -5.0f, 20.0f);
    camera->height = 12.0f;
    camera->nearDistance = 1.0f;
    camera->farDistance = 40.0f;
    root->addChild(camera);

    if (cubeInFront) {
      // A 2 x 2 block standing over the middle of the water.
      SoSeparator * block = new SoSeparator;
      SoTranslation * at = new SoTranslation;
      at->translation = SbVec3f(0.0f, -5.0f, 1.0f);
      block->addChild(at);
      block->addChild(new SoCube);
      root->addChild(block);
    }

    SoSeparator * holder = new SoSeparator;
    SoScale * scale = new SoScale;
    scale->scaleFactor = SbVec3f(5.0f, 5.0f, 1.0f);
    SoTransform * transform = new SoTransform;
    transform->translation = SbVec3f(0.0f, -1.0f, 0.0f);
    holder->addChild(scale);
    holder->addChild(transform);
    holder->addChild(kit);
    root->addChild(holder);
  }
  ~StirringScene() { root->unref(); }

  // Sends a button event; returns whether anything marked it handled.
  bool button(SoMouseButtonEvent::Button which, SoButtonEvent::State state, short px, short py) {
    SoMouseButtonEvent event;
    event.setButton(which);
    event.setState(state);
    return send(event, px, py);
  }

  bool move(short px, short py) {
    SoLocation2Event event;
    return send(event, px, py);
  }

  std::vector<float> water() const { return heights(kit->curPoints, kit); }

  SoSeparator * root;
  WaveSurfaceKit * kit;

private:
  bool send(SoEvent & event, short px, short py) {
    event.setPosition(SbVec2s(px, py));
    SoHandleEventAction action(viewport);
    action.setEvent(&event);
    action.apply(root);
    return action.isHandled();
  }

  SbViewportRegion viewport;
};

const short centreX = 200, centreY = 200;  // over (0, -5): mound corner (19, 19)
const short rightX = 300;                   // over (3, -5): mound corner (30, 19)

}

TEST(MouseStirring, ButtonOneDragStirsUntilReleased)
{
  StirringScene scene;
  WaveSurfaceKit * kit = scene.kit;

  // Moving without a button stirs nothing.
  scene.move(centreX, centreY);
  EXPECT_EQ(std::vector<float>(1600, 0.0f), scene.water());

  // The press alone stirs the water under the pointer, at the scene point
  // the pointer is over.
  EXPECT_FALSE(scene.button(SoMouseButtonEvent::BUTTON1, SoButtonEvent::DOWN, centreX, centreY));
  EXPECT_EQ(1, kit->dragging);
  EXPECT_NEAR(0.0748028f, z(kit->curPoints, kit, 20, 20), 1e-6f);
  EXPECT_NEAR(0.0748028f, z(kit->prevPoints, kit, 21, 21), 1e-6f);

  // Every motion while held stirs where the pointer now is.
  const float before = z(kit->curPoints, kit, 31, 20);
  EXPECT_FALSE(scene.move(rightX, centreY));
  EXPECT_NEAR(before + 0.0748028f, z(kit->curPoints, kit, 31, 20), 1e-6f);
  const std::vector<float> afterOneMove = scene.water();
  scene.move(rightX, centreY);
  EXPECT_NE(afterOneMove, scene.water());

  // After the release, motion changes nothing.
  EXPECT_FALSE(scene.button(SoMouseButtonEvent::BUTTON1, SoButtonEvent::UP, rightX, centreY));
  EXPECT_EQ(0, kit->dragging);
  const std::vector<float> released = scene.water();
  scene.move(centreX, centreY);
  scene.move(rightX, centreY);
  EXPECT_EQ(released, scene.water());
}

TEST(MouseStirring, AnyOtherButtonEndsTheDrag)
{
  for (SoMouseButtonEvent::Button other : { SoMouseButtonEvent::BUTTON2, SoMouseButtonEvent::BUTTON3 }) {
    SCOPED_TRACE(other);
    StirringScene scene;
    scene.button(SoMouseButtonEvent::BUTTON1, SoButtonEvent::DOWN, centreX, centreY);
    const std::vector<float> pressed = scene.water();
    EXPECT_NE(std::vector<float>(1600, 0.0f), pressed);

    // The other button's press itself does not stir, and ends the stirring.
    scene.button(other, SoButtonEvent::DOWN, rightX, centreY);
    EXPECT_EQ(0, scene.kit->dragging);
    scene.move(rightX, centreY);
    scene.move(centreX, centreY);
    EXPECT_EQ(pressed, scene.water());
  }
}

TEST(MouseStirring, OnlyTheWaterNearestThePointerIsStirred)
{
  StirringScene scene(true);

  // Over the block that stands on the water: nothing is stirred.
  scene.button(SoMouseButtonEvent::BUTTON1, SoButtonEvent::DOWN, centreX, centreY);
  EXPECT_EQ(1, scene.kit->dragging);
  scene.move(centreX + 10, centreY + 10);
  EXPECT_EQ(std::vector<float>(1600, 0.0f), scene.water());

  // Beside the water, where the pick finds nothing: nothing either.
  scene.move(5, centreY);
  EXPECT_EQ(std::vector<float>(1600, 0.0f), scene.water());

  // Off the block onto open water, still dragging: the water is stirred.
  scene.move(rightX, centreY);
  EXPECT_NEAR(0.0748028f, z(scene.kit->curPoints, scene.kit, 31, 20), 1e-6f);
}
