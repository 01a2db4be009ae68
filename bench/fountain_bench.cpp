// Speed of the running fountain: the scene of createScene() in the program's
// own viewer, at a given window size, for a given number of seconds once all
// 257 drops are flying. Prints the frames per second, the wave steps per
// second of each surface, the drop ticks per second, the average time of one
// tick and of one step, how evenly the frames follow one another, how much
// processor time and memory the process took, how much of the machine's time
// its host took (bench/HostTime.h), and how fast the machine was before and
// after (bench/MachineYardstick.h).
//
//   fountain-bench [--size WIDTHxHEIGHT] [--seconds S] [--warmup S] [--still-water]
//                  [--hide water|drops|masonry|everything]... [--stir]
//
// --still-water leaves the surfaces at rest, which shows what the water's
// motion costs the frames. --hide leaves a part undrawn, which shows what
// drawing it costs (bench/HiddenParts.h). --stir drags the pointer over the
// lower water with button 1 held, a hundred motions a second at most, from
// the warm-up on (bench/StirringPointer.h), which shows what the picking and
// the stirring cost.
//
// Run it from the build folder (the textures are read through relative
// paths) on an X display; bench/run_fountain_bench.sh starts it on Xvfb.
//
// The program's callbacks are timed from outside: the drop clock's callback
// and each surface's idle-sensor callback are replaced by ones that time
// simulationTick and stepSimulation and then do what the originals do. Each
// is timed twice (bench/CallbackTimer.h): the processor time the main thread
// spends in it, and the time that passes meanwhile, which also counts the
// waits for a core the renderer's threads hold.

#include "app/Application.h"
#include "app/Fountain.h"
#include "drops/DropTick.h"
#include "wave/WaveSurfaceKit.h"

#include "CallbackTimer.h"
#include "FrameIntervals.h"
#include "HiddenParts.h"
#include "HostTime.h"
#include "MachineYardstick.h"
#include "SteadyClock.h"
#include "StirringPointer.h"

#include <MeasuredExaminerViewer.h>
#include <TextureSamplingShortcuts.h>

#include <Inventor/Win/SoWin.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/sensors/SoAlarmSensor.h>
#include <Inventor/sensors/SoIdleSensor.h>
#include <Inventor/sensors/SoTimerSensor.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
  int width = 1280;
  int height = 1024;
  double seconds = 10.0;
  double warmup = 1.0;  // after the drop lists are full
  bool stillWater = false;  // surfaces never step: the frames without the water's motion
  unsigned hidden = 0;      // HiddenPart flags
  bool stir = false;        // a user drags over the lower water
};

bool
parseOptions(int argc, char ** argv, Options & options)
{
  for (int a = 1; a < argc; a++) {
    const std::string arg = argv[a];
    const char * value = a + 1 < argc ? argv[a + 1] : NULL;
    if (arg == "--size" && value) {
      if (std::sscanf(value, "%dx%d", &options.width, &options.height) != 2) return false;
      a++;
    }
    else if (arg == "--seconds" && value) {
      options.seconds = std::atof(value);
      a++;
    }
    else if (arg == "--warmup" && value) {
      options.warmup = std::atof(value);
      a++;
    }
    else if (arg == "--still-water") {
      options.stillWater = true;
    }
    else if (arg == "--stir") {
      options.stir = true;
    }
    else if (arg == "--hide" && value) {
      if (!addHiddenPart(value, options.hidden)) return false;
      a++;
    }
    else {
      return false;
    }
  }
  return options.width >= 64 && options.height >= 64 && options.width <= 8192 &&
         options.height <= 8192 && options.seconds > 0.0 && options.warmup >= 0.0;
}

// ----- counters --------------------------------------------------------------

struct SurfaceCounter {
  const char * name;
  WaveSurfaceKit ** kit;
  CallbackTotals steps;
};

