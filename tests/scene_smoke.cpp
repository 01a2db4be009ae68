#include "SceneFixture.h"

#include <Inventor/nodes/SoSeparator.h>

TEST_F(SceneTest, SceneHasTextureLightFountainAndKeyboardNode) {
  EXPECT_EQ(sceneRoot->getNumChildren(), 29);
}
