// The viewer's window as the user sees it: a window that cannot be seen is
// not drawn. Checked on a real viewer on an X server of its own.

#include "Timeline.h"
#include "ViewerTestWindow.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/actions/SoGLRenderAction.h>
#include <Inventor/nodes/SoCallback.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/sensors/SoTimerSensor.h>

#include <gtest/gtest.h>

#include <vector>

// Last: Xlib's macros (None, Bool, ...) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// What a window manager does when the user minimises the program's windows
// and restores them: it marks each as iconic and unmaps it, then marks it
// normal and maps it again. The program's only windows on this server are
// its own; those on screen at the first call are the ones changed.
class WindowManager {
public:
  WindowManager() : display(XOpenDisplay(NULL)) {}
  ~WindowManager() {
    if (display) XCloseDisplay(display);
  }

  bool minimise(void) {
    if (!display) return false;
    Window root = DefaultRootWindow(display), parent = 0, * children = NULL;
    unsigned int count = 0;
    XQueryTree(display, root, &root, &parent, &children, &count);
    for (unsigned int i = 0; i < count; i++) {
      XWindowAttributes attributes;
      if (XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable)
        shown.push_back(children[i]);
    }
    if (children) XFree(children);
    for (Window window : shown) {
      setState(window, IconicState);
      XUnmapWindow(display, window);
    }
    XSync(display, False);
    return !shown.empty();
  }

  void restore(void) {
    for (Window window : shown) {
      setState(window, NormalState);
      XMapWindow(display, window);
    }
    XSync(display, False);
  }

private:
  void setState(Window window, long state) {
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    const long value[2] = { state, 0 };
    XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(value), 2);
  }

  Display * display;
  std::vector<Window> shown;
};

void
countDrawingCB(void * data, SoAction * action)
{
  if (action->isOfType(SoGLRenderAction::getClassTypeId())) ++*static_cast<int *>(data);
}

void
touchCB(void * data, SoSensor *)
{
  static_cast<SoNode *>(data)->touch();
}

// The scene changes all the time, as the fountain's does; while the window
// is minimised none of those changes is drawn, and once it is back they are.
TEST(ViewerWindow, AMinimisedWindowIsNotDrawn)
{
  int drawn = 0;
  SoSeparator * scene = new SoSeparator;
  scene->ref();
  SoCallback * counter = new SoCallback;
  counter->setCallback(countDrawingCB, &drawn);
  scene->addChild(counter);
  scene->addChild(new SoCube);

  SoWinExaminerViewer * viewer = new SoWinExaminerViewer(mainWindow);
  viewer->setSceneGraph(scene);
  SoWin::setWidgetSize(mainWindow, SbVec2s(320, 256));
  viewer->setDecoration(FALSE);
  viewer->show();
  SoWin::show(mainWindow);
  SoTimerSensor changes(touchCB, scene);
  changes.setInterval(SbTime(0.02));
  changes.schedule();

  WindowManager manager;
  int shown = 0, minimised = 0, stillMinimised = 0, restored = 0;
  bool didMinimise = false;
  Timeline timeline;
  timeline.at(1.5, [&] {
    shown = drawn;
    didMinimise = manager.minimise();
  });
  // The binding hears of the change a moment later.
  timeline.at(0.5, [&] { minimised = drawn; });
  timeline.at(1.0, [&] {
    stillMinimised = drawn;
    manager.restore();
  });
  timeline.at(1.0, [&] { restored = drawn; });
  timeline.run();
  changes.unschedule();
  delete viewer;
  scene->unref();

  ASSERT_TRUE(didMinimise) << "no window of the program was on screen";
  EXPECT_GT(shown, 0) << "the window was not drawn at all";
  EXPECT_EQ(stillMinimised, minimised) << "the minimised window was drawn";
  EXPECT_GT(restored, stillMinimised) << "the restored window was not drawn again";
}

}
