// Scene-test entry point: the library is initialised, the kit type is not;
// createScene() registers it, once per test process.

#include "app/Application.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/nodekits/SoNodeKit.h>

#include <gtest/gtest.h>

int
main(int argc, char ** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  SoDB::init();
  SoNodeKit::init();
  SoInteraction::init();
  const int status = RUN_ALL_TESTS();
  // The scene that the tests built goes with its drops, so that a leak
  // checker reports only what was really lost.
  destroyScene();
  return status;
}
