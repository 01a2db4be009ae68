// The water-surface kit as a node: its type, fields, parts, sensors and the
// flat mesh it builds for its grid.

#include "wave/WaveSurfaceKit.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/fields/SoSFNode.h>
#include <Inventor/lists/SoFieldList.h>
#include <Inventor/nodes/SoCoordinate3.h>
#include <Inventor/nodes/SoEventCallback.h>
#include <Inventor/nodes/SoIndexedTriangleStripSet.h>
#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoNormalBinding.h>
#include <Inventor/nodes/SoPickStyle.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShapeHints.h>
#include <Inventor/nodes/SoTextureCoordinateEnvironment.h>
#include <Inventor/sensors/SoFieldSensor.h>
#include <Inventor/sensors/SoIdleSensor.h>
#include <Inventor/sensors/SoNodeSensor.h>
#include <Inventor/sensors/SoOneShotSensor.h>
#include <Inventor/sensors/SoSensorManager.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

void
processDelayQueue()
{
  // Field sensors schedule the rebuild sensor while the queue runs; run the
  // queue until nothing is pending.
  for (int n = 0; n < 4 && SoDB::getSensorManager()->isDelaySensorPending(); n++)
    SoDB::getSensorManager()->processDelayQueue(FALSE);
}

template <class Node>
Node *
part(WaveSurfaceKit * kit, const char * name)
{
  SoNode * node = kit->getPart(name, FALSE);
  return (node && node->isOfType(Node::getClassTypeId())) ? static_cast<Node *>(node) : NULL;
}

SoCoordinate3 *
coords(WaveSurfaceKit * kit)
{
  return part<SoCoordinate3>(kit, "coordinate3");
}

std::vector<int32_t>
stripIndices(WaveSurfaceKit * kit)
{
  SoIndexedTriangleStripSet * strips = part<SoIndexedTriangleStripSet>(kit, "shape");
  if (!strips) return std::vector<int32_t>();
  return std::vector<int32_t>(strips->coordIndex.getValues(0),
                              strips->coordIndex.getValues(0) + strips->coordIndex.getNum());
}

// True when the three buffers and the drawn coordinates hold the flat W x H
// grid: equal x and y everywhere, every z 0.
bool
isFlatGrid(WaveSurfaceKit * kit, int W, int H)
{
  SoCoordinate3 * c = coords(kit);
  if (!c || c->point.getNum() != W * H || kit->rowLength != H) return false;
  for (int i = 0; i < W; i++) {
    for (int j = 0; j < H; j++) {
      const int k = i * H + j;
      const SbVec3f expected(float(2.0 * i / (W - 1) - 1.0), float(2.0 * j / (H - 1) - 1.0), 0.0f);
      if (kit->prevPoints[k] != expected || kit->curPoints[k] != expected ||
          kit->nextPoints[k] != expected || c->point[k] != expected)
        return false;
    }
  }
  return true;
}

// Counts the rebuilds of a kit: every rebuild puts a new node into the
// kit's "shape" part field.
struct RebuildCounter {
  explicit RebuildCounter(WaveSurfaceKit * kit)
    : shapeField(kit->getField("shape")), sensor(countCB, this)
  {
    sensor.setPriority(0);  // trigger at every notification, not queued
    sensor.attach(kit);
  }
  static void countCB(void * data, SoSensor * s) {
    RebuildCounter * self = static_cast<RebuildCounter *>(data);
    if (static_cast<SoNodeSensor *>(s)->getTriggerField() == self->shapeField) self->count++;
  }
  SoField * shapeField;
  SoNodeSensor sensor;
  int count = 0;
};

class KitTest : public ::testing::Test {
protected:
  void TearDown() override {
    for (WaveSurfaceKit * kit : kits) kit->unref();
    processDelayQueue();
  }
  WaveSurfaceKit * keep(WaveSurfaceKit * kit) {
    kit->ref();
    kits.push_back(kit);
    return kit;
  }
  std::vector<WaveSurfaceKit *> kits;
};

}

