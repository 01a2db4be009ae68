#ifndef FOUNTAIN_TESTS_VIEWERTESTWINDOW_H
#define FOUNTAIN_TESTS_VIEWERTESTWINDOW_H

// The main window that the viewer tests put their viewers in, made by the
// tests' main() (viewer_tests_main.cpp) on the X server they run on.

#include <Inventor/Win/SoWin.h>

extern HWND mainWindow;

#endif
