// The program's run from the viewer's start to the teardown.

#include "app/Startup.h"

#include "app/Application.h"

#include <Inventor/Win/SoWin.h>
#include <Inventor/Win/viewers/SoWinExaminerViewer.h>
#include <Inventor/nodes/SoSeparator.h>

int
runFountain(char * programPath, const StartupHooks * hooks)
{
  HWND window = SoWin::init(programPath, "SoWin");
  if (window == NULL) return 1;

  jetEnabled = true;

  SoWinExaminerViewer * viewer =
    new SoWinExaminerViewer(window, NULL, TRUE, SoWinFullViewer::BUILD_ALL, SoWinViewer::BROWSER);

  createScene();
  if (hooks && hooks->sceneReady) hooks->sceneReady(hooks->data);

  viewer->setSceneGraph(sceneRoot);
  viewer->setFullScreen(TRUE);
  viewer->setDecoration(FALSE);
  viewer->show();
  viewer->setTransparencyType(SoGLRenderAction::SORTED_OBJECT_BLEND);

  SoWin::show(window);
  SoWin::mainLoop();
  if (hooks && hooks->loopEnded) hooks->loopEnded(hooks->data);

  delete viewer;
  destroyScene();
  return 0;
}
