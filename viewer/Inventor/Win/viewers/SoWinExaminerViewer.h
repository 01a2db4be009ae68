#ifndef FOUNTAIN_VIEWER_SOWINEXAMINERVIEWER_H
#define FOUNTAIN_VIEWER_SOWINEXAMINERVIEWER_H

// A render area with examiner-style camera control, embedded in a window.
// It redraws whenever the scene changes, except while its window cannot be
// seen (minimised or unmapped).

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/actions/SoGLRenderAction.h>

class SoCamera;
class SoNode;
class SoQtExaminerViewer;
class SoSeparator;

class SoWinExaminerViewer : public SoWinFullViewer {
public:
  explicit SoWinExaminerViewer(HWND parent = NULL, const char * name = NULL, SbBool embed = TRUE,
                               SoWinFullViewer::BuildFlag flag = BUILD_ALL,
                               SoWinViewer::Type type = BROWSER);
  ~SoWinExaminerViewer();

  // Shows root. A scene without a camera is looked at from the front (its
  // +z up on the screen), framed whole; that view is the home position.
  void setSceneGraph(SoNode * root);
  // Makes the main window cover the screen, with or without a window manager.
  SbBool setFullScreen(const SbBool enable);
  void setDecoration(const SbBool enable);
  void show(void);
  void setTransparencyType(SoGLRenderAction::TransparencyType type);
  // The action that draws the scene; the caller keeps ownership of one it
  // sets, and keeps it until the viewer is gone or has another.
  void setGLRenderAction(SoGLRenderAction * action);
  SoGLRenderAction * getGLRenderAction(void) const;

  SoCamera * getCamera(void) const;
  void resetToHomePosition(void);

protected:
  // For viewers of the layer that put a Qt examiner of their own behind
  // these calls; takes ownership of viewer.
  explicit SoWinExaminerViewer(SoQtExaminerViewer * viewer);

private:
  SoWinExaminerViewer(const SoWinExaminerViewer &);
  SoWinExaminerViewer & operator=(const SoWinExaminerViewer &);

  SoQtExaminerViewer * viewer;
  SoSeparator * shown;  // what the Qt viewer draws: root under the viewer's level of detail
};

#endif
