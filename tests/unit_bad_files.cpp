// Water-surface kits read from Inventor files that give their fields
// nonsense: the read never crashes, a file the library rejects yields no
// scene, and a kit that is read keeps a usable mesh -- it ripples, steps,
// reports a finite level and takes a sound size later on.

#include "tests/WaterTestSupport.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/errors/SoReadError.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/sensors/SoSensorManager.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

void
processDelayQueue()
{
  for (int n = 0; n < 4 && SoDB::getSensorManager()->isDelaySensorPending(); n++)
    SoDB::getSensorManager()->processDelayQueue(FALSE);
}

// Collects the library's read errors instead of printing them.
class ReadErrors {
public:
  ReadErrors() {
    previous = SoReadError::getHandlerCallback();
    previousData = SoReadError::getHandlerData();
    SoReadError::setHandlerCallback(collectCB, this);
  }
  ~ReadErrors() { SoReadError::setHandlerCallback(previous, previousData); }
  ReadErrors(const ReadErrors &) = delete;
  ReadErrors & operator=(const ReadErrors &) = delete;

  std::vector<std::string> messages;

private:
  static void collectCB(const SoError * error, void * data) {
    static_cast<ReadErrors *>(data)->messages.push_back(error->getDebugString().getString());
  }
  SoErrorCB * previous;
  void * previousData;
};

// The scene read from an Inventor text, referenced, or null.
SoSeparator *
readScene(const std::string & body)
{
  const std::string text = "#Inventor V2.1 ascii\n" + body;
  SoInput in;
  in.setBuffer(text.data(), text.size());
  SoSeparator * root = SoDB::readAll(&in);
  if (root) root->ref();
  return root;
}

std::vector<WaveSurfaceKit *>
kitsIn(SoSeparator * root)
{
  std::vector<WaveSurfaceKit *> kits;
  for (int i = 0; i < root->getNumChildren(); i++) {
    if (root->getChild(i)->isOfType(WaveSurfaceKit::getClassTypeId()))
      kits.push_back(static_cast<WaveSurfaceKit *>(root->getChild(i)));
  }
  return kits;
}

bool
allFinite(const WaveSurfaceKit * kit)
{
  const SbVec3f * const levels[] = { kit->prevPoints, kit->curPoints, kit->nextPoints };
  for (const SbVec3f * level : levels) {
    for (int k = 0; k < kit->numRows * kit->rowLength; k++)
      if (!std::isfinite(level[k][2])) return false;
  }
  return true;
}

int
drawnPoints(WaveSurfaceKit * kit)
{
  SoNode * part = kit->getPart("coordinate3", FALSE);
  if (!part || !part->isOfType(SoCoordinate3::getClassTypeId())) return -1;
  return static_cast<SoCoordinate3 *>(part)->point.getNum();
}

// The kit holds a W x H mesh that ripples where it is disturbed, steps to
// finite heights that it draws, reports a finite level and afterwards
// rebuilds to a sound size.
void
expectUsable(WaveSurfaceKit * kit, int W, int H, const std::string & what)
{
  SCOPED_TRACE(what);
  ASSERT_EQ(kit->numRows, W);
  ASSERT_EQ(kit->rowLength, H);
  EXPECT_EQ(drawnPoints(kit), W * H);

  // A disturbance at the centre raises water where the mound fits inside
  // the grid; on a grid too small for it, it changes nothing.
  const std::vector<float> before = heights(kit->curPoints, kit);
  kit->disturb(kit->halfSizeX * kit->centerX, kit->halfSizeY * kit->centerY);
  const std::vector<float> after = heights(kit->curPoints, kit);
  float change = 0.0f;
  for (size_t k = 0; k < before.size(); k++) change = std::max(change, std::fabs(after[k] - before[k]));
  const int B = kit->bumpSize;
  if ((W - 1) / 2 < W - B - 1 && (H - 1) / 2 < H - B - 1) {
    EXPECT_GT(change, 0.01f) << "the disturbance raised nothing";
  }
  else {
    EXPECT_EQ(change, 0.0f) << "a mound that does not fit changed the water";
  }

  for (int n = 0; n < 20; n++) kit->stepSimulation();
  EXPECT_TRUE(allFinite(kit));
  EXPECT_EQ(drawnPoints(kit), W * H);
  EXPECT_TRUE(std::isfinite(kit->waterLevel()));

  kit->width = 12;
  kit->height = 9;
  processDelayQueue();
  EXPECT_EQ(kit->numRows, 12);
  EXPECT_EQ(kit->rowLength, 9);
  EXPECT_EQ(drawnPoints(kit), 12 * 9);
  kit->stepSimulation();
  EXPECT_TRUE(allFinite(kit));
}

class BadFileTest : public ::testing::Test {
protected:
  void TearDown() override { processDelayQueue(); }
};

}

