// The viewer's start view of the fountain, checked on a real viewer (it needs
// an X display; ctest runs it on an X server of its own).

#include "ViewerTestWindow.h"

#include "app/Application.h"

#include <Inventor/SbBox.h>
#include <Inventor/SbLinear.h>
#include <Inventor/SbViewVolume.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/actions/SoGetBoundingBoxAction.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoPerspectiveCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

const float degrees = 180.0f / float(M_PI);

SbVec3f
turned(const SoCamera * camera, const SbVec3f & v)
{
  SbVec3f out;
  camera->orientation.getValue().multVec(v, out);
  return out;
}

class StartView : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!sceneRoot) createScene();
  }

  void SetUp() override {
    viewer = new SoWinExaminerViewer(mainWindow, NULL, TRUE, SoWinFullViewer::BUILD_ALL,
                                     SoWinViewer::BROWSER);
  }
  void TearDown() override { delete viewer; }

  SoWinExaminerViewer * viewer = NULL;
};

// The camera looks from the front (towards +y), somewhat down but not from
// above, with no roll: +z, the fountain's up, is up on the screen.
TEST_F(StartView, LooksAtTheFountainFromTheFrontWithZUp)
{
  viewer->setSceneGraph(sceneRoot);
  SoCamera * camera = viewer->getCamera();
  ASSERT_NE(camera, nullptr);

  SbVec3f view = turned(camera, SbVec3f(0, 0, -1));
  SbVec3f right = turned(camera, SbVec3f(1, 0, 0));
  SbVec3f up = turned(camera, SbVec3f(0, 1, 0));

  EXPECT_GT(view[1], 0.0f);
  EXPECT_NEAR(view[0], 0.0f, 0.02f);
  float down = std::asin(-view[2]) * degrees;
  EXPECT_GT(down, 5.0f);
  EXPECT_LT(down, 40.0f);

  EXPECT_NEAR(right[0], 1.0f, 0.001f);
  EXPECT_NEAR(right[2], 0.0f, 0.02f);
  EXPECT_GT(up[2], 0.7f);

  // The camera stands in front of the fountain (which lies at y <= 0.25),
  // on the fountain's axis of symmetry.
  SbVec3f position = camera->position.getValue();
  EXPECT_LT(position[1], -10.25f);
  EXPECT_NEAR(position[0], 0.0f, 0.05f);
}

// The whole fountain, as the scene stands at start-up, lies inside the view
// volume on a screen of the usual shape.
TEST_F(StartView, FramesTheWholeScene)
{
  viewer->setSceneGraph(sceneRoot);
  SoCamera * camera = viewer->getCamera();
  ASSERT_NE(camera, nullptr);

  SbViewportRegion viewport(1280, 1024);
  SoGetBoundingBoxAction boxAction(viewport);
  boxAction.apply(sceneRoot);
  SbBox3f box = boxAction.getBoundingBox();
  ASSERT_FALSE(box.isEmpty());
  // The back wall and the lower basin at least.
  EXPECT_LE(box.getMin()[2], -1.5f);
  EXPECT_GE(box.getMax()[2], 8.5f);

  SbVec3f view = turned(camera, SbVec3f(0, 0, -1));
  SbViewVolume volume = camera->getViewVolume(viewport.getViewportAspectRatio());
  const SbVec3f & lo = box.getMin();
  const SbVec3f & hi = box.getMax();
  for (int corner = 0; corner < 8; ++corner) {
    SbVec3f point(corner & 1 ? hi[0] : lo[0], corner & 2 ? hi[1] : lo[1],
                  corner & 4 ? hi[2] : lo[2]);
    SbVec3f screen;
    volume.projectToScreen(point, screen);
    SCOPED_TRACE(corner);
    EXPECT_GT((point - camera->position.getValue()).dot(view), 0.0f);
    EXPECT_GT(screen[0], 0.0f);
    EXPECT_LT(screen[0], 1.0f);
    EXPECT_GT(screen[1], 0.0f);
    EXPECT_LT(screen[1], 1.0f);
  }
}

// Each basin's water lies one unit below the top of its front wall; from the
// start view the back half of every water surface shows above that wall.
TEST_F(StartView, SeesTheWaterOfAllThreeBasinsOverTheirFrontWalls)
{
  viewer->setSceneGraph(sceneRoot);
  SoCamera * camera = viewer->getCamera();
  ASSERT_NE(camera, nullptr);
  SbVec3f eye = camera->position.getValue();

  // Water level, front edge of the water (its back edge is at y = 0), inner
  // face and top of the front wall.
  struct Basin { const char * name; float water, waterFrontY, wallInnerY, wallTop; };
  const Basin basins[] = {
    { "lower", 0.0f, -10.0f, -9.75f, 1.5f },
    { "middle", 3.5f, -7.0f, -6.75f, 4.5f },
    { "upper", 6.5f, -4.0f, -3.75f, 7.5f },
  };
  for (const Basin & basin : basins) {
    SCOPED_TRACE(basin.name);
    // A point halfway between the centre of the water and its back edge.
    SbVec3f target(0.0f, basin.waterFrontY * 0.25f, basin.water);
    float t = (basin.wallInnerY - eye[1]) / (target[1] - eye[1]);
    ASSERT_GT(t, 0.0f);
    ASSERT_LT(t, 1.0f);
    float heightOverWall = eye[2] + t * (target[2] - eye[2]);
    EXPECT_GT(heightOverWall, basin.wallTop);
  }
}

// The start view is the home position: after the user turned the camera
// away, going home brings the front view back.
TEST_F(StartView, IsTheHomePosition)
{
  viewer->setSceneGraph(sceneRoot);
  SoCamera * camera = viewer->getCamera();
  ASSERT_NE(camera, nullptr);
  SbRotation start = camera->orientation.getValue();
  SbVec3f startPosition = camera->position.getValue();

  camera->orientation = SbRotation(SbVec3f(0, 0, 1), 1.0f) * start;
  camera->position = startPosition + SbVec3f(3, 4, 5);
  viewer->resetToHomePosition();

  EXPECT_TRUE(camera->orientation.getValue().equals(start, 1e-4f));
  EXPECT_LT((camera->position.getValue() - startPosition).length(), 1e-3f);
}

// A scene that brings its own camera is shown through it, untouched.
TEST_F(StartView, SceneWithItsOwnCameraKeepsIt)
{
  SoSeparator * root = new SoSeparator;
  root->ref();
  SoPerspectiveCamera * own = new SoPerspectiveCamera;
  const SbVec3f position(1, 2, 30);
  const SbRotation orientation(SbVec3f(0, 1, 0), 0.3f);
  own->position = position;
  own->orientation = orientation;
  root->addChild(own);
  root->addChild(new SoCube);

  viewer->setSceneGraph(root);
  EXPECT_EQ(viewer->getCamera(), own);
  EXPECT_EQ(own->position.getValue(), position);
  EXPECT_TRUE(own->orientation.getValue().equals(orientation, 1e-6f));

  viewer->setSceneGraph(NULL);
  root->unref();
}

}

