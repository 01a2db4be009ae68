// The viewer binding's start-up and main loop, on the Qt binding.

#include <Inventor/Win/SoWin.h>

#include "DriverGLThread.h"
#include "HeapTrimming.h"
#include "TextureSamplingShortcuts.h"

#include <Inventor/Qt/SoQt.h>
#include <QtGui/QGuiApplication>

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Only the X11 platform of the Qt binding needs a display.
bool
usesX11(void)
{
  const char * platform = std::getenv("QT_QPA_PLATFORM");
  return !platform || !*platform || std::strncmp(platform, "xcb", 3) == 0;
}

}

HWND
SoWin::init(const char * appName, const char * className)
{
  // The Qt binding ends the process when it cannot reach a display, so the
  // display is tried first. The trial connection stays open until the
  // binding has its own: a server that loses its last client resets or ends
  // (Xvfb resets by default), and the binding would then find no display.
  Display * trial = NULL;
  if (usesX11()) {
    trial = XOpenDisplay(NULL);
    if (!trial) {
      const char * name = std::getenv("DISPLAY");
      std::fprintf(stderr, "%s: cannot open display '%s'\n",
                   appName ? appName : "fountain", name ? name : "");
      return NULL;
    }
  }
  preferDriverGLThread();
  preferTextureSamplingShortcuts();
  limitHeapTrimming();
  // Qt keeps references to argc and argv for the application's lifetime.
  static int argc = 1;
  static char * argv[2] = { const_cast<char *>(appName ? appName : "fountain"), NULL };
  HWND mainWindow = SoQt::init(argc, argv, appName, className);
  if (trial) XCloseDisplay(trial);
  return mainWindow;
}

void
SoWin::show(HWND widget)
{
  SoQt::show(widget);
}

void
SoWin::mainLoop(void)
{
  SoQt::mainLoop();
}

void
SoWin::exitMainLoop(void)
{
  SoQt::exitMainLoop();
}

void
SoWin::setWidgetSize(HWND widget, const SbVec2s size)
{
  SoQt::setWidgetSize(widget, size);
}