TEST_F(KitTest, ConstructorsAndFactoryGiveTheDescribedDefaults) {
  SoType type = SoType::fromName("WaveSurfaceKit");
  ASSERT_NE(type, SoType::badType());
  EXPECT_EQ(type, WaveSurfaceKit::getClassTypeId());
  EXPECT_EQ(type.getParent(), SoShapeKit::getClassTypeId());
  ASSERT_TRUE(type.canCreateInstance());

  WaveSurfaceKit * made = keep(static_cast<WaveSurfaceKit *>(type.createInstance()));
  WaveSurfaceKit * plain = keep(new WaveSurfaceKit);
  for (WaveSurfaceKit * kit : {made, plain}) {
    EXPECT_EQ(kit->getTypeId(), type);
    EXPECT_EQ(kit->width.getValue(), 70);
    EXPECT_EQ(kit->height.getValue(), 70);
    EXPECT_TRUE(kit->pickOnBoundingBox.getValue());
    EXPECT_EQ(kit->halfSizeX, 1.0f);
    EXPECT_EQ(kit->halfSizeY, 1.0f);
    EXPECT_EQ(kit->centerX, 0.0f);
    EXPECT_EQ(kit->centerY, 0.0f);
    EXPECT_EQ(kit->bumpSize, 10);
    EXPECT_EQ(kit->dragging, 0);
    EXPECT_EQ(kit->rowLength, 70);
    EXPECT_FALSE(kit->stepSensor->isScheduled());
    EXPECT_FALSE(kit->rebuildSensor->isScheduled());
    EXPECT_EQ(kit->getNodekitCatalog()->getNumEntries(),
              SoShapeKit::getClassNodekitCatalog()->getNumEntries());
  }

  WaveSurfaceKit * lower = keep(new WaveSurfaceKit(40, 5.0f, 5.0f, 0.0f, -1.0f, 3));
  EXPECT_EQ(lower->width.getValue(), 40);
  EXPECT_EQ(lower->height.getValue(), 40);
  EXPECT_EQ(lower->halfSizeX, 5.0f);
  EXPECT_EQ(lower->halfSizeY, 5.0f);
  EXPECT_EQ(lower->centerX, 0.0f);
  EXPECT_EQ(lower->centerY, -1.0f);
  EXPECT_EQ(lower->bumpSize, 3);
  EXPECT_EQ(lower->dragging, 0);
  EXPECT_TRUE(isFlatGrid(lower, 40, 40));

  // Construction triggers none of the field sensors.
  EXPECT_FALSE(SoDB::getSensorManager()->isDelaySensorPending());
}

TEST_F(KitTest, ConstructionSetsTheWaterParts) {
  WaveSurfaceKit * kit = keep(new WaveSurfaceKit(20, 2.0f, 2.0f, 0.0f, -1.0f, 3));

  SoPickStyle * pick = part<SoPickStyle>(kit, "pickStyle");
  ASSERT_NE(pick, nullptr);
  EXPECT_EQ(pick->style.getValue(), SoPickStyle::BOUNDING_BOX);

  SoMaterial * material = part<SoMaterial>(kit, "appearance.material");
  ASSERT_NE(material, nullptr);
  ASSERT_EQ(material->transparency.getNum(), 1);
  EXPECT_FLOAT_EQ(material->transparency[0], 0.5f);

  SoNormalBinding * binding = part<SoNormalBinding>(kit, "normalBinding");
  ASSERT_NE(binding, nullptr);
  EXPECT_EQ(binding->value.getValue(), SoNormalBinding::PER_VERTEX);

  SoShapeHints * hints = part<SoShapeHints>(kit, "shapeHints");
  ASSERT_NE(hints, nullptr);
  EXPECT_EQ(hints->vertexOrdering.getValue(), SoShapeHints::COUNTERCLOCKWISE);
  EXPECT_FLOAT_EQ(hints->creaseAngle.getValue(), 1.0f);

  EXPECT_NE(part<SoTextureCoordinateEnvironment>(kit, "textureCoordinateFunction"), nullptr);
  EXPECT_NE(part<SoIndexedTriangleStripSet>(kit, "shape"), nullptr);

  SoEventCallback * mouse = part<SoEventCallback>(kit, "callbackList[0]");
  EXPECT_NE(mouse, nullptr);

  ASSERT_NE(coords(kit), nullptr);
  EXPECT_TRUE(isFlatGrid(kit, 20, 20));
}