SurfaceCounter surfaces[] = {
  { "lower", &lowerSurface, {} },
  { "middle", &middleSurface, {} },
  { "upper", &upperSurface, {} },
};

CallbackTotals ticks;
CallbackTotals motions;  // of the stirring pointer
CallbackTimer * callbackTimer = NULL;

struct ProcessTimes {
  Clock::time_point wall;
  double processCpu;  // all threads: the main thread and the renderer's
  double mainCpu;     // the main thread alone
  MachineTimes machine;  // all of the machine's cores, whoever ran on them
};

double
cpuSeconds(int who)
{
  rusage usage;
  getrusage(who, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// The most memory the process has held in RAM so far, in megabytes
// (the system counts it in kilobytes).
double
peakResidentMegabytes(void)
{
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_maxrss) / 1024.0;
}

ProcessTimes
processTimesNow(void)
{
  return ProcessTimes{ Clock::now(), cpuSeconds(RUSAGE_SELF), cpuSeconds(RUSAGE_THREAD),
                       machineTimesNow() };
}

// ----- the run -----------------------------------------------------------------

Options options;
MeasuredExaminerViewer * viewer = NULL;
SoAlarmSensor * phaseAlarm = NULL;
StirringPointer * pointer = NULL;
SoTimerSensor * pointerClock = NULL;
ProcessTimes measureStart;
ProcessTimes measureEnd;
std::string hiddenShapes;  // as hideParts describes them
bool measuring = false;
bool warmingUp = false;
double yardstickBefore = 0.0;  // milliseconds
double yardstickAfter = 0.0;

std::size_t
dropsFlying(void)
{
  return lowerCascade.size() + upperCascade.size() + jetDrops.size();
}

void
resetCounters(void)
{
  for (SurfaceCounter & s : surfaces) s.steps = CallbackTotals();
  ticks = CallbackTotals();
  motions = CallbackTotals();
  viewer->resetStatistics();
}

void
endCB(void *, SoSensor *)
{
  measureEnd = processTimesNow();
  measuring = false;
  SoWin::exitMainLoop();
}

void
startMeasuringCB(void *, SoSensor *)
{
  resetCounters();
  measuring = true;
  measureStart = processTimesNow();
  phaseAlarm->setFunction(endCB);
  phaseAlarm->setTimeFromNow(SbTime(options.seconds));
  phaseAlarm->schedule();
}

void
timedMotionCB(void *, SoSensor *)
{
  callbackTimer->start();
  pointer->move();
  callbackTimer->stop(motions);
}

void
startStirring(void)
{
  pointer = new StirringPointer(viewer, SbVec2s(short(options.width), short(options.height)));
  pointer->press();
  pointerClock = new SoTimerSensor(timedMotionCB, NULL);
  pointerClock->setInterval(SbTime(0.01));
  pointerClock->schedule();
}

void
timedTickCB(void * data, SoSensor * sensor)
{
  callbackTimer->start();
  simulationTick(data, sensor);
  callbackTimer->stop(ticks);

  // The measurement begins once every stream has reached its size.
  if (!measuring && !warmingUp && dropsFlying() >= 257) {
    warmingUp = true;
    hiddenShapes = hideParts(options.hidden);
    if (options.stir) startStirring();
    phaseAlarm->setFunction(startMeasuringCB);
    phaseAlarm->setTimeFromNow(SbTime(options.warmup));
    phaseAlarm->schedule();
  }
}

void
timedStepCB(void * data, SoSensor * sensor)
{
  WaveSurfaceKit * kit = static_cast<WaveSurfaceKit *>(data);
  // Every kit steps once, as the original callback has it; the surfaces'
  // counters only take its time.
  CallbackTotals unlisted;
  CallbackTotals * totals = &unlisted;
  for (SurfaceCounter & s : surfaces) {
    if (*s.kit == kit) totals = &s.steps;
  }
  callbackTimer->start();
  kit->stepSimulation();
  callbackTimer->stop(*totals);
  static_cast<SoIdleSensor *>(sensor)->schedule();
}

double
perCall(double seconds, const CallbackTotals & totals)
{
  return totals.calls ? seconds / double(totals.calls) : 0.0;
}

void
report(void)
{
  const double wall = secondsOf(measureEnd.wall - measureStart.wall);
  const FrameStatistics frames = viewer->statistics();
  const double fps = double(frames.frames) / wall;

  std::printf("window                %d x %d, %s\n", options.width, options.height,
              viewer->glRenderer().c_str());
  std::printf("buffers               %s\n", viewer->glBuffers().c_str());
  const char * shortcuts = textureSamplingShortcuts();
  std::printf("texture sampling      %s\n", *shortcuts ? shortcuts : "exact");
  std::printf("measured              %.2f s with %zu drops flying\n", wall, dropsFlying());
  std::printf("sorted shapes         drawn in one traversal in %llu of %llu frames\n",
              static_cast<unsigned long long>(frames.sortedTogether),
              static_cast<unsigned long long>(frames.frames));
  std::printf("opaque shapes         drawn nearest first in %llu of %llu frames\n",
              static_cast<unsigned long long>(frames.opaqueNearestFirst),
              static_cast<unsigned long long>(frames.frames));
  std::printf("spheres               %.1f a frame drawn from display lists\n",
              frames.frames ? double(frames.spheresFromLists) / double(frames.frames) : 0.0);
  if (options.hidden) {
    std::printf("not drawn             %s", hiddenPartNames(options.hidden).c_str());
    if (!hiddenShapes.empty()) std::printf(" (%s)", hiddenShapes.c_str());
    std::printf("\n");
  }
  std::printf("frames per second     %.1f\n", fps);
  if (frames.frames > 0) {
    std::printf("redraw                %.2f ms per frame (scene traversal %.2f ms, "
                "buffer swap %.2f ms)\n",
                1e3 * frames.redrawSeconds / double(frames.frames),
                1e3 * frames.renderSeconds / double(frames.frames),
                1e3 * (frames.redrawSeconds - frames.renderSeconds) / double(frames.frames));
  }
  const double pace = 1e3 / 60.0;
  const FrameIntervalSummary intervals = summarizeFrameIntervals(frames.intervals, pace);
  if (intervals.count > 0) {
    std::printf("frame intervals       median %.2f ms, 95th percentile %.2f ms, 99th %.2f ms, "
                "longest %.2f ms\n",
                intervals.median, intervals.percentile95, intervals.percentile99,
                intervals.longest);
    std::printf("frames on time        %.1f %% of the intervals within %.1f ms "
                "(60 frames a second)\n",
                100.0 * intervals.shareWithin, pace);
  }

  // Each step's and tick's processor time, with the time that passed while
  // it ran beside it; their share of the run, both ways.
  double elapsedSeconds = ticks.elapsedSeconds;
  double processorSeconds = ticks.processorSeconds;
  for (const SurfaceCounter & s : surfaces) {
    const WaveSurfaceKit * kit = *s.kit;
    const int vertices = kit->width.getValue() * kit->height.getValue();
    const double perStep = perCall(s.steps.processorSeconds, s.steps);
    std::printf("wave steps, %-6s     %.0f per second (%.2f per frame), %.2f us per step "
                "(%.2f us elapsed), %.2f ns per vertex (%d x %d)\n",
                s.name, double(s.steps.calls) / wall,
                frames.frames ? double(s.steps.calls) / double(frames.frames) : 0.0,
                1e6 * perStep, 1e6 * perCall(s.steps.elapsedSeconds, s.steps),
                1e9 * perStep / vertices, kit->width.getValue(), kit->height.getValue());
    elapsedSeconds += s.steps.elapsedSeconds;
    processorSeconds += s.steps.processorSeconds;
  }
  std::printf("drop ticks            %.1f per second, %.1f us per tick (%.1f us elapsed)\n",
              double(ticks.calls) / wall, 1e6 * perCall(ticks.processorSeconds, ticks),
              1e6 * perCall(ticks.elapsedSeconds, ticks));
  std::printf("steps and ticks       %.2f %% of the frame time elapsed, %.2f %% in processor "
              "time (%.2f us of readings taken off each)\n",
              100.0 * elapsedSeconds / wall, 100.0 * processorSeconds / wall,
              1e6 * callbackTimer->readingSeconds());
  if (pointer) {
    std::printf("stirring              %.1f pointer motions per second, %.1f us each (%.1f us "
                "elapsed), %.2f %% of the frame time in processor time; the water %s; %zu of "
                "%zu points of the path over the lower water\n",
                double(motions.calls) / wall, 1e6 * perCall(motions.processorSeconds, motions),
                1e6 * perCall(motions.elapsedSeconds, motions),
                100.0 * motions.processorSeconds / wall,
                lowerSurface->dragging ? "dragged" : "never dragged (the press did not reach it)",
                pointer->pointsOverWater(sceneRoot, lowerSurface), pointer->pointCount());
  }
  const double processCpu = measureEnd.processCpu - measureStart.processCpu;
  const double mainCpu = measureEnd.mainCpu - measureStart.mainCpu;
  std::printf("processor time        %.0f %% of one core (main thread %.0f %%)\n",
              100.0 * processCpu / wall, 100.0 * mainCpu / wall);
  if (frames.frames > 0) {
    std::printf("processor per frame   %.2f ms: main thread %.2f ms, renderer threads %.2f ms\n",
                1e3 * processCpu / double(frames.frames), 1e3 * mainCpu / double(frames.frames),
                1e3 * (processCpu - mainCpu) / double(frames.frames));
  }
  double steal = 0.0, idle = 0.0;
  if (hostShares(measureStart.machine, measureEnd.machine, steal, idle)) {
    std::printf("taken by the host     %.1f %% of the cores' time (steal; idle %.1f %%)\n",
                100.0 * steal, 100.0 * idle);
  }
  std::printf("peak memory           %.1f MB resident\n", peakResidentMegabytes());
  std::printf("machine yardstick     %.2f ms before, %.2f ms after (the same work; "
              "lower is a faster machine)\n",
              yardstickBefore, yardstickAfter);
}

}

