#ifndef FOUNTAIN_TESTS_TIMELINE_H
#define FOUNTAIN_TESTS_TIMELINE_H

// Steps of a viewer test that run in the binding's main loop, each a given
// time after the one before, the loop ending after the last.

#include <Inventor/SbTime.h>
#include <Inventor/Win/SoWin.h>
#include <Inventor/sensors/SoAlarmSensor.h>

#include <functional>
#include <utility>
#include <vector>

class Timeline {
public:
  void at(double seconds, std::function<void()> step) { steps.push_back({ seconds, step }); }
  void run(void) {
    next = 0;
    alarm.setFunction(stepCB);
    alarm.setData(this);
    schedule();
    SoWin::mainLoop();
  }

private:
  void schedule(void) {
    alarm.setTimeFromNow(SbTime(steps[next].first));
    alarm.schedule();
  }
  static void stepCB(void * data, SoSensor *) {
    Timeline * self = static_cast<Timeline *>(data);
    self->steps[self->next].second();
    if (++self->next < self->steps.size()) self->schedule();
    else SoWin::exitMainLoop();
  }
  std::vector<std::pair<double, std::function<void()>>> steps;
  size_t next = 0;
  SoAlarmSensor alarm;
};

#endif
