#ifndef FOUNTAIN_TESTS_SCENEFIXTURE_H
#define FOUNTAIN_TESTS_SCENEFIXTURE_H

// Builds the application's scene once per test process (the kit type can be
// registered only once) and restores the program-wide state that tests may
// change.

#include "app/Application.h"

#include <gtest/gtest.h>

class SceneTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!sceneRoot) createScene();
  }
};

#endif
