// The viewer draws the sorted transparent shapes (the water and the drops)
// in one traversal, and opaque shapes nearest first; the picture must be the
// one the library's own render action gives, which draws the sorted shapes
// path by path and the opaque ones in the scene's order. Checked on a real
// viewer on an X server of its own, with the fountain held still.

#include "Timeline.h"
#include "ViewerTestWindow.h"

#include "app/Application.h"
#include "app/Fountain.h"
#include "drops/DropTick.h"
#include "wave/WaveSurfaceKit.h"

#include <SortedBlendRenderAction.h>

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoScale.h>
#include <Inventor/nodes/SoSphere.h>
#include <Inventor/nodes/SoTexture2.h>
#include <Inventor/nodes/SoTranslation.h>
#include <Inventor/sensors/SoIdleSensor.h>
#include <Inventor/sensors/SoTimerSensor.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <vector>

// Last: Xlib's macros (None, Bool, ...) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

std::vector<uint32_t>
screenPixels(void)
{
  std::vector<uint32_t> pixels;
  Display * display = XOpenDisplay(NULL);
  if (!display) return pixels;
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  XImage * image = XGetImage(display, root, 0, 0, unsigned(attributes.width),
                             unsigned(attributes.height), AllPlanes, ZPixmap);
  if (image) {
    for (int y = 0; y < attributes.height; y++)
      for (int x = 0; x < attributes.width; x++)
        pixels.push_back(uint32_t(XGetPixel(image, x, y)) & 0xffffffu);
    XDestroyImage(image);
  }
  XCloseDisplay(display);
  return pixels;
}

// What a still scene looks like with the viewer's render action and then
// with the library's own, on the same viewer.
struct TwoPictures {
  std::vector<uint32_t> viewers, librarys;
  SbBool drawnTogether = FALSE;
  SbBool opaqueNearestFirst = FALSE;
  int spheresFromLists = 0;

  size_t lit(void) const {
    size_t n = 0;
    for (uint32_t p : librarys) n += p != 0;
    return n;
  }
  size_t differing(void) const {
    size_t n = 0;
    for (size_t i = 0; i < viewers.size() && i < librarys.size(); i++)
      n += viewers[i] != librarys[i];
    return n;
  }
};

// The scene is held for the run, so a scene built for the test needs no
// reference of its own.
TwoPictures
drawnBothWays(SoNode * scene)
{
  scene->ref();
  SoWinExaminerViewer * viewer = new SoWinExaminerViewer(mainWindow);
  viewer->setSceneGraph(scene);
  SoWin::setWidgetSize(mainWindow, SbVec2s(640, 512));
  viewer->setDecoration(FALSE);
  viewer->show();
  viewer->setTransparencyType(SoGLRenderAction::SORTED_OBJECT_BLEND);
  SoWin::show(mainWindow);

  TwoPictures pictures;
  SortedBlendRenderAction * own =
    dynamic_cast<SortedBlendRenderAction *>(viewer->getGLRenderAction());
  if (!own) {
    ADD_FAILURE() << "the viewer draws with another render action";
    delete viewer;
    scene->unref();
    return pictures;
  }
  SoGLRenderAction library(own->getViewportRegion());
  library.setCacheContext(own->getCacheContext());
  library.setTransparencyType(own->getTransparencyType());

  Timeline timeline;
  // A window shown before anything changes may show its first frame late,
  // and the first frames are drawn while the viewer still settles its view.
  for (int i = 0; i < 3; i++) timeline.at(1.0, [scene] { scene->touch(); });
  timeline.at(1.5, [&] {
    pictures.viewers = screenPixels();
    pictures.drawnTogether = own->drewSortedShapesTogether();
    pictures.opaqueNearestFirst = own->drewOpaqueShapesNearestFirst();
    pictures.spheresFromLists = own->drewSpheresFromLists();
    viewer->setGLRenderAction(&library);
    scene->touch();
  });
  timeline.at(1.0, [scene] { scene->touch(); });
  timeline.at(1.5, [&] { pictures.librarys = screenPixels(); });
  timeline.run();
  viewer->setGLRenderAction(own);
  delete viewer;
  scene->unref();
  return pictures;
}

