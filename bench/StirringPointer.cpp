#include "StirringPointer.h"

#include <MeasuredExaminerViewer.h>

#include <Inventor/SbTime.h>
#include <Inventor/SbViewportRegion.h>
#include <Inventor/SoPath.h>
#include <Inventor/SoPickedPoint.h>
#include <Inventor/actions/SoRayPickAction.h>
#include <Inventor/events/SoKeyboardEvent.h>
#include <Inventor/events/SoLocation2Event.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoCamera.h>

#include <cmath>

namespace {

// A circle on the lower basin's water (level 0), right of the middle stream,
// where neither the basin's front wall nor the middle basin hides it.
const SbVec3f centre(3.0f, -6.5f, 0.0f);
const float radius = 1.25f;
const int pointsPerTurn = 100;

void
stamp(SoEvent & event, const SbVec2s & position)
{
  event.setTime(SbTime::getTimeOfDay());
  event.setPosition(position);
}

}

StirringPointer::StirringPointer(MeasuredExaminerViewer * viewer, const SbVec2s & windowSize)
  : viewer(viewer), windowSize(windowSize)
{
  const SbViewportRegion viewport(windowSize);
  this->view = viewer->getCamera()->getViewVolume(viewport.getViewportAspectRatio());
  for (int k = 0; k < pointsPerTurn; k++) {
    const float angle = 2.0f * float(M_PI) * float(k) / float(pointsPerTurn);
    const SbVec3f world = centre + radius * SbVec3f(std::cos(angle), std::sin(angle), 0.0f);
    SbVec3f screen;
    this->view.projectToScreen(world, screen);
    this->path.push_back(SbVec2s(short(std::lround(screen[0] * float(windowSize[0]))),
                                 short(std::lround(screen[1] * float(windowSize[1])))));
  }
}

void
StirringPointer::press(void)
{
  SoKeyboardEvent escape;
  stamp(escape, this->path[0]);
  escape.setKey(SoKeyboardEvent::ESCAPE);
  escape.setState(SoButtonEvent::DOWN);
  this->viewer->sendEvent(&escape);
  escape.setState(SoButtonEvent::UP);
  this->viewer->sendEvent(&escape);

  SoMouseButtonEvent button;
  stamp(button, this->path[0]);
  button.setButton(SoMouseButtonEvent::BUTTON1);
  button.setState(SoButtonEvent::DOWN);
  this->viewer->sendEvent(&button);
  this->next = 1;
}

void
StirringPointer::move(void)
{
  SoLocation2Event motion;
  stamp(motion, this->path[this->next]);
  this->viewer->sendEvent(&motion);
  this->next = (this->next + 1) % this->path.size();
}

size_t
StirringPointer::pointsOverWater(SoNode * root, SoNode * surface) const
{
  size_t over = 0;
  SoRayPickAction pick((SbViewportRegion(this->windowSize)));
  for (const SbVec2s & point : this->path) {
    SbLine ray;
    this->view.projectPointToLine(SbVec2f(float(point[0]) / float(this->windowSize[0]),
                                          float(point[1]) / float(this->windowSize[1])),
                                  ray);
    pick.setRay(ray.getPosition(), ray.getDirection());
    pick.apply(root);
    const SoPickedPoint * nearest = pick.getPickedPoint();
    if (nearest && nearest->getPath()->containsNode(surface)) over++;
  }
  return over;
}