TEST_F(KitTest, MeshLayoutAndTriangleStrips) {
  WaveSurfaceKit * kit20 = keep(new WaveSurfaceKit(20, 2.0f, 2.0f, 0.0f, -1.0f, 3));
  ASSERT_EQ(coords(kit20)->point.getNum(), 400);
  EXPECT_EQ(kit20->curPoints[0], SbVec3f(-1.0f, -1.0f, 0.0f));
  EXPECT_FLOAT_EQ(kit20->curPoints[20][0], -1.0f + 2.0f / 19.0f);
  EXPECT_EQ(kit20->curPoints[20][1], -1.0f);
  EXPECT_EQ(kit20->curPoints[20][2], 0.0f);
  EXPECT_EQ(kit20->curPoints[399], SbVec3f(1.0f, 1.0f, 0.0f));
  // Rows run along y: index 1 is vertex (0, 1).
  EXPECT_EQ(kit20->curPoints[1][0], -1.0f);
  EXPECT_FLOAT_EQ(kit20->curPoints[1][1], -1.0f + 2.0f / 19.0f);

  std::vector<int32_t> idx = stripIndices(kit20);
  ASSERT_EQ(idx.size(), 779u);
  EXPECT_EQ(idx[0], 0);
  EXPECT_EQ(idx[1], 20);
  EXPECT_EQ(idx[2], 1);
  EXPECT_EQ(idx[3], 21);
  EXPECT_EQ(idx[39], 39);
  EXPECT_EQ(idx[40], -1);  // the strip's 41st entry ends it
  EXPECT_EQ(idx[41], 20);  // the next strip starts on the second row
  EXPECT_EQ(idx[778], -1);
  int terminators = 0;
  for (int32_t v : idx) {
    if (v == -1) terminators++;
    else EXPECT_TRUE(v >= 0 && v < 400) << v;
  }
  EXPECT_EQ(terminators, 19);

  WaveSurfaceKit * kit70 = keep(new WaveSurfaceKit);
  EXPECT_EQ(coords(kit70)->point.getNum(), 4900);
  EXPECT_EQ(stripIndices(kit70).size(), 9729u);
  EXPECT_EQ(kit70->curPoints[4899], SbVec3f(1.0f, 1.0f, 0.0f));

  WaveSurfaceKit * kit3x2 = keep(new WaveSurfaceKit(3, 1.0f, 1.0f, 0.0f, 0.0f, 3));
  kit3x2->height = 2;
  processDelayQueue();
  EXPECT_EQ(stripIndices(kit3x2), (std::vector<int32_t>{0, 2, 1, 3, -1, 2, 4, 3, 5, -1}));
  EXPECT_TRUE(isFlatGrid(kit3x2, 3, 2));
}

TEST_F(KitTest, SizeChangesAreCoalescedIntoOneRebuild) {
  WaveSurfaceKit * kit = keep(new WaveSurfaceKit(20, 2.0f, 2.0f, 0.0f, -1.0f, 3));
  // Water that is not at rest: a rebuild restarts it flat.
  kit->curPoints[45][2] = 0.3f;
  kit->prevPoints[45][2] = 0.2f;
  RebuildCounter rebuilds(kit);
  SoCoordinate3 * before = coords(kit);

  kit->width = 30;
  kit->height = 12;
  EXPECT_EQ(rebuilds.count, 0);
  EXPECT_EQ(coords(kit), before);  // nothing rebuilt before the queue runs
  EXPECT_EQ(kit->rowLength, 20);

  processDelayQueue();
  EXPECT_EQ(rebuilds.count, 1);
  EXPECT_FALSE(kit->rebuildSensor->isScheduled());
  EXPECT_EQ(kit->rowLength, 12);
  EXPECT_TRUE(isFlatGrid(kit, 30, 12));
  EXPECT_EQ(stripIndices(kit).size(), size_t(29 * 25));
  EXPECT_FALSE(kit->stepSensor->isScheduled());

  processDelayQueue();
  EXPECT_EQ(rebuilds.count, 1);

  // A running surface keeps running across a rebuild.
  kit->startSimulation();
  kit->width = 20;
  processDelayQueue();
  EXPECT_EQ(rebuilds.count, 2);
  EXPECT_TRUE(kit->stepSensor->isScheduled());
  kit->stepSensor->unschedule();
}

TEST_F(KitTest, DestroyingAKitWithARebuildPendingRunsNoRebuild) {
  WaveSurfaceKit * kit = new WaveSurfaceKit(20, 2.0f, 2.0f, 0.0f, -1.0f, 3);
  kit->ref();
  kit->startSimulation();
  kit->width = 25;
  kit->rebuildSensor->schedule();
  ASSERT_TRUE(SoDB::getSensorManager()->isDelaySensorPending());
  kit->unref();
  EXPECT_FALSE(SoDB::getSensorManager()->isDelaySensorPending());
  SoDB::getSensorManager()->processDelayQueue(TRUE);  // must not reach the dead kit
}

TEST_F(KitTest, PickOnBoundingBoxDrivesThePickStyle) {
  WaveSurfaceKit * kit = keep(new WaveSurfaceKit(20, 2.0f, 2.0f, 0.0f, -1.0f, 3));
  kit->pickOnBoundingBox = FALSE;
  processDelayQueue();
  EXPECT_EQ(part<SoPickStyle>(kit, "pickStyle")->style.getValue(), SoPickStyle::SHAPE);
  kit->pickOnBoundingBox = TRUE;
  processDelayQueue();
  EXPECT_EQ(part<SoPickStyle>(kit, "pickStyle")->style.getValue(), SoPickStyle::BOUNDING_BOX);
  // A size change leaves the pick style alone.
  kit->pickOnBoundingBox = FALSE;
  processDelayQueue();
  kit->width = 21;
  processDelayQueue();
  EXPECT_EQ(part<SoPickStyle>(kit, "pickStyle")->style.getValue(), SoPickStyle::SHAPE);
}

