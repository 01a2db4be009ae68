// The examiner viewer of the viewer binding, on the Qt binding.

#include <Inventor/Win/viewers/SoWinExaminerViewer.h>

#include "FrontView.h"
#include "ShownScene.h"
#include "KeyPassingExaminerViewer.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCamera.h>
#include <Inventor/nodes/SoSeparator.h>

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QWidget>

namespace {

bool
containsCamera(SoNode * root)
{
  SoSearchAction search;
  search.setType(SoCamera::getClassTypeId());
  search.setInterest(SoSearchAction::FIRST);
  search.apply(root);
  return search.getPath() != NULL;
}

// The screen the window shows on; without a window manager nobody else
// gives a full-screen window its size.
QRect
screenGeometry(QWidget * window)
{
  QScreen * screen = window->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry() : QRect();
}

}

SoWinExaminerViewer::SoWinExaminerViewer(HWND parent, const char * name, SbBool embed,
                                         SoWinFullViewer::BuildFlag flag,
                                         SoWinViewer::Type type)
  : viewer(new KeyPassingExaminerViewer(parent, name, embed,
                                        static_cast<SoQtFullViewer::BuildFlag>(flag),
                                        static_cast<SoQtViewer::Type>(type))),
    shown(NULL)
{
}

SoWinExaminerViewer::SoWinExaminerViewer(SoQtExaminerViewer * viewer)
  : viewer(viewer), shown(NULL)
{
}

SoWinExaminerViewer::~SoWinExaminerViewer()
{
  delete this->viewer;
  if (this->shown) this->shown->unref();
}

void
SoWinExaminerViewer::setSceneGraph(SoNode * root)
{
  // The Qt viewer makes a camera of its own for a scene without one and
  // points it down -z. The fountain stands along +z, so that camera is
  // turned to look at it from the front, and that view becomes home.
  const bool viewerCamera = root && !containsCamera(root);
  SoSeparator * previous = this->shown;
  this->shown = root ? shownScene(root) : NULL;
  if (this->shown) this->shown->ref();
  this->viewer->setSceneGraph(this->shown);
  if (previous) previous->unref();
  SoCamera * camera = this->viewer->getCamera();
  if (!viewerCamera || !camera) return;

  QRect screen = screenGeometry(this->viewer->getWidget()->window());
  SbViewportRegion viewport = this->viewer->getViewportRegion();
  if (screen.width() > 0 && screen.height() > 0)
    viewport = SbViewportRegion(short(screen.width()), short(screen.height()));
  aimAtFront(camera, root, viewport);
  this->viewer->saveHomePosition();
}

SbBool
SoWinExaminerViewer::setFullScreen(const SbBool enable)
{
  SbBool done = this->viewer->setFullScreen(enable);
  if (enable) {
    // A window manager honours the full-screen request; without one the
    // window keeps its first size, so it is given the screen's geometry.
    // The render area follows the size of the window it is embedded in.
    QWidget * window = this->viewer->getWidget()->window();
    QRect screen = screenGeometry(window);
    if (screen.isValid()) {
      window->setGeometry(screen);
      done = TRUE;
    }
  }
  return done;
}

void
SoWinExaminerViewer::setDecoration(const SbBool enable)
{
  this->viewer->setDecoration(enable);
}

void
SoWinExaminerViewer::show(void)
{
  this->viewer->show();
  // The Qt binding shows only the top-level window. A viewer built into a
  // window that is already on screen (after an earlier viewer there was
  // deleted) would stay hidden, and at its first size, until the window
  // next changed size; as in the Windows binding, it fills its parent and
  // shows now.
  QWidget * widget = this->viewer->getWidget();
  QWidget * parent = widget ? widget->parentWidget() : NULL;
  if (parent && parent->isVisible() && !widget->isVisible()) {
    widget->resize(parent->size());
    widget->show();
  }
}

void
SoWinExaminerViewer::setTransparencyType(SoGLRenderAction::TransparencyType type)
{
  this->viewer->setTransparencyType(type);
}

void
SoWinExaminerViewer::setGLRenderAction(SoGLRenderAction * action)
{
  this->viewer->setGLRenderAction(action);
}

SoGLRenderAction *
SoWinExaminerViewer::getGLRenderAction(void) const
{
  return this->viewer->getGLRenderAction();
}

SoCamera *
SoWinExaminerViewer::getCamera(void) const
{
  return this->viewer->getCamera();
}

void
SoWinExaminerViewer::resetToHomePosition(void)
{
  this->viewer->resetToHomePosition();
}
