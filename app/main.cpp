// Entry point: opens the full-screen viewer on the fountain and runs until
// the window is closed.

#include "app/Application.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/nodes/SoSeparator.h>

int
main(int, char ** argv)
{
  HWND window = SoWin::init(argv[0], "SoWin");
  if (window == NULL) return 1;

  jetEnabled = true;

  SoWinExaminerViewer * viewer =
    new SoWinExaminerViewer(window, NULL, TRUE, SoWinFullViewer::BUILD_ALL, SoWinViewer::BROWSER);

  createScene();

  viewer->setSceneGraph(sceneRoot);
  viewer->setFullScreen(TRUE);
  viewer->setDecoration(FALSE);
  viewer->show();
  viewer->setTransparencyType(SoGLRenderAction::SORTED_OBJECT_BLEND);

  SoWin::show(window);
  SoWin::mainLoop();

  delete viewer;
  destroyScene();
  return 0;
}