TEST_F(KitTest, FieldsFollowThoseOfTheShapeKit) {
  WaveSurfaceKit * kit = keep(new WaveSurfaceKit);
  SoShapeKit * base = new SoShapeKit;
  base->ref();
  SoFieldList kitFields, baseFields;
  const int n = kit->getFields(kitFields);
  const int nBase = base->getFields(baseFields);
  ASSERT_EQ(n, nBase + 3);
  for (int i = 0; i < nBase; i++) {
    SbName kitName, baseName;
    kit->getFieldName(kitFields[i], kitName);
    base->getFieldName(baseFields[i], baseName);
    EXPECT_EQ(kitName, baseName) << i;
  }
  SbName name;
  kit->getFieldName(kitFields[nBase], name);
  EXPECT_STREQ(name.getString(), "pickOnBoundingBox");
  kit->getFieldName(kitFields[nBase + 1], name);
  EXPECT_STREQ(name.getString(), "width");
  kit->getFieldName(kitFields[nBase + 2], name);
  EXPECT_STREQ(name.getString(), "height");
  EXPECT_EQ(kit->getField("width"), &kit->width);
  EXPECT_EQ(kit->getField("height"), &kit->height);
  EXPECT_EQ(kit->getField("pickOnBoundingBox"), &kit->pickOnBoundingBox);
  base->unref();
}

TEST_F(KitTest, KitReadFromAFileIsRebuiltToItsSize) {
  static const char text[] = "#Inventor V2.1 ascii\n WaveSurfaceKit { width 20 height 20 }";
  SoInput in;
  in.setBuffer(text, sizeof(text) - 1);
  SoSeparator * root = SoDB::readAll(&in);
  ASSERT_NE(root, nullptr);
  root->ref();
  ASSERT_EQ(root->getNumChildren(), 1);
  ASSERT_TRUE(root->getChild(0)->isOfType(WaveSurfaceKit::getClassTypeId()));
  WaveSurfaceKit * kit = static_cast<WaveSurfaceKit *>(root->getChild(0));
  processDelayQueue();
  EXPECT_EQ(kit->width.getValue(), 20);
  EXPECT_EQ(kit->height.getValue(), 20);
  EXPECT_TRUE(isFlatGrid(kit, 20, 20));
  EXPECT_EQ(stripIndices(kit).size(), 779u);
  root->unref();
}

TEST_F(KitTest, UnbuildableSizesKeepTheLastMesh) {
  WaveSurfaceKit * kit = keep(new WaveSurfaceKit(20, 2.0f, 2.0f, 0.0f, -1.0f, 3));
  for (int bad : {0, 1, -3, 100000}) {
    kit->width = bad;
    processDelayQueue();
    EXPECT_TRUE(isFlatGrid(kit, 20, 20)) << "width " << bad;
    EXPECT_EQ(stripIndices(kit).size(), 779u);
    kit->width = 20;
    kit->height = bad;
    processDelayQueue();
    EXPECT_TRUE(isFlatGrid(kit, 20, 20)) << "height " << bad;
    kit->height = 20;
    processDelayQueue();
  }

  // A kit that has no mesh yet gets the smallest grid there is.
  for (int bad : {1, 0}) {
    WaveSurfaceKit * tiny = keep(new WaveSurfaceKit(bad, 1.0f, 1.0f, 0.0f, 0.0f, 3));
    EXPECT_TRUE(isFlatGrid(tiny, 2, 2)) << "resolution " << bad;
    EXPECT_EQ(stripIndices(tiny), (std::vector<int32_t>{0, 2, 1, 3, -1}));
  }
}

// The height update reads and writes the buffers in 32-byte pieces, which
// are slower where they cross a cache line: every buffer a build or a
// rebuild makes starts at one.
TEST_F(KitTest, VertexBuffersStartAtCacheLines) {
  auto atLines = [](const WaveSurfaceKit * kit) {
    for (const SbVec3f * level : { kit->prevPoints, kit->curPoints, kit->nextPoints }) {
      if (reinterpret_cast<uintptr_t>(level) % 64 != 0) return false;
    }
    return true;
  };
  for (int32_t resolution : {2, 20, 30, 40}) {
    WaveSurfaceKit * kit = keep(new WaveSurfaceKit(resolution, 1.0f, 1.0f, 0.0f, 0.0f, 3));
    EXPECT_TRUE(atLines(kit)) << resolution;
    kit->width = resolution + 1;
    processDelayQueue();
    EXPECT_TRUE(atLines(kit)) << resolution;
    EXPECT_TRUE(isFlatGrid(kit, resolution + 1, resolution));
  }
}

using KitDeathTest = KitTest;

TEST_F(KitDeathTest, RegisteringTheTypeTwiceIsAProgrammingError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(WaveSurfaceKit::initClass(), "WaveSurfaceKit.*don't init\\(\\) twice");
}
