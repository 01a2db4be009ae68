// Reading a kept path down to a shape inside a node kit, as the viewer's
// render action reads the library's copies of the sorted shapes' paths.

#include "viewer/WholePath.h"

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodekits/SoBaseKit.h>
#include <Inventor/nodekits/SoShapeKit.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoSeparator.h>

#include <gtest/gtest.h>

TEST(WholePathTest, ReachesTheShapeANodeKitHides)
{
  SoSeparator * root = new SoSeparator;
  root->ref();
  root->addChild(new SoSeparator);
  SoSeparator * holder = new SoSeparator;
  root->addChild(holder);
  SoShapeKit * kit = new SoShapeKit;
  holder->addChild(kit);
  SoCube * cube = new SoCube;
  kit->setPart("shape", cube);

  // A search's results are copies, plain SoPath objects, as the sorted
  // shapes' paths are.
  const SbBool kitsSearched = SoBaseKit::isSearchingChildren();
  SoBaseKit::setSearchingChildren(TRUE);
  SoSearchAction search;
  search.setNode(cube);
  search.apply(root);
  SoBaseKit::setSearchingChildren(kitsSearched);
  SoPath * path = search.getPath();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(path->getTypeId(), SoPath::getClassTypeId());

  // SoPath's own length ends at the kit; the whole path goes on through
  // the kit's separators to the cube.
  EXPECT_EQ(path->getTail(), kit);
  const int length = wholeLength(path);
  EXPECT_GT(length, path->getLength());
  EXPECT_EQ(wholeTail(path), cube);
  EXPECT_EQ(path->getNode(1), holder);
  EXPECT_EQ(path->getIndex(1), 1);
  EXPECT_EQ(path->getNode(2), kit);

  // A path of the head alone, and an empty one.
  SoPath * head = new SoPath(root);
  head->ref();
  EXPECT_EQ(wholeLength(head), 1);
  EXPECT_EQ(wholeTail(head), root);
  head->truncate(0);
  EXPECT_EQ(wholeLength(head), 0);
  EXPECT_EQ(wholeTail(head), nullptr);
  head->unref();

  root->unref();
}
