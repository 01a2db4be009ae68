#ifndef FOUNTAIN_VIEWER_SOWIN_H
#define FOUNTAIN_VIEWER_SOWIN_H

// The operations of the Windows viewer binding that the program uses,
// offered on top of the Qt binding. No Qt header is included here.

#include <Inventor/SbBasic.h>
#include <Inventor/SbVec2s.h>

class QWidget;
typedef QWidget * HWND;

class SoWin {
public:
  // Initialises the scene-graph library, its node kits and the binding and
  // returns the main window, or NULL when no display can be opened.
  static HWND init(const char * appName, const char * className = "SoWin");

  static void show(HWND widget);

  // Dispatches window events and the sensor queues until the main window
  // is closed.
  static void mainLoop(void);
  // Makes mainLoop return after the events being dispatched.
  static void exitMainLoop(void);

  // Resizes a window; a window that has not been shown yet opens at that size.
  static void setWidgetSize(HWND widget, const SbVec2s size);

private:
  SoWin(void);
};

#endif
