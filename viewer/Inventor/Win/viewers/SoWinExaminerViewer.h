#ifndef FOUNTAIN_VIEWER_SOWINEXAMINERVIEWER_H
#define FOUNTAIN_VIEWER_SOWINEXAMINERVIEWER_H

// A render area with examiner-style camera control, embedded in a window.

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinFullViewer.h>
#include <Inventor/actions/SoGLRenderAction.h>

class SoCamera;
class SoNode;
class SoQtExaminerViewer;

class SoWinExaminerViewer : public SoWinFullViewer {
public:
  SoWinExaminerViewer(HWND parent = NULL, const char * name = NULL, SbBool embed = TRUE,
                      SoWinFullViewer::BuildFlag flag = BUILD_ALL,
                      SoWinViewer::Type type = BROWSER);
  ~SoWinExaminerViewer();

  void setSceneGraph(SoNode * root);
  SbBool setFullScreen(const SbBool enable);
  void setDecoration(const SbBool enable);
  void show(void);
  void setTransparencyType(SoGLRenderAction::TransparencyType type);

  SoCamera * getCamera(void) const;

private:
  SoWinExaminerViewer(const SoWinExaminerViewer &);
  SoWinExaminerViewer & operator=(const SoWinExaminerViewer &);

  SoQtExaminerViewer * viewer;
};

#endif