int
main(int argc, char ** argv)
{
  if (!parseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s [--size WIDTHxHEIGHT] [--seconds S] [--warmup S] [--still-water]\n"
                 "       [--hide water|drops|masonry|everything]... [--stir]\n",
                 argv[0]);
    return 2;
  }

  yardstickBefore = machineYardstickMilliseconds();
  HWND window = SoWin::init(argv[0], "SoWin");
  if (window == NULL) return 1;
  callbackTimer = new CallbackTimer;

  jetEnabled = true;
  viewer = new MeasuredExaminerViewer(window);
  createScene();

  dropClock->setFunction(timedTickCB);
  for (SurfaceCounter & s : surfaces) {
    if (options.stillWater)
      (*s.kit)->stepSensor->unschedule();
    else
      (*s.kit)->stepSensor->setFunction(timedStepCB);
  }
  phaseAlarm = new SoAlarmSensor;

  // As the program does, but at the given size instead of the full screen.
  viewer->setSceneGraph(sceneRoot);
  SoWin::setWidgetSize(window, SbVec2s(short(options.width), short(options.height)));
  viewer->setDecoration(FALSE);
  viewer->show();
  viewer->setTransparencyType(SoGLRenderAction::SORTED_OBJECT_BLEND);

  SoWin::show(window);
  SoWin::mainLoop();

  yardstickAfter = machineYardstickMilliseconds();
  report();

  delete pointerClock;
  delete pointer;
  delete phaseAlarm;
  delete callbackTimer;
  delete viewer;
  destroyScene();
  return 0;
}
