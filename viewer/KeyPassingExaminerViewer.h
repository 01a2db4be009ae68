#ifndef FOUNTAIN_VIEWER_KEYPASSINGEXAMINERVIEWER_H
#define FOUNTAIN_VIEWER_KEYPASSINGEXAMINERVIEWER_H

// The Qt examiner viewer behind SoWinExaminerViewer, with a render area
// that has no stencil buffer (DepthOnlyBuffer.h). Internal to the viewer
// layer: it includes the Qt binding.

#include "DepthOnlyBuffer.h"
#include "SortedBlendRenderAction.h"

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/events/SoKeyboardEvent.h>

#include <QtGui/QWindow>
#include <QtWidgets/QWidget>

#include <memory>

// The viewer's render action, held by a base class so that it is deleted
// only after the Qt viewer, which uses it until its own end, is gone.
struct SortedBlendRenderActionHolder {
  std::unique_ptr<SortedBlendRenderAction> sortedBlend;
};

// The Qt examiner keeps every event to itself while it is in camera mode,
// so a key of the program's own (J for the jet) would only work after Esc.
// Here the scene sees each key first in camera mode too; a key the scene
// leaves unhandled goes on to the camera control (Esc, Home, S, ...).
class KeyPassingExaminerViewer : private SortedBlendRenderActionHolder, public SoQtExaminerViewer {
public:
  KeyPassingExaminerViewer(QWidget * parent, const char * name, SbBool embed,
                           SoQtFullViewer::BuildFlag flag, SoQtViewer::Type type)
    : SoQtExaminerViewer(parent, name, embed, flag, type, FALSE) {
    // The buffers are chosen before the widget that holds them is built.
    requestDepthOnlyBuffer(this);
    this->setBaseWidget(this->buildWidget(this->getParentWidget()));
    this->useSortedBlendRenderAction();
  }

  // The render action in use: the one that draws the sorted transparent
  // shapes in one traversal (SortedBlendRenderAction.h).
  const SortedBlendRenderAction * sortedBlendRenderAction(void) const {
    return this->sortedBlend.get();
  }

protected:
  // The Qt binding draws a window the user cannot see (minimised, unmapped)
  // as often as one on screen, and the scene keeps changing. Such a window
  // is not drawn; the first redraw after it is back draws it again.
  void redraw(void) final {
    if (this->isOnScreen()) this->drawFrame();
  }

  // Draws one frame and shows it; called only while the window can be seen.
  virtual void drawFrame(void) { SoQtExaminerViewer::redraw(); }

  SbBool processSoEvent(const SoEvent * const event) override {
    // The render area's handling (the scene) on purpose, skipping the
    // examiner's camera control for this first try.
    if (this->isViewing() && event->isOfType(SoKeyboardEvent::getClassTypeId()) &&
        // NOLINTNEXTLINE(bugprone-parent-virtual-call)
        SoQtRenderArea::processSoEvent(event))
      return TRUE;
    return SoQtExaminerViewer::processSoEvent(event);
  }

private:
  bool isOnScreen(void) const {
    QWidget * area = this->getGLWidget();
    QWindow * window = area ? area->window()->windowHandle() : NULL;
    return !window || window->isExposed();
  }

  // Takes over every setting of the viewer's own render action.
  void useSortedBlendRenderAction(void) {
    const SoGLRenderAction * own = this->getGLRenderAction();
    this->sortedBlend.reset(new SortedBlendRenderAction(own->getViewportRegion()));
    SortedBlendRenderAction * action = this->sortedBlend.get();
    action->setCacheContext(own->getCacheContext());
    action->setTransparencyType(own->getTransparencyType());
    action->setTransparentDelayedObjectRenderType(own->getTransparentDelayedObjectRenderType());
    action->setDelayedObjDepthWrite(own->getDelayedObjDepthWrite());
    action->setSmoothing(own->isSmoothing());
    action->setNumPasses(own->getNumPasses());
    action->setPassUpdate(own->isPassUpdate());
    action->setRenderingIsRemote(own->getRenderingIsRemote());
    this->setGLRenderAction(action);
  }
};

#endif