// The same picture both ways, with something drawn.
void
expectTheLibrarysPicture(const TwoPictures & pictures)
{
  ASSERT_EQ(pictures.viewers.size(), pictures.librarys.size());
  EXPECT_GT(pictures.lit(), pictures.viewers.size() / 20) << "the shapes were not drawn";
  EXPECT_EQ(pictures.differing(), 0u) << "of " << pictures.viewers.size() << " pixels";
}

TEST(SortedTransparentShapes, OneTraversalDrawsTheLibrarysPicture)
{
  if (!sceneRoot) createScene();
  // Drops in all three streams and ripples on the water, then all held.
  jetEnabled = true;
  for (int tick = 0; tick < 120; tick++) simulationTick(NULL, NULL);
  dropClock->unschedule();
  for (WaveSurfaceKit * kit : { lowerSurface, middleSurface, upperSurface })
    kit->stepSensor->unschedule();
  ASSERT_GT(lowerCascade.size() + upperCascade.size() + jetDrops.size(), 100u);

  const TwoPictures pictures = drawnBothWays(sceneRoot);
  EXPECT_TRUE(pictures.drawnTogether);
  EXPECT_TRUE(pictures.opaqueNearestFirst);
  EXPECT_GT(pictures.spheresFromLists, 100) << "the drops were not drawn from display lists";
  ASSERT_FALSE(pictures.viewers.empty());
  ASSERT_EQ(pictures.viewers.size(), pictures.librarys.size());
  EXPECT_GT(pictures.lit(), pictures.viewers.size() / 10) << "the fountain was not drawn";
  EXPECT_EQ(pictures.differing(), 0u) << "of " << pictures.viewers.size() << " pixels";
}

// Glass spheres from a speck to a ball, so that the screen-space level of
// detail gives each a tessellation of its own; one by its radius field, one
// by a scale, and one textured. Each is drawn from a display list, and the
// picture is the library's.
TEST(SortedTransparentShapes, SpheresOfEverySizeFromDisplayLists)
{
  SoSeparator * scene = new SoSeparator;
  const float sizes[] = { 0.05f, 0.15f, 0.4f, 0.8f, 1.4f, 2.2f };
  float x = -4.0f;
  for (int k = 0; k < 6; k++) {
    SoSeparator * holder = new SoSeparator;
    SoMaterial * glass = new SoMaterial;
    glass->diffuseColor.setValue(0.2f + 0.1f * k, 0.6f, 0.9f);
    glass->transparency = 0.4f;
    holder->addChild(glass);
    SoTranslation * place = new SoTranslation;
    place->translation.setValue(x + sizes[k], 0.3f * k, -0.5f * k);
    x += 2.0f * sizes[k] + 0.2f;
    holder->addChild(place);
    SoSphere * sphere = new SoSphere;
    if (k == 2) {
      SoScale * scale = new SoScale;
      scale->scaleFactor.setValue(sizes[k], sizes[k], sizes[k]);
      holder->addChild(scale);
    }
    else {
      sphere->radius = sizes[k];
    }
    if (k == 4) {
      // A checkerboard of two greys.
      const unsigned char texels[] = { 60, 200, 200, 60 };
      SoTexture2 * checks = new SoTexture2;
      checks->image.setValue(SbVec2s(2, 2), 1, texels);
      holder->addChild(checks);
    }
    holder->addChild(sphere);
    scene->addChild(holder);
  }
  const TwoPictures pictures = drawnBothWays(scene);
  EXPECT_TRUE(pictures.drawnTogether);
  EXPECT_EQ(pictures.spheresFromLists, 6);
  expectTheLibrarysPicture(pictures);
}

// A cube and a sphere of blue glass, the sphere moved aside, as children of
// the given group.
SoMaterial *
addGlassPair(SoGroup * group)
{
  SoMaterial * glass = new SoMaterial;
  glass->diffuseColor.setValue(0.2f, 0.6f, 0.9f);
  glass->transparency = 0.5f;
  group->addChild(glass);
  group->addChild(new SoCube);
  SoTranslation * aside = new SoTranslation;
  aside->translation.setValue(1.0f, 0.5f, 1.0f);
  group->addChild(aside);
  group->addChild(new SoSphere);
  return glass;
}

