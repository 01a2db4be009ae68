#ifndef FOUNTAIN_VIEWER_KEYPASSINGEXAMINERVIEWER_H
#define FOUNTAIN_VIEWER_KEYPASSINGEXAMINERVIEWER_H

// The Qt examiner viewer behind SoWinExaminerViewer, with a render area
// that has no stencil buffer (DepthOnlyBuffer.h). Internal to the viewer
// layer: it includes the Qt binding.

#include "DepthOnlyBuffer.h"

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>
#include <Inventor/events/SoKeyboardEvent.h>

// The Qt examiner keeps every event to itself while it is in camera mode,
// so a key of the program's own (J for the jet) would only work after Esc.
// Here the scene sees each key first in camera mode too; a key the scene
// leaves unhandled goes on to the camera control (Esc, Home, S, ...).
class KeyPassingExaminerViewer : public SoQtExaminerViewer {
public:
  KeyPassingExaminerViewer(QWidget * parent, const char * name, SbBool embed,
                           SoQtFullViewer::BuildFlag flag, SoQtViewer::Type type)
    : SoQtExaminerViewer(parent, name, embed, flag, type, FALSE) {
    // The buffers are chosen before the widget that holds them is built.
    requestDepthOnlyBuffer(this);
    this->setBaseWidget(this->buildWidget(this->getParentWidget()));
  }

protected:
  SbBool processSoEvent(const SoEvent * const event) override {
    // The render area's handling (the scene) on purpose, skipping the
    // examiner's camera control for this first try.
    if (this->isViewing() && event->isOfType(SoKeyboardEvent::getClassTypeId()) &&
        // NOLINTNEXTLINE(bugprone-parent-virtual-call)
        SoQtRenderArea::processSoEvent(event))
      return TRUE;
    return SoQtExaminerViewer::processSoEvent(event);
  }
};

#endif
