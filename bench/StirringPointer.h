#ifndef FOUNTAIN_BENCH_STIRRINGPOINTER_H
#define FOUNTAIN_BENCH_STIRRINGPOINTER_H

// A pointer that stirs the lower basin's water as a user does: Esc to leave
// the camera control, button 1 pressed over the water, then one motion after
// another round a circle on the water beside the middle stream, a turn
// every hundred motions. The events go through the viewer as the window
// system's do, so each motion costs what a user's costs: the scene's handling
// of the event, the pick under the pointer and the disturbance of the water.

#include <Inventor/SbLinear.h>

#include <cstddef>
#include <vector>

class MeasuredExaminerViewer;
class SoNode;

class StirringPointer {
public:
  // The circle as the viewer's camera shows it in a window of the given
  // size; call it once the viewer shows the scene.
  StirringPointer(MeasuredExaminerViewer * viewer, const SbVec2s & windowSize);

  // Esc, then button 1 down at the first point.
  void press(void);
  // A motion to the next point.
  void move(void);

  // How many points of the circle a ray from the camera finds water of
  // the given surface under, nothing nearer in front (the drops move, so it
  // can change from moment to moment), and how many points there are.
  size_t pointsOverWater(SoNode * root, SoNode * surface) const;
  size_t pointCount(void) const { return this->path.size(); }

private:
  MeasuredExaminerViewer * viewer;
  SbVec2s windowSize;
  SbViewVolume view;
  std::vector<SbVec2s> path;  // window pixels, from the bottom left
  size_t next = 0;
};

#endif
