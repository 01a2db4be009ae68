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
  destroyScene();
  return status;
}
