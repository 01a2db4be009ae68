// The fountain as the program runs it (the same runFountain as app/main.cpp),
// with a watch on its water for the soak test: a timer samples the heights
// of the three surfaces ten times a second, and the program reports the
// largest height it saw, any height that was not finite, and when the drop
// streams stopped growing. It prints a progress line every ten seconds and
// the figures when its window is closed; the exit status is 0 only if every
// height it saw was finite.

#include "app/Application.h"
#include "app/Startup.h"
#include "app/Fountain.h"
#include "drops/DropTick.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/SbTime.h>
#include <Inventor/sensors/SoTimerSensor.h>

#include <cmath>
#include <cstddef>
#include <cstdio>

namespace {

struct WaterWatch {
  SbTime start = SbTime::getTimeOfDay();
  long samples = 0;
  long nonFinite = 0;
  float largest = 0.0f;
  size_t dropCount = 0;
  double listsStopped = 0.0;  // seconds from the start at the last growth
  double lastReport = 0.0;
};

void
sampleWater(WaterWatch & watch, const WaveSurfaceKit * kit)
{
  if (!kit || !kit->curPoints) return;
  const int32_t n = kit->numRows * kit->rowLength;
  for (int32_t k = 0; k < n; k++) {
    const float z = kit->curPoints[k][2];
    if (!std::isfinite(z)) watch.nonFinite++;
    else if (std::fabs(z) > watch.largest) watch.largest = std::fabs(z);
  }
}

void
watchCB(void * data, SoSensor *)
{
  WaterWatch & watch = *static_cast<WaterWatch *>(data);
  const double now = (SbTime::getTimeOfDay() - watch.start).getValue();
  watch.samples++;
  sampleWater(watch, lowerSurface);
  sampleWater(watch, middleSurface);
  sampleWater(watch, upperSurface);

  const size_t drops = lowerCascade.size() + upperCascade.size() + jetDrops.size();
  if (drops != watch.dropCount) {
    watch.dropCount = drops;
    watch.listsStopped = now;
  }
  if (now - watch.lastReport >= 10.0) {
    watch.lastReport = now;
    std::printf("soak: t %.0f s, largest height %.6g, non-finite %ld, drops %zu\n", now,
                double(watch.largest), watch.nonFinite, drops);
    std::fflush(stdout);
  }
}

struct Soak {
  WaterWatch watch;
  SoTimerSensor * sampler = NULL;
};

// Once the scene exists: start sampling the water.
void
startWatchingCB(void * data)
{
  Soak & soak = *static_cast<Soak *>(data);
  soak.sampler = new SoTimerSensor(watchCB, &soak.watch);
  soak.sampler->setInterval(SbTime(0.1));
  soak.sampler->schedule();
}

// When the window has closed, before the scene goes: the last sample and
// the figures.
void
reportCB(void * data)
{
  Soak & soak = *static_cast<Soak *>(data);
  WaterWatch & watch = soak.watch;
  delete soak.sampler;
  soak.sampler = NULL;
  watchCB(&watch, NULL);
  std::printf("soak: samples %ld, largest height %.6g, non-finite %ld\n", watch.samples,
              double(watch.largest), watch.nonFinite);
  std::printf("soak: drops %zu %zu %zu, lists stopped growing at %.1f s, ran %.1f s\n",
              lowerCascade.size(), upperCascade.size(), jetDrops.size(), watch.listsStopped,
              (SbTime::getTimeOfDay() - watch.start).getValue());
  std::fflush(stdout);
}

}

int
main(int, char ** argv)
{
  Soak soak;
  const StartupHooks hooks = { startWatchingCB, reportCB, &soak };
  const int status = runFountain(argv[0], &hooks);
  if (status != 0) return status;
  return soak.watch.nonFinite == 0 ? 0 : 3;
}
