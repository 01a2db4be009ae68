// The viewer tests' main(): the binding and its main window first, then the
// tests, then the scene they may have made is released.

#include "ViewerTestWindow.h"

#include "app/Application.h"

#include <gtest/gtest.h>

#include <cstdio>

HWND mainWindow = NULL;

int
main(int argc, char ** argv)
{
  ::testing::InitGoogleTest(&argc, argv);
  mainWindow = SoWin::init(argv[0], "SoWin");
  if (mainWindow == NULL) {
    std::fprintf(stderr, "these tests need an X display\n");
    return 1;
  }
  int status = RUN_ALL_TESTS();
  // Each test runs from ctest through a filter; one that names no test
  // would otherwise pass without testing anything.
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    std::fprintf(stderr, "no test matches the filter\n");
    status = 1;
  }
  destroyScene();
  return status;
}
