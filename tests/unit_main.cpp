// Test entry point: the scene-graph library is initialised once for all tests.

#include <Inventor/SoDB.h>
#include <Inventor/SoInteraction.h>
#include <Inventor/nodekits/SoNodeKit.h>

#include "wave/WaveSurfaceKit.h"

#include <gtest/gtest.h>

int
main(int argc, char ** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  SoDB::init();
  SoNodeKit::init();
  SoInteraction::init();
  WaveSurfaceKit::initClass();
  return RUN_ALL_TESTS();
}
