#include "CallbackTimer.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <vector>

namespace {

double
elapsedNow(void)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
    .count();
}

double
threadProcessorNow(void)
{
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + 1e-9 * double(t.tv_nsec);
}

}

CallbackTimer::CallbackTimer(void)
  : reading(0.0), startElapsed(0.0), startProcessor(0.0)
{
  // The median of many empty callbacks: the odd one the system interrupts
  // does not move it.
  const int emptyCalls = 501;
  std::vector<double> empty;
  empty.reserve(emptyCalls);
  CallbackTotals totals;
  for (int i = 0; i < emptyCalls; i++) {
    const double before = totals.processorSeconds;
    this->start();
    this->stop(totals);
    empty.push_back(totals.processorSeconds - before);
  }
  std::nth_element(empty.begin(), empty.begin() + empty.size() / 2, empty.end());
  this->reading = empty[empty.size() / 2];
}

void
CallbackTimer::start(void)
{
  this->startProcessor = threadProcessorNow();
  this->startElapsed = elapsedNow();
}

void
CallbackTimer::stop(CallbackTotals & totals)
{
  const double elapsed = elapsedNow() - this->startElapsed;
  const double processor = threadProcessorNow() - this->startProcessor;
  totals.calls++;
  totals.elapsedSeconds += elapsed;
  totals.processorSeconds += processor - this->reading;
}