// Sizes the grid cannot have: a kit read with them keeps the mesh it was
// built with (the default 70 x 70) both before and after its rebuild runs;
// a sound size in the same file is kept along the other axis only when the
// pair can be built.
TEST_F(BadFileTest, UnbuildableSizesKeepTheMeshTheKitWasBuiltWith) {
  const struct {
    const char * fields;
    int W, H;
  } cases[] = {
    { "width 0 height 0", 70, 70 },
    { "width -3 height -3", 70, 70 },
    { "width 100000 height 100000", 70, 70 },
    { "width 1 height 2049", 70, 70 },
    { "width -2147483648 height 2147483647", 70, 70 },
    { "width 0 height 20", 70, 70 },
    // Out of 32-bit range: the library wraps them silently to -1 and 2.
    { "width 99999999999999999999 height 4294967298", 70, 70 },
    { "width 20 height 2", 20, 2 },
    { "width 2048 height 2", 2048, 2 },
  };
  for (const auto & c : cases) {
    ReadErrors errors;
    SoSeparator * root = readScene(std::string("WaveSurfaceKit { ") + c.fields + " }");
    ASSERT_NE(root, nullptr) << c.fields;
    EXPECT_TRUE(errors.messages.empty()) << c.fields;
    std::vector<WaveSurfaceKit *> kits = kitsIn(root);
    ASSERT_EQ(kits.size(), 1u) << c.fields;
    processDelayQueue();
    WaveSurfaceKit * kit = kits[0];
    EXPECT_TRUE(allFinite(kit)) << c.fields;
    expectUsable(kit, c.W, c.H, c.fields);
    root->unref();
  }
}

// Values the library cannot read into the fields: the read fails, reports
// the error and gives no scene, and the next file reads as usual. (A file
// that ends inside the kit gives no scene either; the library does not
// report that as a read error.)
TEST_F(BadFileTest, UnreadableFieldValuesGiveNoSceneAndAReadError) {
  const struct {
    const char * body;
    bool reported;
  } cases[] = {
    { "WaveSurfaceKit { pickOnBoundingBox garbage }", true },
    { "WaveSurfaceKit { pickOnBoundingBox 7 }", true },
    { "WaveSurfaceKit { pickOnBoundingBox }", true },
    { "WaveSurfaceKit { width banana }", true },
    { "WaveSurfaceKit { height 2.9 }", true },
    { "WaveSurfaceKit { width 1e3 }", true },
    { "WaveSurfaceKit { width [ 3, 4 ] }", true },
    { "WaveSurfaceKit { height }", true },
    { "WaveSurfaceKit { nosuchfield 1 }", true },
    { "WaveSurfaceKit { width 20 height 20 ", false },
  };
  for (const auto & c : cases) {
    ReadErrors errors;
    SoSeparator * root = readScene(c.body);
    EXPECT_EQ(root, nullptr) << c.body;
    if (root) root->unref();
    if (c.reported) {
      EXPECT_FALSE(errors.messages.empty()) << c.body;
    }
  }

  ReadErrors errors;
  SoSeparator * root = readScene("WaveSurfaceKit { width 20 height 20 }");
  ASSERT_NE(root, nullptr);
  processDelayQueue();
  expectUsable(kitsIn(root)[0], 20, 20, "a sound file after the bad ones");
  root->unref();
}

// A pickOnBoundingBox that is valid but switched back and forth in the same
// file, and parts that a file overrides: a coordinate part with too few
// points, a kit sharing its coordinate node with another. The kits stay
// usable and draw their whole grid once they step.
TEST_F(BadFileTest, OverriddenPartsAndRepeatedFieldsLeaveUsableKits) {
  const char * const bodies[] = {
    "WaveSurfaceKit { pickOnBoundingBox FALSE pickOnBoundingBox TRUE width 3 width 0 }",
    "WaveSurfaceKit { coordinate3 Coordinate3 { point [ 0 0 0 ] } }",
    "WaveSurfaceKit { coordinate3 Coordinate3 { point [ ] } width 16 height 16 }",
    "WaveSurfaceKit { coordinate3 DEF SHARED Coordinate3 { } width 10 height 10 }"
    " WaveSurfaceKit { coordinate3 USE SHARED width 30 height 3 }",
  };
  for (const char * body : bodies) {
    ReadErrors errors;
    SoSeparator * root = readScene(body);
    ASSERT_NE(root, nullptr) << body;
    std::vector<WaveSurfaceKit *> kits = kitsIn(root);
    ASSERT_FALSE(kits.empty()) << body;
    for (WaveSurfaceKit * kit : kits) {
      kit->stepSimulation();  // before the rebuild: the mesh built at construction
      EXPECT_EQ(drawnPoints(kit), kit->numRows * kit->rowLength) << body;
    }
    processDelayQueue();
    for (WaveSurfaceKit * kit : kits) {
      kit->stepSimulation();
      expectUsable(kit, kit->numRows, kit->rowLength, body);
    }
    root->unref();
  }
}
