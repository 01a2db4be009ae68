#ifndef FOUNTAIN_BENCH_CALLBACKTIMER_H
#define FOUNTAIN_BENCH_CALLBACKTIMER_H

// Times a callback of the program from outside: the time that passes while
// it runs, and the processor time its thread uses. The two can differ in the
// running fountain, where the renderer's threads hold the cores and the main
// thread, ready to run, may wait for one in the middle of a callback.
//
// The kernel tells a thread's processor time only through a system call,
// which on a virtual machine can take more than a microsecond, as long as a
// small wave step; the part of the two calls that falls between the readings
// is measured once, when the timer is made, and taken off every reading.

struct CallbackTotals {
  long calls = 0;
  double elapsedSeconds = 0.0;
  double processorSeconds = 0.0;
};

class CallbackTimer {
public:
  CallbackTimer(void);

  // One callback at a time: start() before it, stop() after it.
  void start(void);
  void stop(CallbackTotals & totals);

  // The processor time the readings themselves add to one callback.
  double readingSeconds(void) const { return this->reading; }

private:
  double reading;
  double startElapsed;
  double startProcessor;
};

#endif
