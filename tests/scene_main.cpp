// Scene-test entry point: the library is initialised, the kit type is not;
// createScene() registers it, once per test process.

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
  return RUN_ALL_TESTS();
}