// Transparent shapes that share their separator cannot be drawn in one
// traversal without changing what each sees; they are drawn path by path.
TEST(SortedTransparentShapes, SharedSeparatorsAreDrawnPathByPath)
{
  SoSeparator * scene = new SoSeparator;
  addGlassPair(scene);
  const TwoPictures pictures = drawnBothWays(scene);
  EXPECT_FALSE(pictures.drawnTogether);
  expectTheLibrarysPicture(pictures);

  // The pair in a separator of its own, beside a sphere alone in one: the
  // pair's paths lead into a separator that holds another shape too, so
  // drawing that separator whole for each would draw both shapes twice.
  SoSeparator * nested = new SoSeparator;
  SoSeparator * pair = new SoSeparator;
  SoMaterial * glass = addGlassPair(pair);
  SoSeparator * single = new SoSeparator;
  single->addChild(glass);
  SoTranslation * below = new SoTranslation;
  below->translation.setValue(-1.0f, -1.0f, 0.5f);
  single->addChild(below);
  single->addChild(new SoSphere);
  nested->addChild(pair);
  nested->addChild(single);
  const TwoPictures nestedPictures = drawnBothWays(nested);
  EXPECT_FALSE(nestedPictures.drawnTogether);
  expectTheLibrarysPicture(nestedPictures);
}

// Opaque cubes, each in a separator, one behind the other and the farthest
// first in the scene, beside a transparent sphere. Drawn nearest first, they
// give the library's picture; with a material between two of them, which
// the later cubes must see, they keep the scene's order.
SoSeparator *
cubesBesideGlass(bool materialBetween)
{
  SoSeparator * scene = new SoSeparator;
  SoSeparator * glass = new SoSeparator;
  SoMaterial * clear = new SoMaterial;
  clear->transparency = 0.5f;
  glass->addChild(clear);
  SoTranslation * up = new SoTranslation;
  up->translation.setValue(0.0f, 2.5f, 0.0f);
  glass->addChild(up);
  glass->addChild(new SoSphere);
  scene->addChild(glass);
  for (int k = 0; k < 4; k++) {
    if (materialBetween && k == 2) {
      SoMaterial * red = new SoMaterial;
      red->diffuseColor.setValue(0.9f, 0.1f, 0.1f);
      scene->addChild(red);
    }
    SoSeparator * piece = new SoSeparator;
    SoTranslation * place = new SoTranslation;
    place->translation.setValue(0.4f * k, 0.3f * k, 1.5f * k);  // nearer each time
    piece->addChild(place);
    piece->addChild(new SoCube);
    scene->addChild(piece);
  }
  return scene;
}

void
expectTheLibrarysCubes(bool materialBetween)
{
  const TwoPictures pictures = drawnBothWays(cubesBesideGlass(materialBetween));
  EXPECT_EQ(pictures.opaqueNearestFirst, !materialBetween);
  expectTheLibrarysPicture(pictures);
}

TEST(OpaqueShapes, SeparatorsAreDrawnNearestFirst)
{
  expectTheLibrarysCubes(false);
}

TEST(OpaqueShapes, StateBetweenSeparatorsKeepsTheirOrder)
{
  expectTheLibrarysCubes(true);
}

// A viewer built into the main window after an earlier one there was
// deleted shows its own scene, not the screen the first one left.
TEST(ViewerWindow, ASecondViewerShowsItsScene)
{
  const TwoPictures before = drawnBothWays(cubesBesideGlass(false));

  SoSeparator * second = new SoSeparator;
  SoMaterial * red = new SoMaterial;
  red->diffuseColor.setValue(0.9f, 0.1f, 0.1f);
  second->addChild(red);
  second->addChild(new SoSphere);
  const TwoPictures after = drawnBothWays(second);

  ASSERT_EQ(before.viewers.size(), after.viewers.size());
  size_t changed = 0;
  for (size_t i = 0; i < after.viewers.size(); i++) changed += after.viewers[i] != before.viewers[i];
  EXPECT_GT(changed, after.viewers.size() / 20) << "the second viewer left the first one's picture";
  EXPECT_EQ(after.differing(), 0u);
}

}
