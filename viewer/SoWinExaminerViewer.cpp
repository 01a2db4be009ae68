// The examiner viewer of the viewer binding, on the Qt binding.

#include <Inventor/Win/viewers/SoWinExaminerViewer.h>

#include <Inventor/Qt/viewers/SoQtExaminerViewer.h>

SoWinExaminerViewer::SoWinExaminerViewer(HWND parent, const char * name, SbBool embed,
                                         SoWinFullViewer::BuildFlag flag,
                                         SoWinViewer::Type type)
  : viewer(new SoQtExaminerViewer(parent, name, embed,
                                  static_cast<SoQtFullViewer::BuildFlag>(flag),
                                  static_cast<SoQtViewer::Type>(type)))
{
}

SoWinExaminerViewer::~SoWinExaminerViewer()
{
  delete this->viewer;
}

void
SoWinExaminerViewer::setSceneGraph(SoNode * root)
{
  this->viewer->setSceneGraph(root);
}

SbBool
SoWinExaminerViewer::setFullScreen(const SbBool enable)
{
  return this->viewer->setFullScreen(enable);
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
}

void
SoWinExaminerViewer::setTransparencyType(SoGLRenderAction::TransparencyType type)
{
  this->viewer->setTransparencyType(type);
}

SoCamera *
SoWinExaminerViewer::getCamera(void) const
{
  return this->viewer->getCamera();
}
